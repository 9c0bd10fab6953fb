// The engine loader: loads the movie engine's two libraries at run time and keeps one dispatch
// slot per library, through which every engine operation goes (engine_operations.h).
#pragma once

// Starts the engine: loads the movie library (QTIM32.DLL) and the component library
// (CMGR32.DLL), or counts one more start of each that is already loaded, and starts a session
// on the first start of the movie library. Returns
//   0 when both libraries are ready,
//   1 when a library file cannot be loaded,
//   2 when a library lacks its entry or the component library's start fails.
// A failing start leaves each library it did not start not loaded, undoing the movie
// library's load when only the component library failed. No library-load error dialog is
// shown while it runs, and the process error mode is back as it was afterwards. Libraries are
// never unloaded once started; every call counts, so a second start counts 2.
int StartEngine();
