// The movie engine against the reference players on one 640x480 H.264 movie of 30 seconds:
//   decode ratio: frames a second the engine decodes, converts and draws into a headless
//     window, over frames a second `ffmpeg -benchmark -i FILE -f null -` decodes (goal: at
//     least 0.85);
//   pipeline ratio: the same engine frames a second over those of ffmpeg's own decode and
//     conversion to 32-bit BGRA, `ffmpeg -benchmark -i FILE -pix_fmt bgra -f null -` (goal:
//     at least 1.1);
//   playback cpu ratio: CPU seconds the engine uses playing the movie in real time, over
//     what `mpv --vo=null --ao=null` uses playing it (goal: at most 1.2).
// Every measure is taken in the same run, on the same file. The last lines of the output
// carry the ratios.
#include "media/command_output.h"
#include "media/controller_window.h"
#include "media/engine_client.h"
#include "media/movie_file.h"

#include <engine_signatures.h>
#include <windows.h>
#include <winapi/desktop.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int movie_seconds = 30;
constexpr int frame_rate = 30;

ULONG g_controller = 0;

template <typename... Args>
EngineResult movie_call(MovieOperation operation, Args... args) {
    return media_test::EngineClient::get().movie(operation, args...);
}
template <typename... Args>
EngineResult component_call(ComponentOperation operation, Args... args) {
    return media_test::EngineClient::get().component(operation, args...);
}

std::string capture(const std::string& command) {
    return test_support::run_command(command);
}

std::string make_movie() {
    std::string path = std::string(LXBENCH_WORK_DIR) + "/bench_engine_640x480.mov";
    std::string arguments =
        "-f lavfi -i testsrc2=size=640x480:rate=" + std::to_string(frame_rate) +
        ":duration=" + std::to_string(movie_seconds) +
        " -f lavfi -i sine=frequency=440:duration=" + std::to_string(movie_seconds) +
        " -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -movflags +faststart";
    return test_support::make_movie_file(path, arguments) ? path : std::string();
}

bool load_engine() {
    return media_test::EngineClient::get().loaded();
}

struct Player {
    HWND window = nullptr;
    ULONG movie = 0;
};

Player open_player(const std::string& path) {
    Player player;
    player.window = test_support::create_controller_window(640, 480 + 18);
    ULONG reference = 0;
    if (movie_call(MovieOperation::OpenMovieFile, path.c_str(), &reference, ULONG(0)) != 0)
        return player;
    movie_call(MovieOperation::NewMovieFromFile, &player.movie, reference, ULONG(0), ULONG(0),
               ULONG(0), ULONG(0));
    movie_call(MovieOperation::CloseMovieFile, reference);
    RECT area{0, 0, 640, 480 + 18};
    g_controller =
        movie_call(MovieOperation::NewController, player.movie, &area, ULONG(1), player.window);
    test_support::set_window_controller(g_controller);
    movie_call(MovieOperation::SetMovieActive, player.movie, ULONG(1));
    return player;
}

void close_player(Player& player) {
    movie_call(MovieOperation::DisposeController, g_controller);
    g_controller = 0;
    test_support::set_window_controller(0);
    movie_call(MovieOperation::DisposeMovie, player.movie);
    winapi::desktop::reset();
}

