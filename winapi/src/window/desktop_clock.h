// The desktop clock that GetTickCount and timers read. It runs on real time by default
// (milliseconds of a monotonic clock); tests switch it to manual time and move it by hand,
// so rules that depend on elapsed milliseconds are tested exactly, without sleeping.
#pragma once

#include <cstdint>

namespace winapi::window {

// Milliseconds on the desktop clock. Never goes backwards while the mode stays the same.
uint64_t clock_now();

bool clock_is_manual();

// Back to real time.
void clock_use_real();

// Manual time starting at `start_ms`; the clock moves only through clock_set/clock_advance.
void clock_use_manual(uint64_t start_ms);

// Sets the manual clock (ignored on real time). Timers that fall due fire the next time
// messages are retrieved.
void clock_set(uint64_t ms);
void clock_advance(uint64_t ms);

// Waits until the clock reads at least `ms`: sleeps on real time, moves the manual clock.
void clock_wait_until(uint64_t ms);

} // namespace winapi::window
