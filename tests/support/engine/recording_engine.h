// The recording engine: a movie engine for tests. It records every call its libraries get, in
// order, and answers from a state the test sets beforehand, which it changes as a real engine
// would (a play action sets the rate, SetMovieBox sets the box ...).
//
// Who owns what: the record and the state live in the shared library recording_engine, which
// test executables link and the engine libraries (QTIM32.so, CMGR32.so) call into, so all see
// the same record. The test owns the script: it sets state() and set_result() before the
// plug-in calls, and reads calls() and the state afterwards. Everything runs on the thread
// that calls the engine; nothing is locked.
#pragma once

#include <engine_abi.h>

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <vector>

namespace recording_engine {

enum class Library { Movie, Component };

// One call of a library's "_EntryPoint".
struct Call {
    Library library;
    int index;
    // The constant passed beside the index (component library); 0 for the movie library.
    int constant;
    // The operation's arguments in order, each widened to 64 bits: integers as their unsigned
    // bit pattern (a LONG -1 is 0xffffffff), pointers and handles as their value. An index
    // that no operation uses records no arguments.
    std::vector<uint64_t> args;
    // GetErrorMode() while the call ran.
    uint32_t error_mode;
    // A controller action that the installed action filter suppressed.
    bool vetoed;
};

// Something that happened to a library as a whole.
struct LibraryEvent {
    enum class Kind { Loaded, Unloaded, Initialized };
    Library library;
    Kind kind;
    // GetErrorMode() when it happened.
    uint32_t error_mode;
};

struct Track {
    uint32_t track;
    uint32_t media;
    // Where the track's first sample lies in the movie file.
    uint32_t offset;
    uint32_t size;
};

// The engine's state: the script the test sets, and what the engine changes as it runs.
struct State {
    // Out-parameters of OpenMovieFile and of the two NewMovie operations.
    uint32_t file_reference = 0x0f11e001;
    uint32_t movie = 0x0a0e0001;
    // What NewController was last given: its bounds and creation flags.
    RECT new_controller_bounds = {};
    uint32_t new_controller_flags = 0;
    // NewMovieFromOpenFile: the whole file as the engine could read it through the handle.
    std::vector<unsigned char> open_file_contents;
    // Results of NewController, GetFramePicture.
    uint32_t controller = 0x0c0e0001;
    uint32_t picture = 0x0b1c0001;
    uint32_t duration = 0;
    uint32_t time_scale = 600;
    // GetTrackCount answers their number; GetTrackByIndex, GetTrackMedia and
    // GetSampleLocation answer from them (0, or a nonzero result, for ones not listed).
    std::vector<Track> tracks;
    // GetSpanDataSize(movie, start, length); 0 when unset.
    std::function<uint32_t(uint32_t start, uint32_t length)> span_data_size;
    // The movie's current time: GetMovieTime; action 12 sets it.
    uint32_t movie_time = 0;
    // The time base reported in time records.
    uint32_t time_base = 0x0ba5e001;
    // IsMovieActive; SetMovieActive sets it.
    bool active = false;
    // GetMovieBox; SetMovieBox sets it.
    RECT movie_box = {};
    // GetControllerBounds.
    RECT controller_bounds = {};
    // The controller: rate (actions 8 and 42), volume (14 and 15), looping (21, 23), resize
    // bounds (25), selection (29, 30, 53) and keys (32).
    uint32_t rate = 0;
    uint16_t volume = 0x100;
    uint32_t looping = 0;
    uint32_t palindrome = 0;
    RECT resize_bounds = {-1, -1, -1, -1};
    uint32_t selection_start = 0;
    uint32_t selection_length = 0;
    uint32_t keys_enabled = 0;
    // The filter SetActionFilter installed, and its instance value.
    EngineActionFilterProc filter = nullptr;
    void* filter_instance = nullptr;
    // What "_CMgrInitialize" answers (a library built to fail answers nonzero regardless).
    uint32_t initialize_result = 0;
};

// Clears the record (calls and library events), the results set and the state.
void reset();
// While off, calls are carried out and answered as usual but not recorded, so that a call
// allocates nothing (benchmarks). On after reset().
void set_recording(bool on);
// The calls so far, in order.
std::vector<Call> calls();
// The library events so far, in order.
std::vector<LibraryEvent> library_events();
// The live state: set it before the calls, read it afterwards.
State& state();
// What the entry answers for an operation from now on, in place of its usual answer (0, or
// the state's value for operations that answer one). Out-parameters are filled either way.
void set_result(Library library, int index, uint32_t result);

// ---- Called by the engine libraries ----------------------------------------------------------

EngineResult movie_entry(int32_t index, va_list arguments);
EngineResult component_entry(int32_t index, int32_t one, va_list arguments);
EngineResult component_initialize();
void library_event(Library library, LibraryEvent::Kind kind);

} // namespace recording_engine
