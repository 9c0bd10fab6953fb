// The sound codecs of movie files, decoded by the engine while the movie plays and compared,
// sample by sample, with ffmpeg's decode of the same file converted to the output's format.
//
// Every codec here has an encoder in ffmpeg. QDesign Music 2, MACE 3:1 and 6:1 and AMR have
// none in the ffmpeg the tests use, so no movie of them can be made here.
#include "listening_output.h"
#include "media/controller_window.h"
#include "media/engine_client.h"
#include "test_movies.h"

#include <windows.h>
#include <winapi/desktop.h>
#include <winapi/sound_output.h>

#include <cmath>
#include <cstring>

namespace media_test {
namespace {

using MO = MovieOperation;
using CO = ComponentOperation;

ULONG g_controller = 0;

// Two tones in one channel.
constexpr const char* mono_source =
    "-f lavfi -i 'aevalsrc=0.5*sin(2*PI*440*t)+0.25*sin(2*PI*1250*t):s=22050:d=2'";
// Two channels that differ, so that a swap or a mix-up shows.
constexpr const char* stereo_source =
    "-f lavfi -i 'aevalsrc=0.5*sin(2*PI*440*t)|0.4*sin(2*PI*660*t):s=44100:d=2'";
// Six channels, mixed down to two by the engine as by ffmpeg.
constexpr const char* surround_source =
    "-f lavfi -i 'aevalsrc=0.3*sin(2*PI*440*t)|0.3*sin(2*PI*550*t)|0.3*sin(2*PI*660*t)|0.1*sin(2*"
    "PI*220*t)|0.2*sin(2*PI*770*t)|0.2*sin(2*PI*880*t):s=48000:d=2:c=5.1'";

struct SoundCase {
    const char* name;
    const char* codec; // ffmpeg's options for the sound
    const char* source = mono_source;
};

const SoundCase sound_cases[] = {
    {"aac", "-c:a aac -b:a 128k", stereo_source},
    {"mp3", "-c:a libmp3lame -b:a 128k", stereo_source},
    {"alac", "-c:a alac"},
    {"pcm_u8", "-c:a pcm_u8"},
    {"pcm_s8", "-c:a pcm_s8"},
    {"pcm_s16be", "-c:a pcm_s16be", stereo_source},
    {"pcm_s16le", "-c:a pcm_s16le"},
    {"pcm_s24be", "-c:a pcm_s24be"},
    {"pcm_s24le", "-c:a pcm_s24le"},
    {"pcm_s32be", "-c:a pcm_s32be"},
    {"pcm_s32le", "-c:a pcm_s32le"},
    {"pcm_f32be", "-c:a pcm_f32be"},
    {"pcm_f32le", "-c:a pcm_f32le"},
    {"pcm_f64be", "-c:a pcm_f64be"},
    {"ima4", "-c:a adpcm_ima_qt"},
    {"ulaw", "-c:a pcm_mulaw"},
    {"alaw", "-c:a pcm_alaw"},
    {"ac3", "-c:a ac3 -b:a 384k", surround_source},
};

// ffmpeg's decode of the movie's sound as 16-bit samples in the output's format.
std::vector<int16_t> ffmpeg_samples(const std::string& path, const WAVEFORMATEX& format) {
    std::string output = scratch_path("ffmpeg_sound.s16");
    run_command("ffmpeg -v error -y -i '" + path + "' -f s16le -ac " +
                std::to_string(format.nChannels) + " -ar " + std::to_string(format.nSamplesPerSec) +
                " '" + output + "' 2>&1");
    std::vector<uint8_t> bytes = read_file(output);
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// The signal-to-noise ratio of `heard` against `expected` from sample `offset` on, over
// `count` samples, in dB; 99 when they are identical.
double signal_to_noise(const std::vector<int16_t>& expected, const std::vector<int16_t>& heard,
                       size_t offset, size_t count) {
    double signal = 0, noise = 0;
    for (size_t i = 0; i < count; ++i) {
        double difference = double(expected[offset + i]) - double(heard[i]);
        signal += double(expected[offset + i]) * expected[offset + i];
        noise += difference * difference;
    }
    if (noise == 0) return 99;
    return 10 * std::log10(signal / noise);
}

struct Match {
    double decibels = 0;
    size_t offset = 0; // samples of every channel
};

// The sound starts where the movie stood when it began to play, a tick or two after 0: the
// offset into ffmpeg's decode, within the first tenth of a second, that matches best.
Match best_match(const std::vector<int16_t>& expected, const std::vector<int16_t>& heard,
                 const WAVEFORMATEX& format, size_t count) {
    Match best;
    size_t channels = format.nChannels;
    for (size_t frame = 0; frame <= format.nSamplesPerSec / 10; ++frame) {
        size_t offset = frame * channels;
        if (offset + count > expected.size()) break;
        double decibels = signal_to_noise(expected, heard, offset, count);
        if (decibels > best.decibels) best = Match{decibels, frame};
    }
    return best;
}

class SoundCodecTest : public ::testing::TestWithParam<SoundCase> {
  protected:
    void SetUp() override {
        start_listening();
        m_window = test_support::create_controller_window(200, 40);
    }
    void TearDown() override {
        if (g_controller) EngineClient::get().movie(MO::DisposeController, g_controller);
        g_controller = 0;
        test_support::set_window_controller(0);
        m_movie.reset();
        stop_listening();
    }

    // Plays the movie for a second of the desktop clock.
    void play(const std::string& path) {
        const EngineClient& engine = EngineClient::get();
        m_movie = std::make_unique<OpenedMovie>(engine.open_path(path));
        ASSERT_NE(m_movie->get(), 0u);
        RECT area{0, 0, 200, 40};
        g_controller = engine.movie(MO::NewController, m_movie->get(), &area, ULONG(1), m_window);
        test_support::set_window_controller(g_controller);
        engine.movie(MO::SetMovieActive, m_movie->get(), ULONG(1));
        engine.component(CO::ControllerAction, g_controller, ULONG(EngineActionPlay),
                         reinterpret_cast<void*>(intptr_t(0x10000)));
        for (int t = 0; t < 1000; t += 20) {
            winapi::desktop::advance_clock(20);
            winapi::desktop::pump_messages();
        }
    }

    HWND m_window = nullptr;
    std::unique_ptr<OpenedMovie> m_movie;
};

TEST_P(SoundCodecTest, SamplesMatchFfmpegsDecode) {
    const SoundCase& c = GetParam();
    std::string path =
        make_movie(std::string("sound_") + c.name, std::string(c.source) + " " + c.codec);
    ASSERT_FALSE(path.empty());
    play(path);
    ASSERT_GT(g_heard.format.nChannels, 0);
    std::vector<int16_t> expected = ffmpeg_samples(path, g_heard.format);
    // Most of a second must have been heard, and it must be the movie's first second.
    size_t count = size_t(g_heard.format.nSamplesPerSec) * g_heard.format.nChannels * 8 / 10;
    ASSERT_GE(g_heard.samples.size(), count);
    ASSERT_GE(expected.size(), count);
    ASSERT_GE(expected.size(), count + g_heard.format.nSamplesPerSec / 10);
    Match match = best_match(expected, g_heard.samples, g_heard.format, count);
    EXPECT_GE(match.decibels, 50) << "at " << g_heard.format.nSamplesPerSec << " Hz, "
                                  << g_heard.format.nChannels << " channels, best " << match.offset
                                  << " samples in";
}

INSTANTIATE_TEST_SUITE_P(Codecs, SoundCodecTest, ::testing::ValuesIn(sound_cases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace media_test
