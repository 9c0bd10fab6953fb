#include "plugin_registry.h"

#include "host_services.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace browser {

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The string block to read: the first translation the file lists, else US English with
// the Windows Latin-1 code page, which is what plug-ins have always used.
std::string string_block(const std::vector<char>& block) {
    void* data = nullptr;
    UINT length = 0;
    char name[64] = "\\StringFileInfo\\040904e4\\";
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &data, &length) && length >= 4) {
        auto* pair = static_cast<const WORD*>(data);
        std::snprintf(name, sizeof name, "\\StringFileInfo\\%04x%04x\\", pair[0], pair[1]);
    }
    return name;
}

std::string version_string(const std::vector<char>& block, const std::string& prefix,
                           const char* key) {
    void* data = nullptr;
    UINT length = 0;
    std::string name = prefix + key;
    if (!VerQueryValueA(block.data(), name.c_str(), &data, &length) || !data) return {};
    return std::string(static_cast<const char*>(data));
}

bool is_plugin_file_name(const std::string& name) {
    std::string lowered = lower(name);
    if (lowered.size() < 2 || lowered.compare(0, 2, "np") != 0) return false;
    return lowered.ends_with(".so") || lowered.ends_with(".dll");
}

// An export as the function type it has; going through void (*)() says the cast is meant.
template <typename Function>
Function export_of(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace

std::optional<PluginDescription> describe_plugin(const std::string& path) {
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
    if (size == 0) return std::nullopt;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return std::nullopt;
    std::string prefix = string_block(block);
    std::string types = version_string(block, prefix, "MIMEType");
    if (trim(types).empty()) return std::nullopt;

    PluginDescription description;
    description.path = path;
    description.name = version_string(block, prefix, "FileDescription");
    if (description.name.empty())
        description.name = std::filesystem::path(path).filename().string();
    std::vector<std::string> extensions = split(version_string(block, prefix, "FileExtents"), '|');
    for (const std::string& type : split(types, '|')) {
        size_t index = description.mime_types.size();
        description.mime_types.push_back(trim(type));
        description.extensions.push_back(index < extensions.size() ? lower(trim(extensions[index]))
                                                                   : std::string());
    }
    return description;
}

std::vector<PluginDescription> find_plugins(const std::string& folder) {
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error) && is_plugin_file_name(entry.path().filename().string()))
            paths.push_back(entry.path().string());
    }
    std::sort(paths.begin(), paths.end());
    std::vector<PluginDescription> found;
    for (const std::string& path : paths) {
        if (auto description = describe_plugin(path)) found.push_back(std::move(*description));
    }
    return found;
}

PluginLibrary::~PluginLibrary() {
    if (m_started && m_shutdown) m_shutdown();
    if (m_module) FreeLibrary(static_cast<HMODULE>(m_module));
}

std::unique_ptr<PluginLibrary> PluginLibrary::load(const PluginDescription& description,
                                                   std::string& error) {
    std::unique_ptr<PluginLibrary> library(new PluginLibrary);
    library->m_description = description;
    HMODULE module = LoadLibraryA(description.path.c_str());
    if (!module) {
        error =
            "cannot load " + description.path + " (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    library->m_module = module;
    auto get_entry_points = export_of<NP_GetEntryPointsFunc>(module, "NP_GetEntryPoints");
    auto initialize = export_of<NP_InitializeFunc>(module, "NP_Initialize");
    library->m_shutdown = export_of<NP_ShutdownFunc>(module, "NP_Shutdown");
    if (!get_entry_points || !initialize || !library->m_shutdown) {
        error =
            description.path + " does not export NP_GetEntryPoints, NP_Initialize and NP_Shutdown";
        return nullptr;
    }
    library->m_funcs.size = sizeof(NPPluginFuncs);
    if (NPError result = get_entry_points(&library->m_funcs); result != NPERR_NO_ERROR) {
        error = description.path + ": NP_GetEntryPoints failed with " + std::to_string(result);
        return nullptr;
    }
    if (NPError result = initialize(host_table()); result != NPERR_NO_ERROR) {
        // A library whose start failed is shut down all the same: it may hold the table.
        library->m_started = true;
        error = description.path + ": NP_Initialize failed with " + std::to_string(result);
        return nullptr;
    }
    library->m_started = true;
    return library;
}

PluginRegistry::PluginRegistry(std::vector<std::string> folders) {
    for (const std::string& folder : folders) {
        for (PluginDescription& description : find_plugins(folder)) {
            m_plugins.push_back(description);
            m_entries.push_back(Entry{std::move(description), nullptr, false});
        }
    }
}

std::string PluginRegistry::type_for_extension(const std::string& extension) const {
    if (extension.empty()) return {};
    std::string wanted = lower(extension);
    for (const PluginDescription& plugin : m_plugins) {
        for (size_t i = 0; i < plugin.extensions.size(); ++i) {
            // One element may list several extensions separated by commas.
            for (const std::string& candidate : split(plugin.extensions[i], ','))
                if (trim(candidate) == wanted) return plugin.mime_types[i];
        }
    }
    return {};
}

PluginLibrary* PluginRegistry::library_for_type(const std::string& type, std::string& error) {
    for (Entry& entry : m_entries) {
        bool serves = std::any_of(
            entry.description.mime_types.begin(), entry.description.mime_types.end(),
            [&](const std::string& candidate) { return lower(candidate) == lower(type); });
        if (!serves) continue;
        if (!entry.library && !entry.failed) {
            entry.library = PluginLibrary::load(entry.description, error);
            entry.failed = !entry.library;
        }
        if (entry.library) return entry.library.get();
        if (error.empty()) error = "the plug-in for " + type + " failed to load";
        return nullptr;
    }
    error = "no plug-in for type " + type;
    return nullptr;
}

void PluginRegistry::unload_all() {
    for (Entry& entry : m_entries) {
        entry.library.reset();
        entry.failed = false;
    }
}

} // namespace browser
