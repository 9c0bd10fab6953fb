// The plug-ins the viewer knows: found in folders, described by the MIME types and file
// extensions their version information declares (read without loading them), and loaded
// on first use through their three exports.
#pragma once

#include <npfunctions.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace browser {

// What a plug-in library declares about itself.
struct PluginDescription {
    std::string path;
    std::string name; // FileDescription, else the file name
    std::vector<std::string> mime_types;
    std::vector<std::string> extensions; // in lower case; element i belongs to mime_types[i]
};

// Reads the version information of one library file. nullopt when it has none or declares
// no MIME type.
std::optional<PluginDescription> describe_plugin(const std::string& path);

// The plug-in libraries of a folder: files named NP*.so (or NP*.dll, any case), as browsers
// have always recognised plug-ins, that declare at least one MIME type. In file-name order.
std::vector<PluginDescription> find_plugins(const std::string& folder);

// A loaded plug-in library: its module, its table, and the host table it was started with.
// NP_Shutdown and FreeLibrary run when it goes away.
class PluginLibrary {
  public:
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Loads and starts the library: LoadLibraryA, the three exports, NP_GetEntryPoints
    // and NP_Initialize with the viewer's host table. On failure `error` says why.
    static std::unique_ptr<PluginLibrary> load(const PluginDescription& description,
                                               std::string& error);

    const NPPluginFuncs& funcs() const { return m_funcs; }
    const PluginDescription& description() const { return m_description; }

  private:
    PluginLibrary() = default;

    PluginDescription m_description;
    void* m_module = nullptr;
    NP_ShutdownFunc m_shutdown = nullptr;
    bool m_started = false;
    NPPluginFuncs m_funcs{};
};

// The plug-ins of the searched folders, the first one serving a type winning.
class PluginRegistry {
  public:
    explicit PluginRegistry(std::vector<std::string> folders);

    const std::vector<PluginDescription>& plugins() const { return m_plugins; }

    // The MIME type an extension stands for; empty when no plug-in declares it.
    std::string type_for_extension(const std::string& extension) const;

    // The plug-in serving the type (compared without regard to case), loaded on first use.
    // Null when none declares it or it cannot be loaded (`error` says which).
    PluginLibrary* library_for_type(const std::string& type, std::string& error);

    // Shuts down and unloads every loaded plug-in.
    void unload_all();

  private:
    struct Entry {
        PluginDescription description;
        std::unique_ptr<PluginLibrary> library;
        bool failed = false;
    };
    std::vector<PluginDescription> m_plugins;
    std::vector<Entry> m_entries;
};

} // namespace browser
