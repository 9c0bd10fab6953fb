#include "plugin_module.h"

namespace winhost {

namespace {

// The whole version resource of a file, empty when it has none.
std::vector<char> version_block(const std::string& file) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(file.c_str(), 0, size, block.data())) block.clear();
    return block;
}

// GetProcAddress answers a generic function pointer; going through void* says that the cast
// to the export's real type is meant.
template <typename Function>
Function export_of(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

std::string join_path(const std::string& folder, const char* name) {
    if (folder.empty()) return name;
    char last = folder.back();
    return folder + (last == '\\' || last == '/' ? "" : "\\") + name;
}

std::string version_string(const std::string& file, const char* key, bool* missing) {
    *missing = true;
    std::vector<char> block = version_block(file);
    if (block.empty()) return "";
    std::string query = std::string("\\StringFileInfo\\040904e4\\") + key;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), query.c_str(), &value, &length) || !value) return "";
    *missing = false;
    // The length counts characters and may include the terminating zero.
    std::string text(static_cast<const char*>(value), length);
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

DWORD version_translation(const std::string& file) {
    std::vector<char> block = version_block(file);
    void* value = nullptr;
    UINT length = 0;
    if (block.empty() ||
        !VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) || length < 4)
        return 0;
    const WORD* pair = static_cast<const WORD*>(value);
    return MAKELONG(pair[0], pair[1]);
}

unsigned long long fixed_file_version(const std::string& file) {
    std::vector<char> block = version_block(file);
    void* value = nullptr;
    UINT length = 0;
    if (block.empty() || !VerQueryValueA(block.data(), "\\", &value, &length) ||
        length < sizeof(VS_FIXEDFILEINFO))
        return 0;
    const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    return (static_cast<unsigned long long>(info->dwFileVersionMS) << 32) | info->dwFileVersionLS;
}

std::vector<std::string> export_names(HMODULE module) {
    std::vector<std::string> names;
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (!module || dos->e_magic != IMAGE_DOS_SIGNATURE) return names;
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0 || directory.Size == 0) return names;
    const IMAGE_EXPORT_DIRECTORY* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const DWORD* name_table = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.push_back(reinterpret_cast<const char*>(base + name_table[i]));
    return names;
}

PluginModule load_plugin(const std::string& folder) {
    PluginModule plugin;
    plugin.module = LoadLibraryA(join_path(folder, "NPLant32.dll").c_str());
    if (!plugin.module) return plugin;
    plugin.get_entry_points = export_of<NP_GetEntryPointsFunc>(plugin.module, "NP_GetEntryPoints");
    plugin.initialize = export_of<NP_InitializeFunc>(plugin.module, "NP_Initialize");
    plugin.shutdown = export_of<NP_ShutdownFunc>(plugin.module, "NP_Shutdown");
    return plugin;
}

bool module_loaded(const char* name) {
    return GetModuleHandleA(name) != nullptr;
}

} // namespace winhost
