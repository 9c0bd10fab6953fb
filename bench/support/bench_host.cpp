#include "support/bench_host.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace bench {

namespace {

void* host_alloc(uint32 size) {
    return std::malloc(size);
}
void host_free(void* block) {
    std::free(block);
}
const char* host_agent(NPP) {
    return "bench";
}
void host_status(NPP, const char*) {}

// GetProcAddress gives a generic function pointer; going through void* says that the cast to
// the export's real type is meant.
template <typename Function>
Function find_export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

BenchHost::BenchHost() {
    char pattern[] = "/tmp/lanternix_bench.XXXXXX";
    if (mkdtemp(pattern)) m_root = pattern;
    std::filesystem::create_directories(temp_folder());
    setenv("TMPDIR", temp_folder().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_root + "/config").c_str(), 1);
    setenv("LANTERNIX_LIBRARY_PATH", BENCH_ENGINE_DIR, 1);
}

BenchHost::~BenchHost() {
    if (m_started) find_export<NP_ShutdownFunc>(m_module, "NP_Shutdown")();
    if (!m_root.empty()) std::filesystem::remove_all(m_root);
}

bool BenchHost::start() {
    m_module = LoadLibraryA(BENCH_PLUGIN_PATH);
    if (!m_module) {
        std::fprintf(stderr, "bench: cannot load %s\n", BENCH_PLUGIN_PATH);
        return false;
    }
    auto get_entry_points = find_export<NP_GetEntryPointsFunc>(m_module, "NP_GetEntryPoints");
    auto initialize = find_export<NP_InitializeFunc>(m_module, "NP_Initialize");
    funcs.size = sizeof funcs;
    if (!get_entry_points || !initialize || get_entry_points(&funcs) != NPERR_NO_ERROR)
        return false;
    m_host.size = sizeof m_host;
    m_host.version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    m_host.memalloc = host_alloc;
    m_host.memfree = host_free;
    m_host.uagent = host_agent;
    m_host.status = host_status;
    m_started = initialize(&m_host) == NPERR_NO_ERROR;
    return m_started;
}

bool BenchHost::new_instance(NPP npp,
                             const std::vector<std::pair<std::string, std::string>>& attributes) {
    std::vector<std::string> texts;
    for (const auto& [name, value] : attributes) {
        texts.push_back(name);
        texts.push_back(value);
    }
    std::vector<char*> names, values;
    for (size_t i = 0; i < texts.size(); i += 2) {
        names.push_back(texts[i].data());
        values.push_back(texts[i + 1].data());
    }
    char type[] = "video/quicktime";
    return funcs.newp(type, npp, NP_EMBED, static_cast<int16>(names.size()), names.data(),
                      values.data(), nullptr) == NPERR_NO_ERROR;
}

void BenchHost::destroy_instance(NPP npp) {
    NPSavedData* saved = nullptr;
    funcs.destroy(npp, &saved);
    if (saved) {
        std::free(saved->buf);
        std::free(saved);
    }
}

} // namespace bench
