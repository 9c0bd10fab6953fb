#include "window/timer.h"

#include "window/desktop_clock.h"
#include "window/window_manager.h"

#include <algorithm>

namespace winapi::window {

namespace {

UINT clamp_elapse(UINT elapse) {
    if (elapse < USER_TIMER_MINIMUM) return USER_TIMER_MINIMUM;
    if (elapse > USER_TIMER_MAXIMUM) return USER_TIMER_MAXIMUM;
    return elapse;
}

MessageQueue& queue_of(HWND hwnd) {
    Window* window = find_window(hwnd);
    return window && window->queue ? *window->queue : current_queue();
}

Timer* find_timer(MessageQueue& queue, HWND hwnd, UINT_PTR id) {
    for (Timer& timer : queue.timers)
        if (timer.hwnd == hwnd && timer.id == id) return &timer;
    return nullptr;
}

// Thread timers get ids that no live thread timer uses.
UINT_PTR new_thread_timer_id(MessageQueue& queue) {
    for (;;) {
        UINT_PTR id = queue.next_thread_timer_id++;
        if (id == 0) continue;
        if (!find_timer(queue, nullptr, id)) return id;
    }
}

} // namespace

bool take_timer(MessageQueue& queue, MSG* msg, const MessageFilter& filter, bool remove) {
    // Of the due timers, the one that has waited longest goes first. Taking the first due
    // timer in the list instead starves the timers behind it as soon as serving the ones
    // before takes longer than their period, which is what a page of many movies does.
    uint64_t now = clock_now();
    Timer* oldest = nullptr;
    for (Timer& timer : queue.timers) {
        if (timer.due > now || !filter.matches(timer.hwnd, WM_TIMER)) continue;
        if (!oldest || timer.due < oldest->due) oldest = &timer;
    }
    if (!oldest) return false;
    *msg = MSG{};
    msg->hwnd = oldest->hwnd;
    msg->message = WM_TIMER;
    msg->wParam = oldest->id;
    msg->lParam = reinterpret_cast<LPARAM>(oldest->proc);
    msg->time = static_cast<DWORD>(now);
    msg->pt = desktop_state().cursor_pos;
    if (remove) oldest->due = now + oldest->elapse;
    return true;
}

std::optional<uint64_t> next_timer_due(const MessageQueue& queue, const MessageFilter& filter) {
    std::optional<uint64_t> earliest;
    for (const Timer& timer : queue.timers) {
        if (!filter.matches(timer.hwnd, WM_TIMER)) continue;
        if (!earliest || timer.due < *earliest) earliest = timer.due;
    }
    return earliest;
}

void kill_window_timers(MessageQueue& queue, HWND hwnd) {
    auto& timers = queue.timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [hwnd](const Timer& timer) { return timer.hwnd == hwnd; }),
                 timers.end());
}

bool is_live_timer_proc(HWND hwnd, UINT_PTR id, TIMERPROC proc) {
    Timer* timer = find_timer(queue_of(hwnd), hwnd, id);
    return timer && timer->proc == proc;
}

} // namespace winapi::window

using namespace winapi::window;

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    if (hWnd && !checked_window(hWnd)) return 0;
    MessageQueue& queue = queue_of(hWnd);
    // A window timer is named by its id; a thread timer keeps its id only when it names an
    // existing thread timer, otherwise it gets a new one.
    Timer* timer = find_timer(queue, hWnd, nIDEvent);
    if (!timer) {
        UINT_PTR id = hWnd ? nIDEvent : new_thread_timer_id(queue);
        queue.timers.push_back(Timer{hWnd, id, 0, nullptr, 0});
        timer = &queue.timers.back();
    }
    timer->elapse = clamp_elapse(uElapse);
    timer->proc = lpTimerFunc;
    timer->due = clock_now() + timer->elapse;
    // A window timer with id 0 is valid, but 0 means failure: report success as 1 then.
    return timer->id ? timer->id : 1;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    if (hWnd && !checked_window(hWnd)) return FALSE;
    MessageQueue& queue = queue_of(hWnd);
    auto& timers = queue.timers;
    auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& timer) {
        return timer.hwnd == hWnd && timer.id == uIDEvent;
    });
    if (it == timers.end()) {
        SetLastError(ERROR_INVALID_TIMER_ID);
        return FALSE;
    }
    timers.erase(it);
    return TRUE;
}
