#include "window/desktop_clock.h"

#include <windows.h>

#include <chrono>
#include <thread>

namespace winapi::window {

namespace {

struct ClockState {
    bool manual = false;
    uint64_t manual_now = 0;
};

ClockState& clock_state() {
    static ClockState state;
    return state;
}

uint64_t real_now() {
    // steady_clock is CLOCK_MONOTONIC on Linux: milliseconds since boot, like the tick count.
    auto since_epoch = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count());
}

} // namespace

uint64_t clock_now() {
    ClockState& state = clock_state();
    return state.manual ? state.manual_now : real_now();
}

bool clock_is_manual() {
    return clock_state().manual;
}

void clock_use_real() {
    clock_state().manual = false;
}

void clock_use_manual(uint64_t start_ms) {
    ClockState& state = clock_state();
    state.manual = true;
    state.manual_now = start_ms;
}

void clock_set(uint64_t ms) {
    ClockState& state = clock_state();
    if (state.manual) state.manual_now = ms;
}

void clock_advance(uint64_t ms) {
    ClockState& state = clock_state();
    if (state.manual) state.manual_now += ms;
}

void clock_wait_until(uint64_t ms) {
    ClockState& state = clock_state();
    if (state.manual) {
        if (state.manual_now < ms) state.manual_now = ms;
        return;
    }
    uint64_t now = real_now();
    if (now < ms) std::this_thread::sleep_for(std::chrono::milliseconds(ms - now));
}

} // namespace winapi::window

// The tick count wraps after about 49.7 days, as on Windows.
DWORD WINAPI GetTickCount(void) {
    return static_cast<DWORD>(winapi::window::clock_now());
}
