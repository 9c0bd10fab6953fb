// The controller: actions and the action filter, looping at the ends, time from the manual
// desktop clock, playback driven by the window's timer, the bar and the user's input.
#include "media/controller_window.h"
#include "media/engine_client.h"
#include "test_movies.h"

#include <windows.h>
#include <winapi/desktop.h>

#include <vector>

namespace media_test {
namespace {

using MO = MovieOperation;
using CO = ComponentOperation;

struct FilterCall {
    ULONG controller;
    ULONG action;
    void* parameter;
    void* instance;
};

struct FilterState {
    std::vector<FilterCall> calls;
    ULONG veto_action = 0; // actions with this code are refused
};

LONG record_filter(ULONG controller, ULONG action, void* parameter, void* instance) {
    auto* state = static_cast<FilterState*>(instance);
    state->calls.push_back({controller, action, parameter, instance});
    return action == state->veto_action ? 1 : 0;
}

class ControllerTest : public ::testing::Test {
  protected:
    static constexpr int width = 200;
    static constexpr int height = 160;

    void SetUp() override {
        ASSERT_TRUE(engine().loaded());
        winapi::desktop::reset();
        winapi::desktop::use_manual_clock(1000);
        m_window = test_support::create_controller_window(width, height);
        ASSERT_NE(m_window, nullptr);
    }

    void TearDown() override {
        if (m_controller) engine().movie(MO::DisposeController, m_controller);
        test_support::set_window_controller(0);
        m_movie.reset();
        winapi::desktop::reset();
    }

    const EngineClient& engine() { return EngineClient::get(); }

    void open(TestMovie which, ULONG flags = 1) {
        m_movie = std::make_unique<OpenedMovie>(engine().open_path(movie_path(which)));
        ASSERT_NE(movie(), 0u);
        RECT area{0, 0, width, height};
        m_controller = engine().movie(MO::NewController, movie(), &area, flags, m_window);
        ASSERT_NE(m_controller, 0u);
        test_support::set_window_controller(m_controller);
        engine().component(CO::SetActionFilter, m_controller, &record_filter,
                           static_cast<void*>(&m_filter));
        engine().movie(MO::SetMovieActive, movie(), ULONG(1));
    }

    ULONG movie() const { return m_movie ? m_movie->get() : 0; }
    ULONG time() { return engine().movie(MO::GetMovieTime, movie(), (EngineTimeRecord*)nullptr); }
    EngineResult action(ULONG code, void* parameter) {
        return engine().component(CO::ControllerAction, m_controller, code, parameter);
    }
    LONG rate() {
        ULONG value = 0xdead;
        EXPECT_EQ(action(EngineActionGetRate, &value), 0u);
        return static_cast<LONG>(value);
    }
    void play(LONG rate_value = 0x10000) {
        action(EngineActionPlay, EngineActionValue(rate_value));
    }
    void go_to(ULONG time_value) {
        EngineTimeRecord record{time_value, 0, 1000, movie()};
        action(EngineActionGoToTime, &record);
    }
    void set_flag(ULONG code, ULONG value) { action(code, &value); }

