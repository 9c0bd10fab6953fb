// The recording engine behaves as the plug-in's tests rely on: a controller passes every
// action through the installed filter and honours its veto, actions change and report the
// controller's state, the movie operations answer from the script, and a picture becomes a
// packed DIB in a moveable global block whose handle fits the 32-bit result.
#include "engine/engine_loader.h"
#include "engine/engine_operations.h"

#include "engine/loader_fixture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace recording_engine;

namespace {

// What the filter saw, and what it answers.
struct FilterLog {
    struct Seen {
        ULONG controller;
        ULONG action;
        void* parameter;
        void* instance;
    };
    std::vector<Seen> seen;
    ULONG suppressed_action = 0;
};

LONG logging_filter(ULONG controller, ULONG action, void* parameter, void* instance) {
    auto* log = static_cast<FilterLog*>(instance);
    log->seen.push_back({controller, action, parameter, instance});
    return action == log->suppressed_action ? 1 : 0;
}

void* by_value(ULONG value) {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(value));
}

class EngineRecordingTest : public LoaderFixture {
  protected:
    void SetUp() override {
        LoaderFixture::SetUp();
        fresh_start(Installation::Recording);
        ASSERT_EQ(StartEngine(), 0);
        reset();
    }
};

TEST_F(EngineRecordingTest, FilterSeesEveryActionFirstAndItsVetoHolds) {
    FilterLog log;
    log.suppressed_action = EngineActionPlay;
    state().rate = 0x8000;
    ASSERT_EQ(EngineSetActionFilter(0xc1, logging_filter, &log), 0u);
    EXPECT_EQ(EngineControllerAction(0xc1, EngineActionPlay, by_value(0x10000)), 0u);
    EXPECT_EQ(state().rate, 0x8000u) << "a suppressed play action changed the rate";
    ULONG rate = 0;
    EXPECT_EQ(EngineControllerAction(0xc1, EngineActionGetRate, &rate), 0u);
    EXPECT_EQ(rate, 0x8000u);

    ASSERT_EQ(log.seen.size(), 2u);
    EXPECT_EQ(log.seen[0].controller, 0xc1u);
    EXPECT_EQ(log.seen[0].action, static_cast<ULONG>(EngineActionPlay));
    EXPECT_EQ(log.seen[0].parameter, by_value(0x10000));
    EXPECT_EQ(log.seen[0].instance, &log);
    EXPECT_EQ(log.seen[1].parameter, &rate);

    std::vector<Call> recorded = calls();
    ASSERT_EQ(recorded.size(), 3u);
    EXPECT_FALSE(recorded[0].vetoed);
    EXPECT_TRUE(recorded[1].vetoed) << "expected the play action recorded as vetoed";
    EXPECT_FALSE(recorded[2].vetoed);
}

TEST_F(EngineRecordingTest, ActionsChangeAndReportControllerState) {
    ASSERT_EQ(EngineControllerAction(0xc1, EngineActionPlay, by_value(0x20000)), 0u);
    ASSERT_EQ(EngineControllerAction(0xc1, EngineActionSetVolume, by_value(0x80)), 0u);
    ULONG rate = 0;
    SHORT volume = 0;
    EngineControllerAction(0xc1, EngineActionGetRate, &rate);
    EngineControllerAction(0xc1, EngineActionGetVolume, &volume);
    EXPECT_EQ(rate, 0x20000u);
    EXPECT_EQ(volume, 0x80);

    state().time_scale = 600;
    EngineTimeRecord record = {900, 0, 0, 0};
    EngineControllerAction(0xc1, EngineActionGoToTime, &record);
    EXPECT_EQ(EngineGetMovieTime(0xa1, nullptr), 900u);
    record = {120, 0, 0, 0};
    EngineControllerAction(0xc1, EngineActionSetSelectionStart, &record);
    EngineTimeRecord start = {};
    EngineControllerAction(0xc1, EngineActionGetSelectionStart, &start);
    EXPECT_EQ(start.ValueLow, 120u);
    EXPECT_EQ(start.ValueHigh, 0u);
    EXPECT_EQ(start.Scale, 600);
    EXPECT_EQ(start.Base, state().time_base);
}

TEST_F(EngineRecordingTest, MovieOperationsAnswerFromTheScript) {
    state().tracks = {{0x71, 0x3a, 4096, 100}, {0x72, 0x3b, 48, 20}};
    state().span_data_size = [](uint32_t start, uint32_t length) { return start * 2 + length; };
    EXPECT_EQ(static_cast<SHORT>(EngineGetTrackCount(0xa1)), 2);
    EXPECT_EQ(EngineGetTrackByIndex(0xa1, 2), 0x72u);
    EXPECT_EQ(EngineGetTrackByIndex(0xa1, 3), 0u);
    EXPECT_EQ(EngineGetTrackMedia(0x72), 0x3bu);
    ULONG offset = 0, size = 0, count = 0;
    EXPECT_EQ(EngineGetSampleLocation(0x3b, &offset, &size, 0, nullptr, nullptr, nullptr, nullptr,
                                      1, &count, nullptr),
              0u);
    EXPECT_EQ(offset, 48u);
    EXPECT_EQ(size, 20u);
    EXPECT_EQ(count, 1u);
    EXPECT_NE(EngineGetSampleLocation(0x99, &offset, &size, 0, nullptr, nullptr, nullptr, nullptr,
                                      1, &count, nullptr),
              0u)
        << "expected a media the movie lacks to fail";
    EXPECT_EQ(EngineGetSpanDataSize(0xa1, 10, 5), 25u);

    RECT box = {0, 0, 160, 120};
    EngineSetMovieBox(0xa1, &box);
    RECT read = {};
    EngineGetMovieBox(0xa1, &read);
    EXPECT_EQ(read.right, 160);
    EXPECT_EQ(read.bottom, 120);
    EXPECT_EQ(EngineIsMovieActive(0xa1), 0u);
    EngineSetMovieActive(0xa1, 1);
    EXPECT_NE(EngineIsMovieActive(0xa1), 0u);
}

TEST_F(EngineRecordingTest, ScriptedResultStillFillsOutParameters) {
    set_result(Library::Movie, static_cast<int>(MovieOperation::OpenMovieFile), 7);
    ULONG file = 0;
    EXPECT_EQ(EngineOpenMovieFile("movie.mov", &file, 0), 7u);
    EXPECT_EQ(file, state().file_reference);
}

TEST_F(EngineRecordingTest, DibFromPictureIsMoveableBlockOwnedByCaller) {
    HGLOBAL dib = EngineMakeDibFromPicture(0xb1);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(GlobalSize(dib), sizeof(BITMAPINFOHEADER) + 4);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    ASSERT_NE(header, nullptr) << "expected the widened handle to be a live block";
    EXPECT_EQ(header->biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header->biWidth, 1);
    EXPECT_EQ(header->biBitCount, 32);
    GlobalUnlock(dib);
    EXPECT_EQ(GlobalFree(dib), nullptr);
}

} // namespace
