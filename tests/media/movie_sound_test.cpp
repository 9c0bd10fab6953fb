// The movie's sound: decoded, converted to 16-bit PCM and played through waveOut while the
// movie plays at normal speed, at the controller's volume.
#include "listening_output.h"
#include "media/controller_window.h"
#include "media/engine_client.h"
#include "test_movies.h"

#include <windows.h>
#include <winapi/desktop.h>
#include <winapi/sound_output.h>

#include <cmath>

namespace media_test {
namespace {

using MO = MovieOperation;
using CO = ComponentOperation;

ULONG g_controller = 0;

class MovieSoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        start_listening();
        m_window = test_support::create_controller_window(200, 160);
        m_movie = std::make_unique<OpenedMovie>(engine().open_path(movie_path(TestMovie::RawPcm)));
        ASSERT_NE(m_movie->get(), 0u);
        RECT area{0, 0, 200, 160};
        g_controller = engine().movie(MO::NewController, m_movie->get(), &area, ULONG(1), m_window);
        test_support::set_window_controller(g_controller);
        engine().movie(MO::SetMovieActive, m_movie->get(), ULONG(1));
    }
    void TearDown() override {
        engine().movie(MO::DisposeController, g_controller);
        g_controller = 0;
        test_support::set_window_controller(0);
        m_movie.reset();
        stop_listening();
    }
    const EngineClient& engine() { return EngineClient::get(); }
    void action(ULONG code, LONG value) {
        engine().component(CO::ControllerAction, g_controller, code,
                           reinterpret_cast<void*>(static_cast<intptr_t>(value)));
    }
    void run_for(int ms) {
        for (int t = 0; t < ms; t += 20) {
            winapi::desktop::advance_clock(20);
            winapi::desktop::pump_messages();
        }
    }

    HWND m_window = nullptr;
    std::unique_ptr<OpenedMovie> m_movie;
};

TEST_F(MovieSoundTest, PlayingMovieSendsItsToneToTheOutput) {
    run_for(200);
    EXPECT_TRUE(g_heard.samples.empty()) << "a stopped movie is silent";
    action(EngineActionPlay, 0x10000);
    run_for(1000);
    ASSERT_EQ(g_heard.format.nChannels, 1);
    ASSERT_EQ(g_heard.format.nSamplesPerSec, 22050u);
    // About a second of sound, plus what is queued ahead.
    double seconds = double(g_heard.samples.size()) / 22050;
    EXPECT_GT(seconds, 0.9);
    EXPECT_LT(seconds, 1.6);
    // The 440 Hz tone crosses zero 880 times a second.
    int crossings = 0;
    for (size_t i = 1; i < g_heard.samples.size(); ++i)
        if ((g_heard.samples[i - 1] < 0) != (g_heard.samples[i] < 0)) ++crossings;
    EXPECT_NEAR(crossings / seconds, 880, 20);
}

TEST_F(MovieSoundTest, StoppingFlushesAndVolumeFollowsTheController) {
    action(EngineActionSetVolume, 0x80);
    action(EngineActionPlay, 0x10000);
    run_for(200);
    EXPECT_NEAR(g_heard.volume, 0x7FFF, 0x100);
    action(EngineActionPlay, 0);
    run_for(100);
    EXPECT_GE(g_heard.flushes, 1);
    size_t heard = g_heard.samples.size();
    run_for(500);
    EXPECT_EQ(g_heard.samples.size(), heard) << "nothing more once stopped";
}

TEST_F(MovieSoundTest, ThePictureKeepsToWhatTheDeviceHasPlayed) {
    ULONG scale = engine().movie(MO::GetMovieTimeScale, m_movie->get());
    auto seconds = [&] {
        return double(
                   engine().movie(MO::GetMovieTime, m_movie->get(), (EngineTimeRecord*)nullptr)) /
               scale;
    };
    // A device that plays 100 ms behind what it was given, as real ones do.
    g_heard.latency_bytes = 22050 * 2 / 10;
    action(EngineActionPlay, 0x10000);
    run_for(1000);
    EXPECT_NEAR(seconds(), 0.9, 0.015) << "the movie's time follows the sound heard";
    // Other speeds follow the desktop clock.
    action(EngineActionPlay, 0x20000);
    double from = seconds();
    run_for(500);
    EXPECT_NEAR(seconds() - from, 1.0, 0.02);
}

TEST_F(MovieSoundTest, FastPlayIsSilent) {
    action(EngineActionPlay, 0x20000);
    run_for(500);
    EXPECT_TRUE(g_heard.samples.empty());
}

} // namespace
} // namespace media_test
