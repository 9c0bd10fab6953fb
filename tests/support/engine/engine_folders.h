// Choosing which engine installation the plug-in finds, and letting go of the one it found.
#pragma once

#include <engine_abi.h>

#include <string>

namespace recording_engine {

// The engine installations the build makes (see CMakeLists.txt).
enum class Installation {
    Recording,
    NoEntryPoint,
    NoCMgrInitialize,
    CMgrInitializeFails,
    MovieOnly,
    None
};

// The folder of an installation.
std::string engine_folder(Installation installation);

// Points LANTERNIX_LIBRARY_PATH at the installation, so that the next load of QTIM32.DLL and
// CMGR32.DLL that is not already satisfied by a loaded library finds its files.
void select_engine(Installation installation);

// Gives back every load count the process holds on QTIM32 and CMGR32, so that both are
// unmapped and the next load searches for its file again. The plug-in keeps its engine loaded
// for the process's life by design: tests that need a fresh start in one process call this
// after the loader that held the libraries has been reset or unloaded. True when neither
// library is mapped afterwards.
bool release_engine_libraries();

} // namespace recording_engine
