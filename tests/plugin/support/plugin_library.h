// The plug-in library as a browser sees it: NPLant32 loaded with LoadLibraryA from the build
// tree, and its three exports found with GetProcAddress.
#pragma once

#include <windows.h>

#include <npfunctions.h>

namespace plugin_test {

class PluginLibrary {
  public:
    // Loads the library; loaded() says whether that and finding the exports worked.
    PluginLibrary();
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return m_module && get_entry_points && initialize && shutdown; }
    HMODULE module() const { return m_module; }

    NP_GetEntryPointsFunc get_entry_points = nullptr;
    NP_InitializeFunc initialize = nullptr;
    NP_ShutdownFunc shutdown = nullptr;

  private:
    HMODULE m_module = nullptr;
};

// Where the build put the library.
inline const char* plugin_path() {
    return LXTEST_PLUGIN_PATH;
}

} // namespace plugin_test
