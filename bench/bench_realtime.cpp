// Real-time playback against a reference player, on an X server of its own (Xvfb, 1600x1200):
//
// - an idle page for 10 s: the viewer's processor time;
// - one 320x240 30 fps movie with sound on an 800x600 page for 10 s, against mpv playing the
//   same file on the same server (--vo=x11 --ao=null): the ratio of processor times;
// - sixteen copies of the movie on one page: how far the worst movie's picture fell behind
//   its own clock;
// - one movie with its sound going to SDL's file-writing driver: how far picture and sound
//   stood apart.
//
// The movie shows its frame number in stripes (tests/support/display/coded_frames.h), so what
// a window shows is read from its pixels. Processor times are those of whole processes, start
// included, for the viewer and mpv alike. Sound of the viewer's own runs goes to SDL's
// file-writing driver (into /dev/null for the processor-time runs), which takes it at a real
// device's pace: the viewer decodes, converts and mixes its sound, where mpv's null output
// does not.
#include "display/coded_frames.h"
#include "display/virtual_display.h"
#include "browser_window.h"
#include "viewer.h"

#include <windows.h>
#include <winapi/desktop.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace desktop = winapi::desktop;

constexpr int kWidth = 320, kHeight = 240, kFps = 30, kStripe = kWidth / test_support::kCodeBits;
constexpr double kRunSeconds = 10;
const std::string kWork = LXBENCH_WORK_DIR;

std::string work(const std::string& name) {
    return kWork + "/realtime_" + name;
}

bool make_movie(const std::string& path) {
    if (std::filesystem::exists(path)) return true;
    std::string command = "ffmpeg -v error -y -f lavfi -i \"" +
                          test_support::coded_movie_filter(kWidth, kHeight, kFps, 14) +
                          "\" -f lavfi -i sine=frequency=440:sample_rate=44100:duration=14"
                          " -c:v libx264 -preset veryfast -g 30 -pix_fmt yuv420p -c:a aac"
                          " -movflags +faststart '" +
                          path + "'";
    return std::system(command.c_str()) == 0;
}

std::string write_page(const std::string& name, int movies, const std::string& movie) {
    std::ofstream page(work(name));
    page << "<html><head><title>" << name << "</title></head><body>\n";
    if (movies == 0) page << "<p>Nothing here moves.</p>\n";
    for (int i = 0; i < movies; ++i)
        page << "<embed src=\"" << movie << "\" type=\"video/quicktime\" width=" << kWidth
             << " height=" << kHeight + 18 << " autoplay=true controller=true>\n";
    page << "</body></html>\n";
    return work(name);
}

