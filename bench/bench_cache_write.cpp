// Cache-file write throughput: a 64 MiB movie streamed through NPP_Write in 8 KiB and 64 KiB
// blocks, against plain write() of the same blocks to a file in the same folder, in the same
// run. Also counts heap allocations while the blocks go through the plug-in: there must be
// none per block.
//
// The last line reads "write ratio: X", the plug-in's throughput over plain write()'s (the
// worse of the two block sizes).
#include "support/allocation_counter.h"
#include "support/bench_host.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr size_t MovieSize = 64u << 20;
constexpr int Rounds = 5;

using Clock = std::chrono::steady_clock;

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

struct Run {
    double seconds = -1;
    size_t blocks = 0;
    long allocations = 0;
};

// Streams the movie through one instance, from NPP_NewStream to NPP_DestroyStream.
Run stream_through_plugin(bench::BenchHost& host, const std::vector<char>& movie, size_t block) {
    Run run;
    NPP_t npp{};
    if (!host.new_instance(&npp, {{"SRC", "bench.mov"}})) return run;
    NPStream stream{};
    stream.url = "http://bench.invalid/bench.mov";
    stream.end = static_cast<uint32>(movie.size());
    char type[] = "video/quicktime";
    uint16 stype = 0;
    Clock::time_point start = Clock::now();
    host.funcs.newstream(&npp, type, &stream, 0, &stype);
    bench::start_counting_allocations();
    for (size_t at = 0; at < movie.size(); at += block, ++run.blocks) {
        int32 count = static_cast<int32>(std::min(block, movie.size() - at));
        if (host.funcs.write(&npp, &stream, static_cast<int32>(at), count,
                             const_cast<char*>(movie.data() + at)) != count) {
            bench::stop_counting_allocations();
            std::fprintf(stderr, "bench_cache_write: a block was refused at %zu\n", at);
            return run;
        }
    }
    run.allocations = bench::stop_counting_allocations();
    host.funcs.destroystream(&npp, &stream, NPRES_DONE);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    host.destroy_instance(&npp);
    return run;
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
    bench::BenchHost host;
    if (!host.start()) return 1;
    std::vector<char> movie = make_movie();
    double worst_ratio = 1e9;
    long most_allocations = 0;
    for (size_t block : {size_t(8) << 10, size_t(64) << 10}) {
        double best_plugin = 1e9, best_plain = 1e9;
        size_t blocks = 0;
        // Alternating the two, best of several rounds: both meet the same page cache.
        for (int round = 0; round < Rounds; ++round) {
            Run run = stream_through_plugin(host, movie, block);
            double plain = plain_write(movie, block, host.temp_folder());
            if (run.seconds < 0 || plain < 0) {
                std::fprintf(stderr, "bench_cache_write: a run failed\n");
                return 1;
            }
            best_plugin = std::min(best_plugin, run.seconds);
            best_plain = std::min(best_plain, plain);
            most_allocations = std::max(most_allocations, run.allocations);
            blocks = run.blocks;
        }
        double mib = double(MovieSize) / (1 << 20);
        double ratio = best_plain / best_plugin;
        std::printf("%3zu KiB blocks (%zu): plug-in %.0f MiB/s, write() %.0f MiB/s, ratio %.3f\n",
                    block >> 10, blocks, mib / best_plugin, mib / best_plain, ratio);
        worst_ratio = std::min(worst_ratio, ratio);
    }
    if (bench::allocations_countable())
        std::printf("heap allocations while writing a whole stream: %ld (at most)\n",
                    most_allocations);
    else
        std::printf("heap allocations: not counted under AddressSanitizer\n");
    std::printf("write ratio: %.3f\n", worst_ratio);
    return 0;
}