    HWND m_window = nullptr;
    std::unique_ptr<OpenedMovie> m_movie;
    ULONG m_controller = 0;
    FilterState m_filter;
};

TEST_F(ControllerTest, TimeAdvancesWithTheDesktopClockAtTheRate) {
    open(TestMovie::RawPcm);
    ASSERT_EQ(engine().movie(MO::GetMovieTimeScale, movie()), 1000u);
    EXPECT_EQ(time(), 0u);
    winapi::desktop::advance_clock(300);
    EXPECT_EQ(time(), 0u) << "stopped movies stay put";
    play();
    EXPECT_EQ(rate(), 0x10000);
    winapi::desktop::advance_clock(500);
    EXPECT_EQ(time(), 500u);
    play(0x20000);
    winapi::desktop::advance_clock(250);
    EXPECT_EQ(time(), 1000u);
    play(-0x10000);
    winapi::desktop::advance_clock(100);
    EXPECT_EQ(time(), 900u);
    EngineTimeRecord record{};
    EXPECT_EQ(engine().movie(MO::GetMovieTime, movie(), &record), 900u);
    EXPECT_EQ(record.ValueLow, 900u);
    EXPECT_EQ(record.Scale, 1000);
}

TEST_F(ControllerTest, InactiveMovieDoesNotMove) {
    open(TestMovie::RawPcm);
    play();
    engine().movie(MO::SetMovieActive, movie(), ULONG(0));
    EXPECT_EQ(engine().movie(MO::IsMovieActive, movie()), 0u);
    winapi::desktop::advance_clock(400);
    EXPECT_EQ(time(), 0u);
    engine().movie(MO::SetMovieActive, movie(), ULONG(1));
    EXPECT_NE(engine().movie(MO::IsMovieActive, movie()), 0u);
    winapi::desktop::advance_clock(400);
    EXPECT_EQ(time(), 400u);
}

TEST_F(ControllerTest, StopsAtTheEndWithoutLooping) {
    open(TestMovie::RawPcm);
    ULONG duration = engine().movie(MO::GetMovieDuration, movie());
    go_to(duration - 100);
    play();
    winapi::desktop::advance_clock(250);
    EXPECT_EQ(time(), duration);
    EXPECT_EQ(rate(), 0);
    // Playing again from the end starts over.
    play();
    winapi::desktop::advance_clock(10);
    EXPECT_EQ(time(), 10u);
}

TEST_F(ControllerTest, LoopingWrapsToTheStart) {
    open(TestMovie::RawPcm);
    ULONG duration = engine().movie(MO::GetMovieDuration, movie());
    set_flag(EngineActionSetLooping, 1);
    go_to(duration - 100);
    play();
    winapi::desktop::advance_clock(350);
    EXPECT_EQ(time(), 250u);
    EXPECT_EQ(rate(), 0x10000);
    winapi::desktop::advance_clock(3 * duration);
    EXPECT_EQ(time(), 250u);
}

TEST_F(ControllerTest, PalindromeTurnsRoundAtBothEnds) {
    open(TestMovie::RawPcm);
    ULONG duration = engine().movie(MO::GetMovieDuration, movie());
    set_flag(EngineActionSetLooping, 1);
    set_flag(EngineActionSetPalindrome, 1);
    go_to(duration - 100);
    play();
    winapi::desktop::advance_clock(350);
    EXPECT_EQ(time(), duration - 250);
    EXPECT_EQ(rate(), -0x10000);
    go_to(100);
    winapi::desktop::advance_clock(300);
    EXPECT_EQ(time(), 200u);
    EXPECT_EQ(rate(), 0x10000);
    // Back and forth off: it stops at the end once more, looping still on.
    set_flag(EngineActionSetPalindrome, 0);
    set_flag(EngineActionSetLooping, 0);
    winapi::desktop::advance_clock(2 * duration);
    EXPECT_EQ(time(), duration);
}

TEST_F(ControllerTest, FilterSeesEveryActionAndCanRefuseIt) {
    open(TestMovie::RawPcm);
    m_filter.calls.clear();
    m_filter.veto_action = EngineActionPlay;
    EXPECT_EQ(action(EngineActionPlay, EngineActionValue(0x10000)), 0u);
    winapi::desktop::advance_clock(100);
    EXPECT_EQ(time(), 0u) << "a refused play must not play";
    ASSERT_EQ(m_filter.calls.size(), 1u);
    EXPECT_EQ(m_filter.calls[0].controller, m_controller);
    EXPECT_EQ(m_filter.calls[0].action, ULONG(EngineActionPlay));
    EXPECT_EQ(m_filter.calls[0].parameter, EngineActionValue(0x10000));
    EXPECT_EQ(m_filter.calls[0].instance, &m_filter);

    m_filter.veto_action = EngineActionGoToTime;
    go_to(700);
    EXPECT_EQ(time(), 0u);
    m_filter.veto_action = 0;
    go_to(700);
    EXPECT_EQ(time(), 700u);
}

TEST_F(ControllerTest, VolumeSelectionAndSettingsActions) {
    open(TestMovie::RawPcm);
    SHORT volume = 0;
    EXPECT_EQ(action(EngineActionGetVolume, &volume), 0u);
    EXPECT_EQ(volume, 0x100);
    EXPECT_EQ(action(EngineActionSetVolume, EngineActionValue(0x80)), 0u);
    EXPECT_EQ(action(EngineActionGetVolume, &volume), 0u);
    EXPECT_EQ(volume, 0x80);

    EngineTimeRecord start{300, 0, 1000, movie()};
    EngineTimeRecord length{1200, 0, 1000, movie()};
    EXPECT_EQ(action(EngineActionSetSelectionStart, &start), 0u);
    EXPECT_EQ(action(EngineActionSetSelectionLength, &length), 0u);
    EngineTimeRecord read{};
    EXPECT_EQ(action(EngineActionGetSelectionStart, &read), 0u);
    EXPECT_EQ(read.ValueLow, 300u);
    EXPECT_EQ(read.ValueHigh, 0u);
    EXPECT_EQ(read.Scale, 1000);

    RECT none{};
    EXPECT_EQ(action(EngineActionSetResizeBounds, &none), 0u);
    EXPECT_EQ(action(EngineActionEnableKeys, EngineActionValue(1)), 0u);
    EXPECT_NE(action(EngineActionGetRate, nullptr), 0u);
    EXPECT_NE(action(999, nullptr), 0u);
    RECT bounds{};
    EXPECT_EQ(engine().component(CO::GetControllerBounds, m_controller, &bounds), 0u);
    EXPECT_EQ(bounds.right, width);
    EXPECT_EQ(bounds.bottom, height);
}

TEST_F(ControllerTest, KeysPlayOnlyOnceEnabled) {
    open(TestMovie::RawPcm);
    SetFocus(m_window);
    winapi::desktop::key_down(VK_SPACE);
    winapi::desktop::key_up(VK_SPACE);
    winapi::desktop::pump_messages();
    EXPECT_EQ(rate(), 0);
    action(EngineActionEnableKeys, EngineActionValue(1));
    m_filter.calls.clear();
    winapi::desktop::key_down(VK_SPACE);
    winapi::desktop::key_up(VK_SPACE);
    winapi::desktop::pump_messages();
    EXPECT_EQ(rate(), 0x10000);
    ASSERT_FALSE(m_filter.calls.empty());
    EXPECT_EQ(m_filter.calls[0].action, ULONG(EngineActionPlay));
    winapi::desktop::key_down(VK_RIGHT);
    winapi::desktop::pump_messages();
    EXPECT_EQ(rate(), 0) << "a step stops the movie";
    ULONG stepped = time();
    EXPECT_GT(stepped, 0u);
    winapi::desktop::key_down(VK_LEFT);
    winapi::desktop::pump_messages();
    EXPECT_LT(time(), stepped);
}

TEST_F(ControllerTest, TimerDrawsTheFrameOfTheCurrentTime) {
    open(TestMovie::MjpegPcm);
    play();
    winapi::desktop::advance_clock(1000);
    winapi::desktop::pump_messages();
    ULONG now = time();
    EXPECT_EQ(now, 1000u);
    ULONG picture = engine().movie(MO::GetFramePicture, movie(), now);
    ASSERT_NE(picture, 0u);
    auto block = reinterpret_cast<HGLOBAL>(
        static_cast<uintptr_t>(engine().movie(MO::MakeDibFromPicture, picture)));
    engine().movie(MO::FreePicture, picture);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    const uint8_t* bits = reinterpret_cast<const uint8_t*>(header + 1);
    int mismatches = 0;
    for (int y = 5; y < 120; y += 23) {
        for (int x = 5; x < 160; x += 31) {
            const uint8_t* pixel = bits + ((119 - y) * 160 + x) * 4;
            COLORREF shown = winapi::desktop::window_pixel(m_window, x, y);
            if (shown != RGB(pixel[2], pixel[1], pixel[0])) ++mismatches;
        }
    }
    GlobalUnlock(block);
    GlobalFree(block);
    EXPECT_EQ(mismatches, 0);
}

TEST_F(ControllerTest, AMovieReachingIntoTheBarShowsItsTopRows) {
    open(TestMovie::RawPcm);
    // Placed low enough that its last 18 rows fall under the bar: the rows above the bar
    // are the movie's first ones, each where it belongs.
    const LONG top = 40;
    ASSERT_EQ(
        engine().component(CO::ControllerSetMovie, m_controller, movie(), m_window, LONG(0), top),
        0u);
    engine().component(CO::DrawController, m_controller, m_window);
    ULONG picture = engine().movie(MO::GetFramePicture, movie(), time());
    ASSERT_NE(picture, 0u);
    auto block = reinterpret_cast<HGLOBAL>(
        static_cast<uintptr_t>(engine().movie(MO::MakeDibFromPicture, picture)));
    engine().movie(MO::FreePicture, picture);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(header->biHeight, 120);
    const uint8_t* bits = reinterpret_cast<const uint8_t*>(header + 1);
    int mismatches = 0;
    for (int y = 0; y < height - 18 - top; y += 7) {
        for (int x = 5; x < 160; x += 31) {
            const uint8_t* pixel = bits + ((119 - y) * 160 + x) * 4;
            COLORREF shown = winapi::desktop::window_pixel(m_window, x, top + y);
            if (shown != RGB(pixel[2], pixel[1], pixel[0])) ++mismatches;
        }
    }
    GlobalUnlock(block);
    GlobalFree(block);
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(winapi::desktop::window_pixel(m_window, 1, height - 2), RGB(200, 200, 200));
}

TEST_F(ControllerTest, BarIsDrawnAtTheBottomUnlessHidden) {
    open(TestMovie::RawPcm);
    engine().component(CO::DrawController, m_controller, m_window);
    // Right of the slider and left of the volume: the bar's face.
    COLORREF face = winapi::desktop::window_pixel(m_window, 1, height - 2);
    EXPECT_EQ(face, RGB(200, 200, 200));
    engine().movie(MO::DisposeController, m_controller);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    HDC dc = GetDC(m_window);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, black);
    ReleaseDC(m_window, dc);
    RECT area{0, 0, width, height};
    m_controller = engine().movie(MO::NewController, movie(), &area, ULONG(8), m_window);
    test_support::set_window_controller(m_controller);
    engine().component(CO::DrawController, m_controller, m_window);
    EXPECT_EQ(winapi::desktop::window_pixel(m_window, 1, height - 2), RGB(0, 0, 0));
}

TEST_F(ControllerTest, BarThumbFollowsThePlayingMovie) {
    open(TestMovie::RawPcm);
    engine().component(CO::DrawController, m_controller, m_window);
    // The slider runs from 26 to 156 (after the play button, before the volume); halfway
    // through the movie its thumb stands at 91.
    const COLORREF thumb = RGB(20, 20, 20);
    EXPECT_NE(winapi::desktop::window_pixel(m_window, 91, height - 9), thumb);
    play();
    ULONG duration = engine().movie(MO::GetMovieDuration, movie());
    winapi::desktop::advance_clock(duration / 2);
    winapi::desktop::pump_messages();
    EXPECT_EQ(winapi::desktop::window_pixel(m_window, 91, height - 9), thumb);
    EXPECT_NE(winapi::desktop::window_pixel(m_window, 27, height - 9), thumb);
}

TEST_F(ControllerTest, ClickingThePlayButtonPlaysThroughTheFilter) {
    open(TestMovie::RawPcm);
    m_filter.calls.clear();
    winapi::desktop::click(winapi::desktop::MouseButton::Left, 8, height - 9);
    winapi::desktop::pump_messages();
    ASSERT_FALSE(m_filter.calls.empty());
    EXPECT_EQ(m_filter.calls[0].action, ULONG(EngineActionPlay));
    EXPECT_EQ(rate(), 0x10000);
    // A click on the slider goes to that time, also through the filter.
    m_filter.calls.clear();
    winapi::desktop::click(winapi::desktop::MouseButton::Left, width / 2, height - 9);
    winapi::desktop::pump_messages();
    ASSERT_FALSE(m_filter.calls.empty());
    EXPECT_EQ(m_filter.calls[0].action, ULONG(EngineActionGoToTime));
    ULONG duration = engine().movie(MO::GetMovieDuration, movie());
    EXPECT_NEAR(double(time()), duration / 2.0, duration / 8.0);
}

TEST_F(ControllerTest, BadgeShowsTheHiddenBar) {
    open(TestMovie::RawPcm, 1 | 4 | 8);
    engine().component(CO::DrawController, m_controller, m_window);
    EXPECT_NE(winapi::desktop::window_pixel(m_window, 1, height - 2), RGB(200, 200, 200));
    // The badge sits at the movie's bottom left corner.
    winapi::desktop::click(winapi::desktop::MouseButton::Left, 8, 120 - 6);
    winapi::desktop::pump_messages();
    EXPECT_EQ(winapi::desktop::window_pixel(m_window, 1, height - 2), RGB(200, 200, 200));
}

TEST_F(ControllerTest, DetachedControllerSurvivesItsMovie) {
    open(TestMovie::RawPcm);
    engine().component(CO::DetachMovie, m_controller);
    m_movie.reset();
    EXPECT_EQ(action(EngineActionPlay, EngineActionValue(0x10000)), EngineResult(0x80010001u));
    winapi::desktop::advance_clock(100);
    winapi::desktop::pump_messages();
    engine().component(CO::DrawController, m_controller, m_window);
    // A new movie in the same window.
    m_movie = std::make_unique<OpenedMovie>(engine().open_path(movie_path(TestMovie::MjpegPcm)));
    EXPECT_EQ(engine().component(CO::ControllerSetMovie, m_controller, movie(), m_window, LONG(0),
                                 LONG(0)),
              0u);
    engine().movie(MO::SetMovieActive, movie(), ULONG(1));
    play();
    winapi::desktop::advance_clock(200);
    EXPECT_EQ(time(), 200u);
}

TEST_F(ControllerTest, TheMovieBoxIsWhereTheControllerDrawsTheMovie) {
    open(TestMovie::RawPcm, 0);
    OpenedMovie natural_movie(engine().open_path(movie_path(TestMovie::RawPcm)));
    RECT natural{};
    ASSERT_EQ(engine().movie(MO::GetMovieBox, natural_movie.get(), &natural), 0u);
    const LONG w = natural.right - natural.left, h = natural.bottom - natural.top;
    ASSERT_GT(w, 0);
    ASSERT_LT(w, width);
    // Centred in the area above the bar, which is where a movie put in its place through
    // ControllerSetMovie at the box's corner appears again.
    RECT box{};
    ASSERT_EQ(engine().movie(MO::GetMovieBox, movie(), &box), 0u);
    const LONG left = (width - w) / 2, top = (height - 18 - h) / 2;
    EXPECT_EQ(box.left, left);
    EXPECT_EQ(box.top, top);
    EXPECT_EQ(box.right, left + w);
    EXPECT_EQ(box.bottom, top + h);

    // At the top left when asked.
    engine().movie(MO::DisposeController, m_controller);
    RECT area{0, 0, width, height};
    m_controller = engine().movie(MO::NewController, movie(), &area, ULONG(1), m_window);
    test_support::set_window_controller(m_controller);
    ASSERT_EQ(engine().movie(MO::GetMovieBox, movie(), &box), 0u);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, w);
}

} // namespace
} // namespace media_test
