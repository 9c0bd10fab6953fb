// The recording engine's component library, CMGR32. Variants: without "_CMgrInitialize"
// (LXTEST_NO_INITIALIZE), and with a "_CMgrInitialize" that always fails
// (LXTEST_INITIALIZE_FAILS).
#include "engine/recording_engine.h"

using recording_engine::Library;
using recording_engine::LibraryEvent;

namespace {

// Loading and unloading are recorded with the error mode in force, which tells whether the
// loader suppressed error dialogs while it loaded the library.
__attribute__((constructor)) void component_library_loaded() {
    recording_engine::library_event(Library::Component, LibraryEvent::Kind::Loaded);
}

__attribute__((destructor)) void component_library_unloaded() {
    recording_engine::library_event(Library::Component, LibraryEvent::Kind::Unloaded);
}

} // namespace

// The engine ABI fixes these exports' names.
extern "C" __attribute__((visibility("default"))) EngineResult _EntryPoint(int32_t index,
                                                                           int32_t one, ...) {
    va_list arguments;
    va_start(arguments, one);
    EngineResult result = recording_engine::component_entry(index, one, arguments);
    va_end(arguments);
    return result;
}

#ifndef LXTEST_NO_INITIALIZE
extern "C" __attribute__((visibility("default"))) EngineResult _CMgrInitialize(void) {
    EngineResult result = recording_engine::component_initialize();
#ifdef LXTEST_INITIALIZE_FAILS
    // The failure value is arbitrary: anything but 0 is a failed start.
    result = 0x8001;
#endif
    return result;
}
#endif
