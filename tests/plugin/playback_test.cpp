// The playback rules through the entry points, with a scripted recording engine and the
// manual clock: activation of a half-loaded movie, the automatic start, suspending and
// resuming with the data ahead and the window's activity, loop counting, the action filter,
// the loaded part as the controller's selection, and printing.
#include "support/streaming_fixture.h"

#include "movie/movie_instance.h"

#include <winapi/desktop.h>

#include <cstdint>
#include <cstring>
#include <functional>

using namespace plugin_test;

namespace {

// A minute-long movie at 600 units per second: 9000 bytes of header, then 50 bytes for every
// 3 units of movie, so the stream is 609000 bytes long. Every track's first sample ends at
// byte 9000. No sample starts before time 0, so no bytes are needed for it.
constexpr uint32_t kDuration = 36000;
constexpr uint32_t kScale = 600;
constexpr size_t kLength = 609000;
constexpr uint32_t kNormal = 0x10000;

uint32_t need(uint32_t time) {
    return time ? 9000 + uint32_t(uint64_t(time) * 50 / 3) : 0;
}

void* by_value(uint32_t value) {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(value));
}

class PlaybackTest : public StreamingFixture {
  protected:
    // Opens the movie early from its first 9002 bytes, 200 ms after the stream began.
    void open_streaming(const Attributes& extra = {}) {
        begin_movie_stream(extra);
        stream_to(9001, 200);
        stream_to(9002, 200);
        ASSERT_NE(engine().filter, nullptr) << "expected the movie opened early";
    }
    // Streams the whole movie within the first 100 ms: opened when the stream ends.
    void open_complete(const Attributes& extra = {}) {
        begin_movie_stream(extra);
        stream_to(kLength, 100);
        ASSERT_EQ(end_stream(NPRES_DONE), NPERR_NO_ERROR);
        ASSERT_TRUE(engine().active);
    }
    // An instance of the movie with the attributes after SRC, its stream begun at the start
    // tick.
    void begin_movie_stream(const Attributes& extra) {
        Attributes attributes = {{"SRC", kAddress}};
        attributes.insert(attributes.end(), extra.begin(), extra.end());
        open_instance(attributes);
        script_engine();
        winapi::desktop::set_clock(kStartTick);
        begin_stream(kLength);
        m_sent = 0;
    }
    void script_engine() {
        recording_engine::State& state = engine();
        state.duration = kDuration;
        state.time_scale = kScale;
        state.tracks = {{0x7001, 0x8001, 8000, 1000}};
        state.span_data_size = [this](uint32_t start, uint32_t length) {
            return need_of(start + length) - need_of(start);
        };
    }
    // Writes the movie up to byte `to` in one block with the clock at `at_ms` after the
    // stream began.
    void stream_to(size_t to, uint64_t at_ms) {
        winapi::desktop::set_clock(kStartTick + at_ms);
        ASSERT_EQ(write(m_movie, m_sent, to - m_sent), static_cast<int32>(to - m_sent));
        m_sent = to;
    }
    // One message through the window: one run of the playback rules.
    void run_rules() { SendMessageA(embed, WM_USER + 7, 0, 0); }

    // The file bytes the movie needs up to a time; tests may script another movie.
    std::function<uint32_t(uint32_t)> need_of = need;

    recording_engine::State& engine() { return recording_engine::state(); }
    MovieInstance* movie() { return static_cast<MovieInstance*>(npp.pdata); }
    LONG filter(uint32_t action, void* parameter) {
        return engine().filter(engine().controller, action, parameter, engine().filter_instance);
    }

  private:
    std::string m_movie = movie_bytes(kLength, 5000, "moov");
    size_t m_sent = 0;
};

TEST_F(PlaybackTest, HalfLoadedMovieIsActivatedOnceItsFirstSamplesAreIn) {
    open_streaming();
    EXPECT_FALSE(engine().active) << "expected a movie still streaming left inactive";
    clear_engine_calls();
    run_rules();
    EXPECT_TRUE(engine().active);
    std::vector<std::string> expected = {"IsMovieActive", "SetMovieActive", "IdleController",
                                         "IdleController", "IdleController"};
    EXPECT_EQ(engine_calls(), expected) << "expected no event offered to the controller";
}