// Runs a program for `seconds`, then interrupts it as a person pressing Ctrl+C would, and
// returns the processor seconds it used; negative when it could not be run.
double cpu_of_run(std::vector<std::string> args, double seconds) {
    pid_t child = fork();
    if (child == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    if (child < 0) return -1;
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    kill(child, SIGINT);
    int status = 0;
    rusage usage{};
    for (int i = 0; i < 50 && wait4(child, &status, WNOHANG, &usage) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (kill(child, 0) == 0) {
        kill(child, SIGKILL);
        wait4(child, &status, 0, &usage);
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return -1;
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the viewer inside this process on the page for `seconds`, calling `look` about every
// 20 ms with the seconds since the start.
std::function<void(double)> g_look;
std::chrono::steady_clock::time_point g_start;
double g_seconds = 0;

void CALLBACK look_timer(HWND, UINT, UINT_PTR, DWORD) {
    double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - g_start).count();
    if (g_look) g_look(elapsed);
    if (elapsed >= g_seconds) PostQuitMessage(0);
}

void run_inside(const std::string& page, const std::string& size, double seconds,
                std::function<void(double)> look) {
    g_look = std::move(look);
    g_seconds = seconds;
    g_start = std::chrono::steady_clock::now();
    UINT_PTR timer = SetTimer(nullptr, 0, 20, look_timer);
    std::ostringstream out, err;
    browser::run_viewer({"--size", size, page}, out, err);
    KillTimer(nullptr, timer);
    g_look = nullptr;
    desktop::reset();
    desktop::set_display(desktop::DisplayKind::Headless);
}

HWND page_window() {
    HWND hwnd = WindowFromPoint(POINT{200, 2});
    while (hwnd && GetParent(hwnd))
        hwnd = GetParent(hwnd);
    return hwnd;
}

// The page's embeds, top to bottom and left to right (they are laid out in rows).
std::vector<HWND> embeds() {
    HWND page = page_window();
    std::vector<HWND> found;
    RECT client{};
    GetClientRect(page, &client);
    for (int y = 4; y < client.bottom - browser::kStatusBarHeight; y += 8) {
        for (int x = 4; x < client.right; x += 8) {
            POINT point{x, y};
            ClientToScreen(page, &point);
            HWND hwnd = WindowFromPoint(point);
            while (hwnd && GetParent(hwnd) && GetParent(hwnd) != page)
                hwnd = GetParent(hwnd);
            if (hwnd && hwnd != page && GetParent(hwnd) == page &&
                std::find(found.begin(), found.end(), hwnd) == found.end())
                found.push_back(hwnd);
        }
    }
    return found;
}

std::vector<int> shown_frames(const std::vector<HWND>& windows) {
    std::vector<int> frames;
    for (HWND hwnd : windows)
        frames.push_back(test_support::coded_frame(hwnd, kStripe, kHeight / 2));
    return frames;
}

// The worst lag, in ms, of sixteen movies on one page, from a second after all play.
double sixteen_movies_worst_lag(const std::string& page) {
    test_support::PlaybackWatch watch(16, kFps);
    double all_playing = -1;
    run_inside(page, "1340x1100", 9, [&](double elapsed) {
        std::vector<HWND> windows = embeds();
        if (windows.size() != 16) return;
        std::vector<int> frames = shown_frames(windows);
        watch.add(elapsed, frames);
        if (all_playing < 0 &&
            std::all_of(frames.begin(), frames.end(), [](int f) { return f > 0; }))
            all_playing = elapsed;
    });
    if (all_playing < 0) return -1;
    double worst = 0;
    for (size_t i = 0; i < 16; ++i)
        worst = std::max(worst, watch.worst_lag(i, all_playing + 1));
    return worst * 1000;
}

// Picture minus sound, in ms, for one movie whose sound goes to a file: the mean over samples
// from 2 s on, and the largest in size.
std::pair<double, double> av_offset(const std::string& page) {
    std::string sound = work("sound.raw");
    setenv("SDL_DISKAUDIOFILE", sound.c_str(), 1);
    std::vector<std::pair<uintmax_t, int>> looks; // bytes the device had taken, frame shown
    run_inside(page, "800x600", 8, [&](double elapsed) {
        std::vector<HWND> windows = embeds();
        if (elapsed < 2 || windows.size() != 1) return;
        std::error_code error;
        uintmax_t bytes = std::filesystem::file_size(sound, error);
        int frame = test_support::coded_frame(windows[0], kStripe, kHeight / 2);
        if (!error && frame > 0) looks.emplace_back(bytes, frame);
    });
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    std::ifstream in(sound, std::ios::binary);
    std::vector<int16_t> samples;
    int16_t frame[2];
    while (in.read(reinterpret_cast<char*>(frame), sizeof frame))
        samples.push_back(frame[0]);
    size_t onset = 0;
    while (onset < samples.size() && std::abs(samples[onset]) < 1000)
        ++onset;
    if (onset == samples.size() || looks.empty()) return {NAN, NAN};
    // The driver writes each buffer as it takes it and then waits while it "plays": at a
    // moment between two writes, half a buffer (1024 frames) is the mean still to be heard.
    // A frame stands for the span until the next one: its middle is the time it shows.
    double sum = 0, worst = 0;
    for (auto [bytes, shown] : looks) {
        double heard = (double(bytes) / 4 - 512 - double(onset)) / 48000;
        double offset = ((shown + 0.5) / double(kFps) - heard) * 1000;
        sum += offset;
        if (std::abs(offset) > std::abs(worst)) worst = offset;
    }
    return {sum / looks.size(), worst};
}

} // namespace

int main() {
    // A server of its own, whatever display the caller has.
    unsetenv("DISPLAY");
    if (!test_support::ensure_x_display(1600, 1200)) {
        std::cerr << "bench_realtime: Xvfb could not be started\n";
        return 1;
    }
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    std::string movie = work("movie.mov");
    if (!make_movie(movie)) {
        std::cerr << "bench_realtime: ffmpeg could not make the test movie\n";
        return 1;
    }
    std::string idle = write_page("idle.html", 0, movie);
    std::string one = write_page("one.html", 1, movie);
    std::string sixteen = write_page("sixteen.html", 16, movie);
    std::string viewer = LXBENCH_VIEWER;

    double idle_cpu = cpu_of_run({viewer, "--size", "800x600", idle}, kRunSeconds);
    double ours = cpu_of_run({viewer, "--size", "800x600", one}, kRunSeconds);
    double mpv = cpu_of_run(
        {"mpv", "--no-config", "--vo=x11", "--ao=null", "--geometry=320x240", movie}, kRunSeconds);
    double lag = sixteen_movies_worst_lag(sixteen);
    auto [offset, worst_offset] = av_offset(one);
    test_support::stop_x_display();

    std::printf("one movie cpu seconds: %.2f (mpv: %.2f) in %.0f s\n", ours, mpv, kRunSeconds);
    std::printf("av offset worst ms: %.1f\n", worst_offset);
    std::printf("idle cpu seconds: %.2f\n", idle_cpu);
    std::printf("one movie cpu ratio: %.2f\n", mpv > 0 ? ours / mpv : NAN);
    std::printf("sixteen movies worst lag ms: %.1f\n", lag);
    std::printf("av offset ms: %.1f\n", offset);
    return 0;
}
