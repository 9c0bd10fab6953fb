// The named engine operations: each reaches its library's entry with the index and the
// arguments the engine interface fixes for it (component-library calls with the constant 1
// beside the index), and hands back the entry's result. The same table of calls is run three
// ways: with the engine started, as the first call before any start (through the
// not-available handler, which must pass every kind of argument on unchanged), and after a
// failed start (every operation answers the not-available value and reaches no library).
#include "engine/engine_loader.h"
#include "engine/engine_operations.h"

#include "engine/loader_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

using namespace recording_engine;

namespace {

// Arguments whose address is what the engine receives. They live for the whole program, so
// the table of expected calls can name their addresses.
ULONG out_value;
ULONG out_values[7];
RECT rectangle = {1, 2, 3, 4};
EngineTimeRecord time_record;
char movie_path[] = "C:\\cache\\LX000001.mov";
int filter_instance;

LONG never_suppress(ULONG, ULONG, void*, void*) {
    return 0;
}

uint64_t address(const void* pointer) {
    return reinterpret_cast<uintptr_t>(pointer);
}

const HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10203));

// One named operation: how to call it, and the call the engine must record for it.
struct OperationRow {
    const char* name;
    std::function<uint64_t()> call;
    Library library;
    int index;
    std::vector<uint64_t> args;
};

template <typename Result>
uint64_t widened(Result result) {
    if constexpr (std::is_pointer_v<Result>)
        return reinterpret_cast<uintptr_t>(result);
    else
        return result;
}

#define OPERATION(name, library, index, call, ...)                                                 \
    OperationRow {                                                                                 \
#name, [] { return widened(call); }, Library::library, index, {                            \
            __VA_ARGS__                                                                            \
        }                                                                                          \
    }

std::vector<OperationRow> operation_rows() {
    return {
        OPERATION(EngineInitializeMovies, Movie, 11, EngineInitializeMovies()),
        OPERATION(EngineStartSession, Movie, 57, EngineStartSession()),
        OPERATION(EngineEndSession, Movie, 58, EngineEndSession()),
        OPERATION(EngineOpenMovieFile, Movie, 44, EngineOpenMovieFile(movie_path, &out_value, 0),
                  address(movie_path), address(&out_value), 0),
        OPERATION(EngineNewMovieFromFile, Movie, 42,
                  EngineNewMovieFromFile(&out_value, 0xf11e, 1, 2, 3, 4), address(&out_value),
                  0xf11e, 1, 2, 3, 4),
        OPERATION(EngineNewMovieFromOpenFile, Movie, 41,
                  EngineNewMovieFromOpenFile(&out_value, 7, 0, 0), address(&out_value), 7, 0, 0),
        OPERATION(EngineGetLastError, Movie, 94, EngineGetLastError()),
        OPERATION(EngineCloseMovieFile, Movie, 2, EngineCloseMovieFile(0xf11e), 0xf11e),
        OPERATION(EngineGetMovieDuration, Movie, 18, EngineGetMovieDuration(0xa1), 0xa1),
        OPERATION(EngineGetMovieTimeScale, Movie, 28, EngineGetMovieTimeScale(0xa1), 0xa1),
        OPERATION(EngineGetTrackCount, Movie, 62, EngineGetTrackCount(0xa1), 0xa1),
        OPERATION(EngineGetTrackByIndex, Movie, 61, EngineGetTrackByIndex(0xa1, 3), 0xa1, 3),
        OPERATION(EngineGetTrackMedia, Movie, 72, EngineGetTrackMedia(0x7a), 0x7a),
        OPERATION(EngineGetSampleLocation, Movie, 102,
                  EngineGetSampleLocation(0x3e, &out_values[0], &out_values[1], 0x11,
                                          &out_values[2], &out_values[3], nullptr, &out_values[4],
                                          1, &out_values[5], &out_values[6]),
                  0x3e, address(&out_values[0]), address(&out_values[1]), 0x11,
                  address(&out_values[2]), address(&out_values[3]), 0, address(&out_values[4]), 1,
                  address(&out_values[5]), address(&out_values[6])),
        OPERATION(EngineNewController, Movie, 56,
                  EngineNewController(0xa1, &rectangle, 0x9, window), 0xa1, address(&rectangle),
                  0x9, address(window)),
        OPERATION(EngineDisposeMovie, Movie, 7, EngineDisposeMovie(0xa1), 0xa1),
        OPERATION(EngineDisposeController, Movie, 55, EngineDisposeController(0xc1), 0xc1),
        OPERATION(EngineGetMovieTime, Movie, 54, EngineGetMovieTime(0xa1, &time_record), 0xa1,
                  address(&time_record)),
        OPERATION(EngineGetMovieBox, Movie, 15, EngineGetMovieBox(0xa1, &rectangle), 0xa1,
                  address(&rectangle)),
        OPERATION(EngineSetMovieBox, Movie, 50, EngineSetMovieBox(0xa1, &rectangle), 0xa1,
                  address(&rectangle)),
        OPERATION(EngineIsMovieActive, Movie, 13, EngineIsMovieActive(0xa1), 0xa1),
        OPERATION(EngineSetMovieActive, Movie, 49, EngineSetMovieActive(0xa1, 1), 0xa1, 1),
        OPERATION(EngineGetSpanDataSize, Movie, 17, EngineGetSpanDataSize(0xa1, 600, 300), 0xa1,
                  600, 300),
        OPERATION(EngineGetFramePicture, Movie, 20, EngineGetFramePicture(0xa1, 0xffffffff), 0xa1,
                  0xffffffff),
        OPERATION(EngineFreePicture, Movie, 40, EngineFreePicture(0xb1), 0xb1),
        OPERATION(EngineActivateController, Component, 0, EngineActivateController(0xc1, window, 1),
                  0xc1, address(window), 1),
        OPERATION(EngineDrawController, Component, 2, EngineDrawController(0xc1, window), 0xc1,
                  address(window)),
        OPERATION(EngineIdleController, Component, 9, EngineIdleController(0xc1), 0xc1),
        OPERATION(EngineGetControllerBounds, Component, 4,
                  EngineGetControllerBounds(0xc1, &rectangle), 0xc1, address(&rectangle)),
        // wParam and lParam are pointer-sized: their high halves must arrive too.
        OPERATION(EngineControllerEvent, Component, 11,
                  EngineControllerEvent(0xc1, window, 0x201, static_cast<WPARAM>(0x1234567890ULL),
                                        static_cast<LPARAM>(-2)),
                  0xc1, address(window), 0x201, 0x1234567890ULL, static_cast<uint64_t>(-2)),
        OPERATION(EngineControllerAction, Component, 1,
                  EngineControllerAction(0xc1, EngineActionGetRate, &out_value), 0xc1, 42,
                  address(&out_value)),
        OPERATION(EngineDetachMovie, Component, 15, EngineDetachMovie(0xc1), 0xc1),
        // Signed coordinates are recorded as their 32-bit pattern.
        OPERATION(EngineControllerSetMovie, Component, 19,
                  EngineControllerSetMovie(0xc1, 0xa1, window, -1, 20), 0xc1, 0xa1, address(window),
                  0xffffffff, 20),
        OPERATION(EngineControllerMovieChanged, Component, 22,
                  EngineControllerMovieChanged(0xc1, 0xa1), 0xc1, 0xa1),
        OPERATION(EngineSetActionFilter, Component, 16,
                  EngineSetActionFilter(0xc1, never_suppress, &filter_instance), 0xc1,
                  address(reinterpret_cast<void*>(never_suppress)), address(&filter_instance)),
        // Last, so the not-available handler is seen passing on a handle result too.
        OPERATION(EngineMakeDibFromPicture, Movie, 46, EngineMakeDibFromPicture(0xb1), 0xb1),
    };
}