TEST_F(PlaybackTest, AutoplayStartsOnceMoreThanTenPercentIsInAndTheRestWillBeInTime) {
    open_streaming({{"AUTOPLAY", "TRUE"}});
    // A tenth exactly, two seconds in: fast enough, but not more than ten percent.
    stream_to(60900, 2000);
    run_rules();
    EXPECT_EQ(engine().rate, 0u);
    EXPECT_TRUE(movie()->AutoPlay);
    stream_to(60901, 2000);
    run_rules();
    EXPECT_EQ(engine().rate, kNormal);
    EXPECT_FALSE(movie()->AutoPlay) << "expected the automatic start to happen once";
}

TEST_F(PlaybackTest, RefusedAutomaticStartIsTriedAgainLater) {
    // A movie whose first seconds take many bytes: at a tenth in, the 1.5 seconds ahead of
    // the start are not there yet, and the action filter refuses the start.
    need_of = [](uint32_t time) { return time ? 9000 + time * 100 : 0u; };
    open_streaming({{"AUTOPLAY", "TRUE"}});
    stream_to(70000, 2000);
    run_rules();
    EXPECT_EQ(engine().rate, 0u) << "expected the start refused";
    EXPECT_TRUE(movie()->AutoPlay) << "expected the automatic start still pending";
    stream_to(100000, 2500);
    run_rules();
    EXPECT_EQ(engine().rate, kNormal) << "expected the movie started once the data is there";
    EXPECT_FALSE(movie()->AutoPlay);
}

TEST_F(PlaybackTest, SlowDownloadWaitsUnlessStartingSoonerIsPreferred) {
    // A tenth in ten seconds: the rest would take 90 s more, too long for a 60 s movie.
    open_streaming({{"AUTOPLAY", "TRUE"}, {"PLAYRATE", "2"}});
    stream_to(70000, 10000);
    run_rules();
    EXPECT_EQ(engine().rate, 0u);
    close_page();

    set_preference("StartSooner", "1");
    open_streaming({{"AUTOPLAY", "TRUE"}});
    stream_to(60900, 10000);
    run_rules();
    EXPECT_EQ(engine().rate, 0u) << "expected no start at ten percent, however soon";
    stream_to(70000, 10000);
    run_rules();
    EXPECT_EQ(engine().rate, kNormal);
}

TEST_F(PlaybackTest, UnknownLengthStartsOnlyInItsFirstSecondOrSooner) {
    std::string movie = movie_bytes(20000, 20000, "moov");
    for (uint64_t at_ms : {500u, 1500u}) {
        SCOPED_TRACE(at_ms);
        open_instance({{"SRC", kAddress}, {"AUTOPLAY", "TRUE"}});
        script_engine();
        winapi::desktop::set_clock(kStartTick);
        begin_stream(0);
        winapi::desktop::set_clock(kStartTick + at_ms);
        ASSERT_EQ(write(movie, 0, 20000), 20000);
        ASSERT_TRUE(engine().active) << "expected a file of unknown length taken as complete";
        run_rules();
        EXPECT_EQ(engine().rate, at_ms < 1000 ? kNormal : 0u);
        close_page();
    }
}

TEST_F(PlaybackTest, MovieWithoutTimeScaleNeverLooksFastEnough) {
    open_streaming({{"AUTOPLAY", "TRUE"}});
    engine().time_scale = 0;
    movie()->TimeScale = 0;
    stream_to(100000, 1000);
    run_rules();
    EXPECT_EQ(engine().rate, 0u);
    EXPECT_GE(movie()->LeadTime, 1.5);
    EXPECT_LE(movie()->LeadTime, 5.0);
}

TEST_F(PlaybackTest, PlayingMovieWaitsForMissingDataAndGoesOnWhenItArrives) {
    open_streaming({{"AUTOPLAY", "TRUE"}});
    stream_to(60901, 2000);
    run_rules();
    ASSERT_EQ(engine().rate, kNormal);
    // At 5 s the movie needs the bytes up to 6.5 s: 74000 of them.
    engine().movie_time = 3000;
    run_rules();
    EXPECT_EQ(engine().rate, 0u) << "expected the movie suspended";
    EXPECT_TRUE(movie()->Suspended);
    stream_to(73999, 2500);
    run_rules();
    EXPECT_EQ(engine().rate, 0u) << "expected one byte short to be not enough";
    stream_to(100000, 3000);
    run_rules();
    EXPECT_EQ(engine().rate, kNormal) << "expected playing again at the rate it had";
    EXPECT_FALSE(movie()->Suspended);
}