double cpu_seconds(const rusage& usage) {
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// Frames a second through the engine: every frame decoded, converted and drawn in turn.
double engine_decode_fps(const std::string& path) {
    Player player = open_player(path);
    ULONG scale = movie_call(MovieOperation::GetMovieTimeScale, player.movie);
    int frames = movie_seconds * frame_rate;
    auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < frames; ++frame) {
        // Rounded up: the time lies inside the frame, never on the one before.
        ULONG time = static_cast<ULONG>((uint64_t(frame) * scale + frame_rate - 1) / frame_rate);
        EngineTimeRecord record{time, 0, static_cast<LONG>(scale), player.movie};
        component_call(ComponentOperation::ControllerAction, g_controller,
                       ULONG(EngineActionGoToTime), static_cast<void*>(&record));
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    close_player(player);
    std::printf("engine: %d frames decoded, converted and drawn in %.3f s\n", frames, seconds);
    return frames / seconds;
}

// Frames a second of an ffmpeg run over the movie with `options` before the null output;
// `what` names the run in the line printed.
double ffmpeg_fps(const std::string& path, const std::string& options, const char* what) {
    std::string output =
        capture("ffmpeg -nostdin -benchmark -i '" + path + "' " + options + " -f null - 2>&1");
    std::smatch rtime;
    std::string last_frames;
    std::regex frame_pattern("frame= *([0-9]+)");
    for (std::sregex_iterator it(output.begin(), output.end(), frame_pattern), end; it != end; ++it)
        last_frames = (*it)[1];
    if (!std::regex_search(output, rtime, std::regex("rtime=([0-9.]+)s")) || last_frames.empty())
        return 0;
    double seconds = std::stod(rtime[1]);
    int count = std::stoi(last_frames);
    std::printf("%s: %d frames %s in %.3f s\n",
                options.empty() ? "ffmpeg -benchmark" : "ffmpeg -benchmark -pix_fmt bgra", count,
                what, seconds);
    return count / seconds;
}

double ffmpeg_decode_fps(const std::string& path) {
    return ffmpeg_fps(path, "", "decoded");
}

// ffmpeg's decode with its conversion of every frame to 32-bit BGRA.
double ffmpeg_pipeline_fps(const std::string& path) {
    return ffmpeg_fps(path, "-pix_fmt bgra", "decoded and converted");
}

double ratio(double engine, double reference) {
    return reference > 0 ? engine / reference : 0.0;
}

// CPU seconds the engine uses playing the movie for its length in real time.
double engine_playback_cpu(const std::string& path) {
    winapi::desktop::use_real_clock();
    Player player = open_player(path);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    component_call(ComponentOperation::ControllerAction, g_controller, ULONG(EngineActionPlay),
                   reinterpret_cast<void*>(intptr_t(0x10000)));
    DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < movie_seconds * 1000u &&
           GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    ULONG shown = movie_call(MovieOperation::GetMovieTime, player.movie,
                             static_cast<EngineTimeRecord*>(nullptr));
    getrusage(RUSAGE_SELF, &after);
    close_player(player);
    double cpu = cpu_seconds(after) - cpu_seconds(before);
    std::printf("engine: played to %u units in real time, %.3f CPU seconds\n", shown, cpu);
    return cpu;
}

double mpv_playback_cpu(const std::string& path) {
    pid_t child = fork();
    if (child == 0) {
        execlp("mpv", "mpv", "--no-config", "--really-quiet", "--vo=null", "--ao=null",
               path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child < 0) return 0;
    int status = 0;
    rusage usage{};
    auto start = std::chrono::steady_clock::now();
    wait4(child, &status, 0, &usage);
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 0;
    std::printf("mpv: played in %.3f s of real time, %.3f CPU seconds\n", wall, cpu_seconds(usage));
    return cpu_seconds(usage);
}

} // namespace

int main() {
    std::string path = make_movie();
    if (path.empty() || !load_engine()) {
        std::printf("cannot make the movie or load the engine\n");
        return 1;
    }
    double engine_fps = engine_decode_fps(path);
    double decode_fps = ffmpeg_decode_fps(path);
    double pipeline_fps = ffmpeg_pipeline_fps(path);
    // LXBENCH_DECODE_ONLY skips the minute of real-time playback, for quick checks.
    if (std::getenv("LXBENCH_DECODE_ONLY")) {
        std::printf("decode ratio: %.3f\n", ratio(engine_fps, decode_fps));
        std::printf("pipeline ratio: %.3f\n", ratio(engine_fps, pipeline_fps));
        return 0;
    }
    double engine_cpu = engine_playback_cpu(path);
    double mpv_cpu = mpv_playback_cpu(path);
    std::printf("engine decode: %.1f frames/s; ffmpeg decode: %.1f frames/s\n", engine_fps,
                decode_fps);
    std::printf("ffmpeg decode and conversion: %.1f frames/s\n", pipeline_fps);
    std::printf("engine playback: %.3f CPU s; mpv playback: %.3f CPU s\n", engine_cpu, mpv_cpu);
    std::printf("decode ratio: %.3f\n", ratio(engine_fps, decode_fps));
    std::printf("pipeline ratio: %.3f\n", ratio(engine_fps, pipeline_fps));
    std::printf("playback cpu ratio: %.3f\n", ratio(engine_cpu, mpv_cpu));
    return 0;
}
