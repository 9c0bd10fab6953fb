// The loader's state: one dispatch slot per engine library, and the not-available handlers
// that fill a slot while its library is not loaded. Only the loader, the named operations and
// the loader's tests include this header.
#pragma once

#include <windows.h>

#include <engine_abi.h>

// One engine library as the loader keeps it. Not loaded: Module null, Slot holding the
// library's not-available handler. Loaded: Module set, Slot holding the library's
// "_EntryPoint", LoadCount at least 1.
template <typename Entry>
struct EngineLibrary {
    HMODULE Module;
    Entry Slot;
    LONG LoadCount;
};

extern EngineLibrary<EngineMovieEntry> MovieLibrary;
extern EngineLibrary<EngineComponentEntry> ComponentLibrary;
// Set by the first StartEngine and never cleared.
extern BOOL EngineStartAttempted;

// The not-available handlers. Before any start has been attempted they start the engine and
// pass the call on, with the same index and arguments, to whatever the slot holds then (an
// index that no operation of the library uses is passed on without arguments); afterwards
// they answer EngineNotAvailable at once. They accept any argument list.
EngineResult MovieNotAvailable(int32_t index, ...);
EngineResult ComponentNotAvailable(int32_t index, int32_t one, ...);

// For tests only: gives back the one load each loaded library holds and puts the loader in
// its load-time state (both slots not available, counts 0, start not attempted).
void ResetEngineLoader();