TEST_F(PlaybackTest, BackgroundPausesAndForegroundResumesTellingTheControllerOnce) {
    set_preference("PauseInBackground", "1");
    open_complete();
    SetActiveWindow(page);
    engine().rate = kNormal;
    run_rules();
    clear_engine_calls();
    HWND other = make_page_window(100, 100);
    SetActiveWindow(other);
    run_rules();
    run_rules();
    EXPECT_EQ(engine().rate, 0u);
    EXPECT_EQ(engine_count("ActivateController"), 1u);
    SetActiveWindow(page);
    run_rules();
    run_rules();
    EXPECT_EQ(engine().rate, kNormal);
    EXPECT_EQ(engine_count("ActivateController"), 2u);
    std::vector<recording_engine::Call> calls = recording_engine::calls();
    std::vector<uint64_t> told;
    for (const recording_engine::Call& call : calls)
        if (call.library == recording_engine::Library::Component && call.index == 0)
            told.push_back(call.args[2]);
    EXPECT_EQ(told, (std::vector<uint64_t>{0, 1})) << "expected inactive, then active";
    DestroyWindow(other);
}

TEST_F(PlaybackTest, LoopCountStopsTheMovieAtTheSecondBackwardJump) {
    set_preference("LoopCount", "2");
    open_complete({{"LOOP", "TRUE"}});
    SetActiveWindow(page);
    engine().rate = kNormal;
    for (uint32_t time : {100u, 200u, 50u, 300u}) {
        engine().movie_time = time;
        run_rules();
        EXPECT_EQ(engine().rate, kNormal) << "at time " << time;
    }
    EXPECT_EQ(movie()->LoopsLeft, 1);
    engine().movie_time = 20;
    run_rules();
    EXPECT_EQ(engine().rate, 0u) << "expected the movie stopped";
    EXPECT_EQ(movie()->LoopsLeft, 0);
}

TEST_F(PlaybackTest, FilterLetsThroughOnlyWhatTheDataAllows) {
    open_streaming({{"AUTOPLAY", "TRUE"}});
    stream_to(60000, 5000); // enough for 3060 units: about 5 s
    EXPECT_EQ(filter(EngineActionPlay, by_value(0)), 0) << "a stop always passes";
    EXPECT_TRUE(movie()->AutoPlay) << "expected a stop to leave the automatic start";
    engine().movie_time = 3000;
    EXPECT_EQ(filter(EngineActionPlay, by_value(kNormal)), 1) << "no data 1.5 s ahead";
    EXPECT_FALSE(movie()->AutoPlay) << "expected any play to end the automatic start";
    engine().movie_time = 0;
    EXPECT_EQ(filter(EngineActionPlay, by_value(kNormal)), 0);

    EngineTimeRecord record = {100, 0, kScale, 0};
    EXPECT_EQ(filter(EngineActionGoToTime, &record), 0);
    record.ValueLow = 5000;
    EXPECT_EQ(filter(EngineActionGoToTime, &record), 1) << "a jump into missing data";
    record.ValueLow = 0;
    EXPECT_EQ(filter(EngineActionSetSelectionStart, &record), 0);
    record.ValueLow = 5;
    EXPECT_EQ(filter(EngineActionSetSelectionStart, &record), 1);
    record.ValueLow = movie()->LoadedTime;
    EXPECT_EQ(filter(EngineActionSetSelectionLength, &record), 0);
    record.ValueLow = movie()->LoadedTime + 1;
    EXPECT_EQ(filter(EngineActionSetSelectionLength, &record), 1);
    EXPECT_EQ(filter(EngineActionEnableKeys, by_value(1)), 0) << "other actions pass";
}

TEST_F(PlaybackTest, SelectionFollowsTheLoadedPart) {
    open_streaming();
    uint32_t previous = 0;
    for (size_t to : {30000u, 80000u, 200000u}) {
        SCOPED_TRACE(to);
        stream_to(to, 1000);
        uint32_t loaded = movie()->LoadedTime;
        EXPECT_GT(loaded, previous) << "expected the loaded part to grow";
        EXPECT_LT(need(loaded), to) << "expected only data that has arrived";
        EXPECT_GE(need(loaded + kScale / 2), to) << "expected no half second left unmarked";
        EXPECT_EQ(engine().selection_start, 0u);
        EXPECT_EQ(engine().selection_length, loaded);
        previous = loaded;
    }
}

