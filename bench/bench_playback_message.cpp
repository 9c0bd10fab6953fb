// The cost of the playback rules per window message: a complete movie playing on the
// recording engine (recording switched off), and the instance window's procedure called with
// one message at a time, as the system's dispatcher would. Counts user-space instructions with
// the processor's counter where the system offers it (else nanoseconds) and the process's heap
// allocations, per message.
//
// The last two lines read "instructions per message: N" (or "nanoseconds per message: N") and
// "allocations per message: N".
#include "support/allocation_counter.h"
#include "support/bench_host.h"

#include "engine/recording_engine.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <linux/perf_event.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr int Messages = 200000;
constexpr int WarmUp = 1000;

// A counter of the instructions this thread runs in user space; -1 when unavailable.
int open_instruction_counter() {
    perf_event_attr attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.size = sizeof attributes;
    attributes.type = PERF_TYPE_HARDWARE;
    attributes.config = PERF_COUNT_HW_INSTRUCTIONS;
    attributes.disabled = 1;
    attributes.exclude_kernel = 1;
    attributes.exclude_hv = 1;
    return static_cast<int>(syscall(SYS_perf_event_open, &attributes, 0, -1, -1, 0));
}

HWND make_windows(HWND* page) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.lpszClassName = "BenchPage";
    RegisterClassA(&window_class);
    *page = CreateWindowExA(0, "BenchPage", "page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                            300, nullptr, nullptr, nullptr, nullptr);
    SetActiveWindow(*page);
    return CreateWindowExA(0, "BenchPage", "embed", WS_CHILD | WS_VISIBLE, 10, 10, 320, 240, *page,
                           nullptr, nullptr, nullptr);
}

// Streams a small complete movie into the instance, so that it opens and becomes active.
bool open_movie(bench::BenchHost& host, NPP npp) {
    NPStream stream{};
    stream.url = "http://bench.invalid/bench.mov";
    std::string movie(20000, '\0');
    std::memcpy(movie.data(), "\x00\x00\x4e\x20moov", 8);
    stream.end = static_cast<uint32>(movie.size());
    char type[] = "video/quicktime";
    uint16 stype = 0;
    host.funcs.newstream(npp, type, &stream, 0, &stype);
    if (host.funcs.write(npp, &stream, 0, static_cast<int32>(movie.size()), movie.data()) !=
        static_cast<int32>(movie.size()))
        return false;
    host.funcs.destroystream(npp, &stream, NPRES_DONE);
    return recording_engine::state().active;
}

} // namespace

int main() {
    bench::BenchHost host;
    if (!host.start()) return 1;
    recording_engine::reset();
    recording_engine::State& engine = recording_engine::state();
    engine.duration = 60 * 600;
    engine.time_scale = 600;
    HWND page = nullptr;
    HWND embed = make_windows(&page);
    NPP_t npp{};
    NPWindow record{};
    record.window = embed;
    record.width = 320;
    record.height = 240;
    if (!host.new_instance(&npp, {{"SRC", "bench.mov"}}) ||
        host.funcs.setwindow(&npp, &record) != NPERR_NO_ERROR || !open_movie(host, &npp)) {
        std::fprintf(stderr, "bench_playback_message: the movie did not open\n");
        return 1;
    }
    engine.rate = 0x10000;
    recording_engine::set_recording(false);
    auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(embed, GWLP_WNDPROC));
    for (int i = 0; i < WarmUp; ++i)
        procedure(embed, WM_TIMER, 1, 0);

    int counter = open_instruction_counter();
    bench::start_counting_allocations();
    auto start = std::chrono::steady_clock::now();
    if (counter >= 0) {
        ioctl(counter, PERF_EVENT_IOC_RESET, 0);
        ioctl(counter, PERF_EVENT_IOC_ENABLE, 0);
    }
    for (int i = 0; i < Messages; ++i) {
        engine.movie_time = static_cast<uint32_t>(i % 36000);
        procedure(embed, WM_TIMER, 1, 0);
    }
    long long instructions = -1;
    if (counter >= 0) {
        ioctl(counter, PERF_EVENT_IOC_DISABLE, 0);
        if (read(counter, &instructions, sizeof instructions) != sizeof instructions)
            instructions = -1;
        close(counter);
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    long allocations = bench::stop_counting_allocations();

    recording_engine::set_recording(true);
    host.destroy_instance(&npp);
    DestroyWindow(page);
    std::printf("messages: %d, engine rate 0x%x, loaded time %u\n", Messages, engine.rate,
                engine.selection_length);
    if (instructions >= 0)
        std::printf("instructions per message: %.0f\n", double(instructions) / Messages);
    else
        std::printf("nanoseconds per message: %.0f\n", seconds * 1e9 / Messages);
    if (bench::allocations_countable())
        std::printf("allocations per message: %.3f\n", double(allocations) / Messages);
    else
        std::printf("allocations per message: not counted under AddressSanitizer\n");
    return 0;
}
