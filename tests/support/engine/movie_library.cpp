// The recording engine's movie library, QTIM32. Built without "_EntryPoint" when
// LXTEST_NO_ENTRY_POINT is defined, to stand for a library that lacks its entry.
#include "engine/recording_engine.h"

using recording_engine::Library;
using recording_engine::LibraryEvent;

namespace {

// Loading and unloading are recorded with the error mode in force, which tells whether the
// loader suppressed error dialogs while it loaded the library.
__attribute__((constructor)) void movie_library_loaded() {
    recording_engine::library_event(Library::Movie, LibraryEvent::Kind::Loaded);
}

__attribute__((destructor)) void movie_library_unloaded() {
    recording_engine::library_event(Library::Movie, LibraryEvent::Kind::Unloaded);
}

} // namespace

#ifndef LXTEST_NO_ENTRY_POINT
// The engine ABI fixes this export's name.
extern "C" __attribute__((visibility("default"))) EngineResult _EntryPoint(int32_t index, ...) {
    va_list arguments;
    va_start(arguments, index);
    EngineResult result = recording_engine::movie_entry(index, arguments);
    va_end(arguments);
    return result;
}
#endif