TEST_F(PlaybackTest, LookAheadNearTheEndIsHalfwayToIt) {
    open_streaming();
    stream_to(20000, 1000);
    engine().movie_time = kDuration - 100;
    clear_engine_calls();
    run_rules();
    std::vector<recording_engine::Call> calls = recording_engine::calls();
    const recording_engine::Call* measured = nullptr;
    for (const recording_engine::Call& call : calls)
        if (call.library == recording_engine::Library::Movie && call.index == 17) measured = &call;
    ASSERT_NE(measured, nullptr) << "expected the data ahead measured";
    EXPECT_EQ(measured->args[1] + measured->args[2], kDuration - 100 + 50 - 1);
}

TEST_F(PlaybackTest, MouseMoveIdlesTheControllerBeforeAnythingElse) {
    open_complete();
    clear_engine_calls();
    SendMessageA(embed, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    std::vector<std::string> calls = engine_calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "IdleController");
    EXPECT_EQ(calls.back(), "ControllerEvent");
}

TEST_F(PlaybackTest, DrawingAddsTheController) {
    open_complete();
    clear_engine_calls();
    InvalidateRect(embed, nullptr, TRUE);
    UpdateWindow(embed);
    EXPECT_EQ(engine_count("DrawController"), 1u);
}

// A 40 x 30 memory context on a top-down 32-bit DIB, filled black.
class PrintTarget {
  public:
    PrintTarget() {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = 40;
        info.bmiHeader.biHeight = -30;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits),
                                  nullptr, 0);
        previous = SelectObject(dc, bitmap);
        std::memset(bits, 0, 40 * 30 * 4);
    }
    ~PrintTarget() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // The pixel as 0xRRGGBB.
    uint32_t pixel(int x, int y) const { return bits[y * 40 + x] & 0xFFFFFF; }
    bool all_black() const {
        for (int i = 0; i < 40 * 30; ++i)
            if (bits[i] & 0xFFFFFF) return false;
        return true;
    }
    HDC dc = nullptr;

  private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* bits = nullptr;
};

TEST_F(PlaybackTest, EmbeddedPrintDrawsOnlyTheFrameInTheForegroundColour) {
    // 0xBBGGRR: #0000FF is red.
    open_complete({{"FRCOLOR", "#0000FF"}});
    PrintTarget target;
    NPPrint print = {};
    print.mode = NP_EMBED;
    print.print.embedPrint.window.x = 2;
    print.print.embedPrint.window.y = 3;
    print.print.embedPrint.window.width = 20;
    print.print.embedPrint.window.height = 10;
    print.print.embedPrint.platformPrint = target.dc;
    funcs.print(&npp, &print);
    EXPECT_EQ(target.pixel(2, 3), 0xFF0000u) << "top left corner";
    EXPECT_EQ(target.pixel(21, 12), 0xFF0000u) << "bottom right corner";
    EXPECT_EQ(target.pixel(10, 3), 0xFF0000u) << "top edge";
    EXPECT_EQ(target.pixel(10, 7), 0xFFFFFFu) << "inside: the context's own white brush";
    EXPECT_EQ(target.pixel(22, 13), 0u) << "outside";
    EXPECT_EQ(target.pixel(1, 2), 0u) << "outside";
}

TEST_F(PlaybackTest, FullWindowPrintLeavesThePageToTheHost) {
    open_complete();
    PrintTarget target;
    NPPrint print = {};
    print.mode = NP_FULL;
    print.print.fullPrint.pluginPrinted = TRUE;
    print.print.fullPrint.platformPrint = target.dc;
    funcs.print(&npp, &print);
    EXPECT_FALSE(print.print.fullPrint.pluginPrinted);
    EXPECT_TRUE(target.all_black());
}

TEST_F(PlaybackTest, PrintWithoutAMovieDrawsNothing) {
    open_instance({{"SRC", kAddress}});
    PrintTarget target;
    NPPrint print = {};
    print.mode = NP_EMBED;
    print.print.embedPrint.window.width = 20;
    print.print.embedPrint.window.height = 10;
    print.print.embedPrint.platformPrint = target.dc;
    funcs.print(&npp, &print);
    EXPECT_TRUE(target.all_black());
}

} // namespace