#undef OPERATION

std::string describe(Library library, int index, int constant, const std::vector<uint64_t>& args) {
    std::ostringstream text;
    text << library_name(library) << " " << index;
    if (library == Library::Component) text << " (" << constant << ")";
    text << std::hex;
    for (uint64_t arg : args)
        text << " 0x" << arg;
    return text.str();
}

// The recorded call `actual` is the one the row expects.
void expect_call(const OperationRow& row, const Call& actual) {
    int constant = row.library == Library::Component ? EngineComponentCall : 0;
    std::string expected = describe(row.library, row.index, constant, row.args);
    std::string got = describe(actual.library, actual.index, actual.constant, actual.args);
    EXPECT_EQ(expected, got) << "expected " << expected << ", got " << got;
}

// Every operation is listed once, with its own index.
TEST(EngineOperationsTableTest, ListsEveryOperationOnce) {
    std::vector<OperationRow> rows = operation_rows();
    EXPECT_EQ(rows.size(), 36u);
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t j = i + 1; j < rows.size(); ++j)
            EXPECT_FALSE(rows[i].library == rows[j].library && rows[i].index == rows[j].index)
                << rows[i].name << " and " << rows[j].name << " share an index";
}

class EngineOperationsTest : public LoaderFixture {};

TEST_F(EngineOperationsTest, StartedEngineReceivesEachOperationWithItsIndexAndArguments) {
    fresh_start(Installation::Recording);
    ASSERT_EQ(StartEngine(), 0);
    for (const OperationRow& row : operation_rows()) {
        SCOPED_TRACE(row.name);
        reset();
        set_result(row.library, row.index, 0x5eed0000u + row.index);
        EXPECT_EQ(row.call(), 0x5eed0000u + row.index)
            << "expected the entry's result to come back unchanged";
        std::vector<Call> recorded = calls();
        ASSERT_EQ(recorded.size(), 1u);
        expect_call(row, recorded[0]);
    }
}

TEST_F(EngineOperationsTest, FirstCallBeforeAnyStartIsPassedOnUnchanged) {
    for (const OperationRow& row : operation_rows()) {
        SCOPED_TRACE(row.name);
        fresh_start(Installation::Recording);
        set_result(row.library, row.index, 0x5eed0000u + row.index);
        EXPECT_EQ(row.call(), 0x5eed0000u + row.index);
        EXPECT_EQ(MovieLibrary.LoadCount, 1);
        EXPECT_EQ(ComponentLibrary.LoadCount, 1);
        std::vector<Call> recorded = calls();
        // The start's own session comes first; a row that is the session call itself is
        // then recorded a second time.
        ASSERT_EQ(recorded.size(), 2u);
        EXPECT_EQ(recorded[0].index, static_cast<int>(MovieOperation::StartSession));
        expect_call(row, recorded[1]);
    }
}

TEST_F(EngineOperationsTest, EveryOperationAfterFailedStartAnswersNotAvailable) {
    fresh_start(Installation::None);
    ASSERT_EQ(StartEngine(), 1);
    for (const OperationRow& row : operation_rows()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.call(), EngineNotAvailable);
    }
    EXPECT_TRUE(calls().empty());
}

} // namespace
