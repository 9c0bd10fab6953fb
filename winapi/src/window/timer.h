// Timers: SetTimer/KillTimer keep them in the owning thread's queue; a due timer yields
// one WM_TIMER when the queue has nothing else, and then counts its period again from the
// time it was taken, so a late retrieval gives one message, not a backlog.
#pragma once

#include "window/message_queue.h"

#include <optional>

namespace winapi::window {

// Makes the WM_TIMER of the first due timer the filter accepts.
bool take_timer(MessageQueue& queue, MSG* msg, const MessageFilter& filter, bool remove);

// The earliest time a timer the filter accepts falls due, if there is one.
std::optional<uint64_t> next_timer_due(const MessageQueue& queue, const MessageFilter& filter);

void kill_window_timers(MessageQueue& queue, HWND hwnd);

// True when `proc` is the procedure of the live timer (hwnd, id): DispatchMessageA calls a
// timer procedure only then, never an arbitrary address found in a WM_TIMER's lParam.
bool is_live_timer_proc(HWND hwnd, UINT_PTR id, TIMERPROC proc);

} // namespace winapi::window
