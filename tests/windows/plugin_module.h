// The plug-in library as a browser sees it: a file whose version information says which
// data it serves, and, once loaded, a module with three exported entry points.
#pragma once

#include <windows.h>

#include <npfunctions.h>

#include <string>
#include <vector>

namespace winhost {

// "<folder>\<name>".
std::string join_path(const std::string& folder, const char* name);

// A value of the version information's string block "040904e4" (US English, Windows Latin-1),
// or `missing` when the file has no such entry.
std::string version_string(const std::string& file, const char* key, bool* missing);

// The "\VarFileInfo\Translation" pair (language, code page), 0 when absent.
DWORD version_translation(const std::string& file);

// The fixed part's file version as major << 48 | minor << 32 | build << 16 | private.
unsigned long long fixed_file_version(const std::string& file);

// The names in a loaded module's export table, in the table's order.
std::vector<std::string> export_names(HMODULE module);

// The loaded plug-in and its three entry points.
struct PluginModule {
    HMODULE module = nullptr;
    NP_GetEntryPointsFunc get_entry_points = nullptr;
    NP_InitializeFunc initialize = nullptr;
    NP_ShutdownFunc shutdown = nullptr;
};

// Loads "<folder>\NPLant32.dll" by its full path, the way a browser loads a plug-in it found
// in its plug-in folder. The folder is not added to the library search path: the plug-in
// must find the engine beside itself on its own. Null entries when an export is missing.
PluginModule load_plugin(const std::string& folder);

// Whether a library of that name is loaded in this process.
bool module_loaded(const char* name);

} // namespace winhost
