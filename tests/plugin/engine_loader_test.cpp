// The engine loader: StartEngine's results and the state each leaves behind, the second start,
// the not-available handlers (a call before any start, a call after a failed start), and the
// error mode around the loads. The plug-in's sources are linked into this test, so the
// loader's slots, handles and counts are read directly (engine_slots.h); the recording
// engine's installations stand for present, missing and broken engines.
#include "engine/engine_loader.h"
#include "engine/engine_operations.h"

#include "engine/loader_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace recording_engine;

namespace {

using Kind = LibraryEvent::Kind;

const int StartSession = static_cast<int>(MovieOperation::StartSession);
const int EndSession = static_cast<int>(MovieOperation::EndSession);

// The indices of the recorded calls, in order, written "movie 57".
std::vector<std::string> recorded_calls() {
    std::vector<std::string> result;
    for (const Call& call : calls())
        result.push_back(std::string(library_name(call.library)) + " " +
                         std::to_string(call.index));
    return result;
}

int count_events(Library library, Kind kind) {
    int count = 0;
    for (const LibraryEvent& event : library_events())
        count += event.library == library && event.kind == kind;
    return count;
}

template <typename Entry>
Entry entry_of(const char* library) {
    return reinterpret_cast<Entry>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(library), ENGINE_ENTRY_NAME)));
}

class EngineLoaderTest : public LoaderFixture {
  protected:
    // Both libraries loaded: handles set, slots holding the libraries' own entries, counts as
    // given.
    void expect_loaded(LONG movie_count, LONG component_count) {
        EXPECT_EQ(MovieLibrary.Module, GetModuleHandleA(ENGINE_MOVIE_LIBRARY));
        EXPECT_EQ(ComponentLibrary.Module, GetModuleHandleA(ENGINE_COMPONENT_LIBRARY));
        EXPECT_NE(MovieLibrary.Module, nullptr);
        EXPECT_NE(ComponentLibrary.Module, nullptr);
        EXPECT_EQ(MovieLibrary.Slot, entry_of<EngineMovieEntry>(ENGINE_MOVIE_LIBRARY));
        EXPECT_EQ(ComponentLibrary.Slot, entry_of<EngineComponentEntry>(ENGINE_COMPONENT_LIBRARY));
        EXPECT_EQ(MovieLibrary.LoadCount, movie_count)
            << "expected movie load count " << movie_count << ", got " << MovieLibrary.LoadCount;
        EXPECT_EQ(ComponentLibrary.LoadCount, component_count)
            << "expected component load count " << component_count << ", got "
            << ComponentLibrary.LoadCount;
    }

    // Neither library loaded: handles null, slots not available, counts 0.
    void expect_not_loaded() {
        EXPECT_EQ(MovieLibrary.Module, nullptr);
        EXPECT_EQ(ComponentLibrary.Module, nullptr);
        EXPECT_EQ(MovieLibrary.Slot, &MovieNotAvailable);
        EXPECT_EQ(ComponentLibrary.Slot, &ComponentNotAvailable);
        EXPECT_EQ(MovieLibrary.LoadCount, 0);
        EXPECT_EQ(ComponentLibrary.LoadCount, 0);
    }
};

TEST_F(EngineLoaderTest, BothLibrariesPresentStartOnceWithOneSession) {
    fresh_start(Installation::Recording);
    EXPECT_EQ(StartEngine(), 0);
    EXPECT_TRUE(EngineStartAttempted);
    expect_loaded(1, 1);
    EXPECT_EQ(recorded_calls(), std::vector<std::string>{"movie 57"});
    EXPECT_EQ(count_events(Library::Component, Kind::Initialized), 1);
}

TEST_F(EngineLoaderTest, SecondStartCountsTwoWithoutSecondSession) {
    fresh_start(Installation::Recording);
    ASSERT_EQ(StartEngine(), 0);
    EXPECT_EQ(StartEngine(), 0);
    expect_loaded(2, 2);
    // Loaded once, started once: the second start only counts.
    EXPECT_EQ(recorded_calls(), std::vector<std::string>{"movie 57"});
    EXPECT_EQ(count_events(Library::Movie, Kind::Loaded), 1);
    EXPECT_EQ(count_events(Library::Component, Kind::Loaded), 1);
    EXPECT_EQ(count_events(Library::Component, Kind::Initialized), 1);
}

