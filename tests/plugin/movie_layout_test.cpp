// Opening the cache file as a movie and its first layout, through the exported entry points
// with the recording engine: the movie box and the controller for the window's size and the
// page's attributes, looping, the first samples' end, and movies with odd measures.
#include "support/streaming_fixture.h"

#include "movie/movie_instance.h"

#include <winapi/desktop.h>

using namespace plugin_test;

namespace {

void expect_rect(const RECT& actual, const RECT& expected, const char* what) {
    EXPECT_TRUE(actual.left == expected.left && actual.top == expected.top &&
                actual.right == expected.right && actual.bottom == expected.bottom)
        << what << ": expected (" << expected.left << ", " << expected.top << ", " << expected.right
        << ", " << expected.bottom << "), got (" << actual.left << ", " << actual.top << ", "
        << actual.right << ", " << actual.bottom << ")";
}

class LayoutTest : public StreamingFixture {
  protected:
    // Opens an instance of the size with the attributes (after SRC), whose movie is 160 by
    // 120 at (5, 7) in the engine, and streams a small complete movie into it.
    void lay_out(const Attributes& attributes, int width, int height) {
        Attributes all = {{"SRC", kAddress}};
        all.insert(all.end(), attributes.begin(), attributes.end());
        open_instance(all, width, height);
        recording_engine::state().movie_box = {5, 7, 165, 127};
        stream_whole(movie_bytes(4000, 4000, "moov"));
        ASSERT_EQ(engine_count("NewController"), 1u);
    }
    const recording_engine::State& engine() const { return recording_engine::state(); }
};

TEST_F(LayoutTest, MovieKeepsItsNaturalSizeWhenItFitsAboveTheBar) {
    lay_out({}, 320, 240);
    expect_rect(engine().movie_box, {0, 0, 160, 120}, "movie box");
    expect_rect(engine().new_controller_bounds, {0, 0, 320, 240}, "controller bounds");
    EXPECT_EQ(engine().new_controller_flags, 0u);
}

TEST_F(LayoutTest, MovieTallerThanTheRoomAboveTheBarIsStretched) {
    lay_out({}, 160, 130);
    expect_rect(engine().movie_box, {0, 0, 160, 112}, "movie box");
    expect_rect(engine().new_controller_bounds, {0, 0, 160, 130}, "controller bounds");
}

TEST_F(LayoutTest, ScaledAndHiddenControllerFillsTheWindow) {
    lay_out({{"MCSCALEMOVIETOFIT", "TRUE"}, {"MCNOTVISIBLE", "TRUE"}}, 320, 240);
    expect_rect(engine().movie_box, {0, 0, 320, 240}, "movie box");
    expect_rect(engine().new_controller_bounds, {0, 0, 320, 240}, "controller bounds");
    EXPECT_EQ(engine().new_controller_flags, 11u);
}

TEST_F(LayoutTest, ControllerFlagsFollowTheAttributes) {
    struct Case {
        Attributes attributes;
        uint32_t flags;
    } cases[] = {
        {{{"CONTROLLER", "BADGE"}}, 12},
        {{{"MCTOPLEFTMOVIE", "TRUE"}}, 1},
        {{{"MCWITHBADGE", "TRUE"}}, 4},
        {{{"CONTROLLER", "FALSE"}}, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes[0].first + "=" + c.attributes[0].second);
        lay_out(c.attributes, 320, 240);
        EXPECT_EQ(engine().new_controller_flags, c.flags);
        close_page();
    }
}

TEST_F(LayoutTest, ControllerGetsTheFilterNoResizingAndKeys) {
    lay_out({}, 320, 240);
    EXPECT_EQ(engine().filter_instance, npp.pdata);
    EXPECT_NE(engine().filter, nullptr);
    expect_rect(engine().resize_bounds, {0, 0, 0, 0}, "resize bounds");
    EXPECT_EQ(engine().keys_enabled, 1u);
    EXPECT_EQ(engine().looping, 0u);
    EXPECT_EQ(engine().palindrome, 0u);
    EXPECT_EQ(engine_count("ControllerAction 21"), 0u);
    EXPECT_TRUE(engine().active) << "expected a complete movie made active";
}

TEST_F(LayoutTest, PalindromeLoopsBothWaysAndALaterFalseUndoesIt) {
    lay_out({{"LOOP", "PALINDROME"}}, 320, 240);
    EXPECT_EQ(engine().looping, 1u);
    EXPECT_EQ(engine().palindrome, 1u);
    close_page();
    lay_out({{"LOOP", "PALINDROME"}, {"LOOP", "FALSE"}}, 320, 240);
    EXPECT_EQ(engine_count("ControllerAction 21"), 0u);
    EXPECT_EQ(engine_count("ControllerAction 23"), 0u);
}

TEST_F(LayoutTest, FirstSamplesEndAndTheMovieMeasures) {
    open_instance({{"SRC", kAddress}});
    recording_engine::State& state = recording_engine::state();
    state.duration = 1200;
    state.time_scale = 600;
    state.tracks = {{0x7001, 0x8001, 3000, 500}, {0x7002, 0x8002, 1000, 800}};
    stream_whole(movie_bytes(8000, 8000, "moov"));
    ASSERT_NE(instance(), nullptr);
    EXPECT_EQ(instance()->Duration, 1200u);
    EXPECT_EQ(instance()->TimeScale, 600u);
    EXPECT_EQ(instance()->FirstSamplesEnd, 3500) << "expected from 1000 to the end at 3500";
    EXPECT_DOUBLE_EQ(instance()->MovieByteRate, 4000.0) << "expected 8000 bytes per 2 s";
}

TEST_F(LayoutTest, TrackWithoutAFirstSampleLeavesFirstSamplesEnd) {
    open_instance({{"SRC", kAddress}});
    recording_engine::State& state = recording_engine::state();
    state.duration = 600;
    state.tracks = {{0x7001, 0x8001, 3000, 500}};
    recording_engine::set_result(recording_engine::Library::Movie, 102, 5);
    stream_whole(movie_bytes(8000, 8000, "moov"));
    EXPECT_EQ(instance()->FirstSamplesEnd, 0);
    EXPECT_EQ(engine_count("NewController"), 1u) << "expected the movie opened all the same";
}

TEST_F(LayoutTest, MovieWithoutLengthOrTimeScaleHasNoByteRate) {
    for (auto [duration, scale] : {std::pair<uint32_t, uint32_t>{0, 600}, {600, 0}}) {
        SCOPED_TRACE("duration " + std::to_string(duration) + ", scale " + std::to_string(scale));
        open_instance({{"SRC", kAddress}});
        recording_engine::state().duration = duration;
        recording_engine::state().time_scale = scale;
        stream_whole(movie_bytes(8000, 8000, "moov"));
        EXPECT_EQ(instance()->MovieByteRate, 0.0);
        EXPECT_GE(instance()->LeadTime, 1.5);
        EXPECT_LE(instance()->LeadTime, 5.0);
        close_page();
    }
}

TEST_F(LayoutTest, LeadTimeFollowsTheDownloadPace) {
    // A minute-long movie, opened as the second block arrives: 1.5 times how many times
    // slower than real time the bytes came, within 1.5 and 5 seconds.
    struct Case {
        const char* what;
        size_t length; // the stream: length / 60 bytes per second of movie
        uint64_t elapsed_ms;
        size_t received;
        double lead;
    } cases[] = {
        {"three times faster than needed", 60000, 10000, 30000, 1.5},
        {"half as fast as needed", 600000, 2000, 10000, 3.0},
        {"four times slower than needed", 600000, 4000, 10000, 5.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        winapi::desktop::set_clock(kStartTick);
        // Without a visible controller no progress step runs after the open, so the lead
        // time is the layout's own estimate.
        open_instance({{"SRC", kAddress}, {"CONTROLLER", "FALSE"}});
        recording_engine::state().duration = 60 * 600;
        recording_engine::state().time_scale = 600;
        std::string movie = movie_bytes(c.length, static_cast<uint32_t>(c.length), "moov");
        begin_stream(static_cast<uint32_t>(c.length));
        winapi::desktop::advance_clock(c.elapsed_ms);
        ASSERT_EQ(write(movie, 0, c.received), static_cast<int32>(c.received));
        ASSERT_EQ(write(movie, c.received, 1), 1);
        ASSERT_EQ(engine_count("NewController"), 1u);
        EXPECT_DOUBLE_EQ(instance()->LeadTime, c.lead);
        close_page();
    }
}

TEST_F(LayoutTest, MovieOpenedBeforeAnyWindowRecordKeepsItsNaturalSize) {
    open_instance({{"SRC", kAddress}}, 0, 0);
    recording_engine::state().movie_box = {0, 0, 160, 120};
    stream_whole(movie_bytes(4000, 4000, "moov"));
    ASSERT_EQ(engine_count("NewController"), 1u);
    expect_rect(recording_engine::state().movie_box, {0, 0, 160, 120}, "movie box");
    expect_rect(recording_engine::state().new_controller_bounds, {0, 0, 160, 138},
                "controller bounds");
}

TEST_F(LayoutTest, WindowLowerThanTheBarGivesTheMovieNoNegativeHeight) {
    lay_out({}, 100, 10);
    expect_rect(engine().movie_box, {0, 0, 100, 0}, "movie box");
}

TEST_F(LayoutTest, EngineErrorOpensNothingAndShowsThePoster) {
    open_instance({{"SRC", kAddress}, {"STATUSMSG", "TRUE"}});
    recording_engine::set_result(recording_engine::Library::Movie, 94, 7);
    stream_whole(movie_bytes(4000, 4000, "moov"));
    EXPECT_EQ(engine_count("NewController"), 0u);
    // The engine made a movie before it reported the error: it gets it back.
    EXPECT_EQ(engine_count("DisposeMovie"), 1u);
    EXPECT_EQ(instance()->Movie, 0u);
    EXPECT_NE(instance()->PictureRect.right, 0) << "expected the poster shown";
}

} // namespace
