#include "support/plugin_library.h"

namespace plugin_test {

namespace {

// GetProcAddress gives a generic function pointer; going through void* says that the cast to
// the export's real type is meant.
template <typename Function>
Function export_of(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

PluginLibrary::PluginLibrary() : m_module(LoadLibraryA(plugin_path())) {
    if (!m_module) return;
    get_entry_points = export_of<NP_GetEntryPointsFunc>(m_module, "NP_GetEntryPoints");
    initialize = export_of<NP_InitializeFunc>(m_module, "NP_Initialize");
    shutdown = export_of<NP_ShutdownFunc>(m_module, "NP_Shutdown");
}

PluginLibrary::~PluginLibrary() {
    if (m_module) FreeLibrary(m_module);
}

} // namespace plugin_test