// The error mode suppresses the library-load error box while the loads run (the engine
// libraries record the mode when they are mapped, initialised and called) and is back to the
// caller's afterwards.
TEST_F(EngineLoaderTest, ErrorModeSuppressesLoadErrorsDuringStartOnly) {
    fresh_start(Installation::Recording);
    ASSERT_EQ(StartEngine(), 0);
    EXPECT_EQ(GetErrorMode(), OutsideErrorMode)
        << "expected the error mode " << OutsideErrorMode << " back, got " << GetErrorMode();
    std::vector<LibraryEvent> events = library_events();
    ASSERT_EQ(events.size(), 3u);
    for (const LibraryEvent& event : events) {
        SCOPED_TRACE(library_name(event.library));
        EXPECT_EQ(event.error_mode, static_cast<uint32_t>(SEM_NOOPENFILEERRORBOX));
    }
    ASSERT_EQ(calls().size(), 1u);
    EXPECT_EQ(calls()[0].error_mode, static_cast<uint32_t>(SEM_NOOPENFILEERRORBOX));
}

// One row of the failure table: an installation, StartEngine's result and what is left.
struct FailureRow {
    const char* name;
    Installation installation;
    int result;
    // The calls the start makes: an undone movie-library load ends its session.
    std::vector<std::string> calls;
    // Whether each library is still mapped in the process afterwards, and how often each was
    // loaded, unloaded and (the component library) initialised.
    bool movie_mapped;
    int movie_loads, movie_unloads;
    int component_loads, component_unloads, component_initializations;
};

const FailureRow failure_rows[] = {
    {"QTIM32 cannot be loaded", Installation::None, 1, {}, false, 0, 0, 0, 0, 0},
    // The library without its entry stays mapped, but its handle is forgotten; the component
    // library is never tried.
    {"QTIM32 has no _EntryPoint", Installation::NoEntryPoint, 2, {}, true, 1, 0, 0, 0, 0},
    // The movie library's load is undone: its session ends (though none began) and, the
    // platform being of the NT family, the library is released.
    {"CMGR32 cannot be loaded", Installation::MovieOnly, 1, {"movie 58"}, false, 1, 1, 0, 0, 0},
    {"CMGR32 has no _CMgrInitialize",
     Installation::NoCMgrInitialize,
     2,
     {"movie 58"},
     false,
     1,
     1,
     1,
     1,
     0},
    {"_CMgrInitialize fails",
     Installation::CMgrInitializeFails,
     2,
     {"movie 58"},
     false,
     1,
     1,
     1,
     1,
     1},
};

TEST_F(EngineLoaderTest, FailureTableLeavesNeitherLibraryLoaded) {
    for (const FailureRow& row : failure_rows) {
        SCOPED_TRACE(row.name);
        fresh_start(row.installation);
        EXPECT_EQ(StartEngine(), row.result);
        EXPECT_TRUE(EngineStartAttempted);
        expect_not_loaded();
        EXPECT_EQ(recorded_calls(), row.calls);
        EXPECT_EQ(GetErrorMode(), OutsideErrorMode)
            << "expected the error mode " << OutsideErrorMode << " back, got " << GetErrorMode();
        EXPECT_EQ(mapped(ENGINE_MOVIE_LIBRARY), row.movie_mapped);
        EXPECT_FALSE(mapped(ENGINE_COMPONENT_LIBRARY));
        EXPECT_EQ(count_events(Library::Movie, Kind::Loaded), row.movie_loads);
        EXPECT_EQ(count_events(Library::Movie, Kind::Unloaded), row.movie_unloads);
        EXPECT_EQ(count_events(Library::Component, Kind::Loaded), row.component_loads);
        EXPECT_EQ(count_events(Library::Component, Kind::Unloaded), row.component_unloads);
        EXPECT_EQ(count_events(Library::Component, Kind::Initialized),
                  row.component_initializations);
        for (const Call& call : calls())
            EXPECT_EQ(call.error_mode, static_cast<uint32_t>(SEM_NOOPENFILEERRORBOX));
    }
}

