// The message queue of one thread: posted messages, input waiting to be routed, a pending
// quit and the thread's timers. WM_PAINT and WM_TIMER are never stored; they are made when
// the queue is asked for a message and nothing else is there, as on Windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace winapi::window {

// Raw input as it arrived, before routing: the window it goes to is decided when it is
// taken from the queue, so that capture set by an earlier message applies to later ones.
struct InputEvent {
    UINT message = 0;  // WM_MOUSEMOVE, WM_[LR]BUTTON(DOWN|UP), WM_KEYDOWN, WM_KEYUP
    POINT screen{};    // pointer position (screen coordinates)
    WPARAM wparam = 0; // MK_* state for the mouse, the virtual key for keys
    LPARAM lparam = 0; // key data for keys
    DWORD time = 0;
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC proc = nullptr;
    uint64_t due = 0; // desktop clock time of the next WM_TIMER
};

// Which messages a GetMessageA/PeekMessageA call asks for.
struct MessageFilter {
    HWND hwnd =
        nullptr; // null: all; (HWND)-1: thread messages only; else a window and its children
    UINT min = 0;
    UINT max = 0;

    bool matches(HWND target, UINT message) const;
};

class MessageQueue {
  public:
    std::deque<MSG> posted;
    std::deque<InputEvent> input;
    std::vector<Timer> timers;
    bool quit_pending = false;
    int quit_code = 0;
    UINT_PTR next_thread_timer_id = 1;

    // Forgets everything (used by the desktop reset).
    void clear();
};

// The calling thread's queue.
MessageQueue& current_queue();

// Appends a posted message with the current time and pointer position.
void post_to_queue(MessageQueue& queue, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Drops everything queued for a window that is being destroyed, timers included.
void drop_window_messages(HWND hwnd);

// Takes (remove) or looks at the next message the filter accepts, in the order of Windows:
// posted messages, a pending quit, input, WM_PAINT, WM_TIMER. False when there is none.
bool retrieve_message(MSG* msg, const MessageFilter& filter, bool remove);

// Blocks until a message the filter accepts may be there, or until the desktop clock reaches
// `deadline` when one is given. With nothing that could ever arrive (no timer, no deadline,
// and a display without input) it returns false instead of waiting forever; on a manual
// clock it moves the clock to the next timer that the filter accepts, or to the deadline.
bool wait_for_message(const MessageFilter& filter, std::optional<uint64_t> deadline = std::nullopt);

} // namespace winapi::window
