// The engine installations of the build, and letting go of loaded engine libraries.
#include "engine/engine_folders.h"

#include <windows.h>

#include <cstdlib>

namespace recording_engine {

namespace {

const char* folder_name(Installation installation) {
    switch (installation) {
    case Installation::Recording:
        return "recording";
    case Installation::NoEntryPoint:
        return "no_entry_point";
    case Installation::NoCMgrInitialize:
        return "no_cmgr_initialize";
    case Installation::CMgrInitializeFails:
        return "cmgr_initialize_fails";
    case Installation::MovieOnly:
        return "movie_only";
    case Installation::None:
        return "none";
    }
    return "none";
}

// Gives back every count on one library. A bound keeps a library the layer holds no count on
// (FreeLibrary answers TRUE for those) from looping for ever.
bool release_library(const char* name) {
    for (int i = 0; i < 1000; ++i) {
        HMODULE module = GetModuleHandleA(name);
        if (!module) return true;
        if (!FreeLibrary(module)) return false;
    }
    return GetModuleHandleA(name) == nullptr;
}

} // namespace

std::string engine_folder(Installation installation) {
    return std::string(LXTEST_ENGINE_DIR) + "/" + folder_name(installation);
}

void select_engine(Installation installation) {
    setenv("LANTERNIX_LIBRARY_PATH", engine_folder(installation).c_str(), 1);
}

bool release_engine_libraries() {
    bool component = release_library(ENGINE_COMPONENT_LIBRARY);
    bool movie = release_library(ENGINE_MOVIE_LIBRARY);
    return component && movie;
}

} // namespace recording_engine