// A start that fails on the component library while the movie library was already started
// takes back only its own start of the movie library: the session goes on.
TEST_F(EngineLoaderTest, FailedStartTakesBackOnlyItsOwnMovieLibraryCount) {
    fresh_start(Installation::MovieOnly);
    MovieLibrary.Module = LoadLibraryA(ENGINE_MOVIE_LIBRARY);
    ASSERT_NE(MovieLibrary.Module, nullptr);
    MovieLibrary.Slot = entry_of<EngineMovieEntry>(ENGINE_MOVIE_LIBRARY);
    MovieLibrary.LoadCount = 1;
    EXPECT_EQ(StartEngine(), 1);
    EXPECT_EQ(MovieLibrary.LoadCount, 1);
    EXPECT_EQ(MovieLibrary.Slot, entry_of<EngineMovieEntry>(ENGINE_MOVIE_LIBRARY));
    EXPECT_TRUE(calls().empty()) << "expected no session call, got " << calls().size();
}

TEST_F(EngineLoaderTest, LaterStartTriesTheLoadsAgain) {
    fresh_start(Installation::None);
    ASSERT_EQ(StartEngine(), 1);
    select_engine(Installation::Recording);
    EXPECT_EQ(StartEngine(), 0);
    expect_loaded(1, 1);
    EXPECT_EQ(recorded_calls(), std::vector<std::string>{"movie 57"});
}

TEST_F(EngineLoaderTest, CallBeforeAnyStartStartsEngineAndCarriesOutCall) {
    fresh_start(Installation::Recording);
    state().duration = 1234;
    EXPECT_EQ(EngineGetMovieDuration(77), 1234u);
    EXPECT_TRUE(EngineStartAttempted);
    expect_loaded(1, 1);
    EXPECT_EQ(recorded_calls(), (std::vector<std::string>{"movie 57", "movie 18"}));
    ASSERT_EQ(calls().size(), 2u);
    EXPECT_EQ(calls()[1].args, std::vector<uint64_t>{77});
}

TEST_F(EngineLoaderTest, ComponentCallBeforeAnyStartStartsEngineAndCarriesOutCall) {
    fresh_start(Installation::Recording);
    EXPECT_EQ(EngineIdleController(5), 0u);
    expect_loaded(1, 1);
    EXPECT_EQ(recorded_calls(), (std::vector<std::string>{"movie 57", "component 9"}));
    ASSERT_EQ(calls().size(), 2u);
    EXPECT_EQ(calls()[1].constant, EngineComponentCall);
    EXPECT_EQ(calls()[1].args, std::vector<uint64_t>{5});
}

// An index no named operation uses still reaches the library, without arguments.
TEST_F(EngineLoaderTest, UnusedIndexBeforeAnyStartIsPassedOn) {
    fresh_start(Installation::Recording);
    set_result(Library::Movie, 3, 0x33);
    EXPECT_EQ(MovieLibrary.Slot(3), 0x33u);
    EXPECT_EQ(recorded_calls(), (std::vector<std::string>{"movie 57", "movie 3"}));
}

TEST_F(EngineLoaderTest, CallBeforeAnyStartWithoutEngineAnswersNotAvailable) {
    fresh_start(Installation::None);
    EXPECT_EQ(EngineGetMovieDuration(1), EngineNotAvailable);
    EXPECT_TRUE(EngineStartAttempted);
    expect_not_loaded();
}

TEST_F(EngineLoaderTest, CallAfterFailedStartAnswersNotAvailableWithoutLoading) {
    fresh_start(Installation::None);
    ASSERT_EQ(StartEngine(), 1);
    // The engine is installed now, but a call does not try again; only StartEngine would.
    select_engine(Installation::Recording);
    EXPECT_EQ(EngineGetMovieDuration(1), EngineNotAvailable);
    EXPECT_EQ(EngineIdleController(1), EngineNotAvailable);
    expect_not_loaded();
    EXPECT_FALSE(mapped(ENGINE_MOVIE_LIBRARY));
    EXPECT_TRUE(library_events().empty());
    EXPECT_TRUE(calls().empty());
}

// A caller that keeps 16 bits of the not-available answer (a track count) sees a negative
// count, so a loop over the tracks runs no times.
TEST_F(EngineLoaderTest, NotAvailableReadAsSixteenBitsIsNegative) {
    fresh_start(Installation::None);
    ASSERT_EQ(StartEngine(), 1);
    EXPECT_EQ(static_cast<SHORT>(EngineGetTrackCount(1)), -32767);
}

} // namespace
