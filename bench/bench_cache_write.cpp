// Cache-file write throughput: a 64 MiB movie streamed through NPP_Write in 8 KiB and 64 KiB
// blocks, against plain write() of the same blocks to a file in the same folder, in the same
// run. Also counts heap allocations while the blocks go through the plug-in: there must be
// none per block.
//
// The last line reads "write ratio: X", the plug-in's throughput over plain write()'s (the
// worse of the two block sizes).
#include <npfunctions.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" void* __libc_malloc(size_t size);

namespace {

// Heap allocations by anything in the process, counted only while `counting` is set.
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

} // namespace

#if !defined(__SANITIZE_ADDRESS__)
// The process's malloc, counting calls; every module's allocations come through here.
extern "C" void* malloc(size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    return __libc_malloc(size);
}
#endif

namespace {

constexpr size_t MovieSize = 64u << 20;
constexpr int Rounds = 3;

using Clock = std::chrono::steady_clock;

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

struct Plugin {
    HMODULE module = nullptr;
    NPPluginFuncs funcs{};
    NPNetscapeFuncs host{};
};

// GetProcAddress gives a generic function pointer; going through void* says that the cast to
// the export's real type is meant.
template <typename Function>
Function find_export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool load_plugin(Plugin& plugin) {
    plugin.module = LoadLibraryA(BENCH_PLUGIN_PATH);
    if (!plugin.module) return false;
    auto get_entry_points = find_export<NP_GetEntryPointsFunc>(plugin.module, "NP_GetEntryPoints");
    auto initialize = find_export<NP_InitializeFunc>(plugin.module, "NP_Initialize");
    if (!get_entry_points || !initialize) return false;
    plugin.funcs.size = sizeof plugin.funcs;
    if (get_entry_points(&plugin.funcs) != NPERR_NO_ERROR) return false;
    plugin.host.size = sizeof plugin.host;
    plugin.host.version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    plugin.host.memalloc = host_alloc;
    plugin.host.memfree = host_free;
    plugin.host.uagent = host_agent;
    plugin.host.status = host_status;
    return initialize(&plugin.host) == NPERR_NO_ERROR;
}

// The movie: a first atom as long as the whole file, so the plug-in never opens it early and
// the run measures writing alone.
std::vector<char> make_movie() {
    std::vector<char> movie(MovieSize);
    for (size_t i = 0; i < movie.size(); ++i)
        movie[i] = static_cast<char>(i * 13 + 5);
    const unsigned char header[8] = {0x04, 0x00, 0x00, 0x00, 'm', 'd', 'a', 't'};
    std::memcpy(movie.data(), header, sizeof header);
    return movie;
}

// Seconds to stream the movie through one instance, from NPP_NewStream to NPP_DestroyStream;
// `per_block_allocations` receives the heap allocations counted during the writes.
double stream_through_plugin(Plugin& plugin, const std::vector<char>& movie, size_t block,
                             double* per_block_allocations) {
    NPP_t npp{};
    char type[] = "video/quicktime";
    char name[] = "SRC", value[] = "bench.mov";
    char* names[] = {name};
    char* values[] = {value};
    if (plugin.funcs.newp(type, &npp, NP_EMBED, 1, names, values, nullptr) != NPERR_NO_ERROR)
        return -1;
    NPStream stream{};
    stream.url = "http://bench.invalid/bench.mov";
    stream.end = static_cast<uint32>(movie.size());
    uint16 stype = 0;
    Clock::time_point start = Clock::now();
    plugin.funcs.newstream(&npp, type, &stream, 0, &stype);
    allocations = 0;
    counting = true;
    size_t blocks = 0;
    for (size_t at = 0; at < movie.size(); at += block, ++blocks) {
        int32 count = static_cast<int32>(std::min(block, movie.size() - at));
        if (plugin.funcs.write(&npp, &stream, static_cast<int32>(at), count,
                               const_cast<char*>(movie.data() + at)) != count) {
            counting = false;
            std::fprintf(stderr, "bench_cache_write: a block was refused at %zu\n", at);
            return -1;
        }
    }
    counting = false;
    plugin.funcs.destroystream(&npp, &stream, NPRES_DONE);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    *per_block_allocations = double(allocations.load()) / double(blocks);
    std::printf("%3zu KiB blocks: %zu blocks, %ld heap allocations among them\n", block >> 10,
                blocks, allocations.load());
    NPSavedData* saved = nullptr;
    plugin.funcs.destroy(&npp, &saved);
    if (saved) {
        std::free(saved->buf);
        std::free(saved);
    }
    return seconds;
}

// Seconds to write the same blocks with write() to a new file in `folder`.
double plain_write(const std::vector<char>& movie, size_t block, const std::string& folder) {
    std::string path = folder + "/plain.mov";
    Clock::time_point start = Clock::now();
    int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0) return -1;
    for (size_t at = 0; at < movie.size(); at += block) {
        size_t count = std::min(block, movie.size() - at);
        if (write(fd, movie.data() + at, count) != static_cast<ssize_t>(count)) {
            close(fd);
            return -1;
        }
    }
    close(fd);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    unlink(path.c_str());
    return seconds;
}

} // namespace

int main() {
    // Cache files and the profile go to a folder of the run's own.
    char pattern[] = "/tmp/bench_cache_write.XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    std::string root = pattern;
    std::filesystem::create_directories(root + "/temp");
    setenv("TMPDIR", (root + "/temp").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    setenv("LANTERNIX_LIBRARY_PATH", BENCH_ENGINE_DIR, 1);

    Plugin plugin;
    if (!load_plugin(plugin)) {
        std::fprintf(stderr, "bench_cache_write: cannot start %s\n", BENCH_PLUGIN_PATH);
        return 1;
    }
    std::vector<char> movie = make_movie();
    double worst_ratio = 1e9;
    double most_allocations = 0;
    for (size_t block : {size_t(8) << 10, size_t(64) << 10}) {
        double best_plugin = 1e9, best_plain = 1e9;
        for (int round = 0; round < Rounds; ++round) {
            double per_block = 0;
            double through_plugin = stream_through_plugin(plugin, movie, block, &per_block);
            double plain = plain_write(movie, block, root + "/temp");
            if (through_plugin < 0 || plain < 0) {
                std::fprintf(stderr, "bench_cache_write: a run failed\n");
                return 1;
            }
            best_plugin = std::min(best_plugin, through_plugin);
            best_plain = std::min(best_plain, plain);
            most_allocations = std::max(most_allocations, per_block);
        }
        double mib = double(MovieSize) / (1 << 20);
        double ratio = best_plain / best_plugin;
        std::printf("%3zu KiB blocks: plug-in %.0f MiB/s, write() %.0f MiB/s, ratio %.3f\n",
                    block >> 10, mib / best_plugin, mib / best_plain, ratio);
        worst_ratio = std::min(worst_ratio, ratio);
    }
    find_export<NP_ShutdownFunc>(plugin.module, "NP_Shutdown")();
    std::filesystem::remove_all(root);
#if defined(__SANITIZE_ADDRESS__)
    std::printf("allocations per block: not counted under AddressSanitizer\n");
#else
    std::printf("allocations per block: %.3f\n", most_allocations);
#endif
    std::printf("write ratio: %.3f\n", worst_ratio);
    return 0;
}
