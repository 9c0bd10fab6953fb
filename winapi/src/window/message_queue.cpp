#include "window/message_queue.h"

#include "window/desktop_clock.h"
#include "window/display_driver.h"
#include "window/input_router.h"
#include "window/paint.h"
#include "window/timer.h"
#include "window/window_manager.h"

#include <algorithm>
#include <optional>

namespace winapi::window {

bool MessageFilter::matches(HWND target, UINT message) const {
    if (min != 0 || max != 0) {
        if (message < min || message > max) return false;
    }
    if (hwnd == reinterpret_cast<HWND>(-1)) return target == nullptr;
    if (hwnd == nullptr) return true;
    return target != nullptr && is_self_or_descendant(hwnd, target);
}

void MessageQueue::clear() {
    posted.clear();
    input.clear();
    timers.clear();
    quit_pending = false;
    quit_code = 0;
    next_thread_timer_id = 1;
}

MessageQueue& current_queue() {
    static thread_local MessageQueue queue;
    return queue;
}

void post_to_queue(MessageQueue& queue, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wparam;
    msg.lParam = lparam;
    msg.time = GetTickCount();
    msg.pt = desktop_state().cursor_pos;
    queue.posted.push_back(msg);
}

void drop_window_messages(HWND hwnd) {
    Window* window = find_window(hwnd);
    MessageQueue& queue = window && window->queue ? *window->queue : current_queue();
    auto& posted = queue.posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(),
                                [hwnd](const MSG& msg) { return msg.hwnd == hwnd; }),
                 posted.end());
    kill_window_timers(queue, hwnd);
}

static bool take_posted(MessageQueue& queue, MSG* msg, const MessageFilter& filter, bool remove) {
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!filter.matches(it->hwnd, it->message)) continue;
        *msg = *it;
        if (remove) queue.posted.erase(it);
        return true;
    }
    return false;
}

static bool take_quit(MessageQueue& queue, MSG* msg, bool remove) {
    // A pending quit is retrieved whatever the filter says, once the posted messages are
    // gone.
    if (!queue.quit_pending) return false;
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(queue.quit_code);
    msg->time = GetTickCount();
    msg->pt = desktop_state().cursor_pos;
    if (remove) queue.quit_pending = false;
    return true;
}

bool retrieve_message(MSG* msg, const MessageFilter& filter, bool remove) {
    display_driver().poll_input();
    MessageQueue& queue = current_queue();
    if (take_posted(queue, msg, filter, remove)) return true;
    if (take_quit(queue, msg, remove)) return true;
    if (take_input(queue, msg, filter, remove)) return true;
    if (take_paint(queue, msg, filter)) return true;
    return take_timer(queue, msg, filter, remove);
}

bool wait_for_message(const MessageFilter& filter, std::optional<uint64_t> deadline) {
    MessageQueue& queue = current_queue();
    std::optional<uint64_t> due = next_timer_due(queue, filter);
    if (deadline && (!due || *deadline < *due)) due = deadline;
    if (clock_is_manual()) {
        // Nothing can happen on a manual clock unless the clock moves: skip ahead to the
        // next timer, or report that waiting would never end.
        if (!due) return false;
        clock_wait_until(*due);
        return true;
    }
    if (!due) return display_driver().wait_for_input(-1);
    uint64_t now = clock_now();
    int timeout = *due > now ? static_cast<int>(std::min<uint64_t>(*due - now, 1u << 30)) : 0;
    display_driver().wait_for_input(timeout);
    return true;
}

} // namespace winapi::window
