#include "window/input_router.h"

#include "window/activation.h"
#include "window/window_manager.h"

#include <algorithm>
#include <bitset>

namespace winapi::window {

namespace {

std::bitset<256>& held_keys() {
    static std::bitset<256> keys;
    return keys;
}

std::bitset<256>& retrieved_keys() {
    static std::bitset<256> keys;
    return keys;
}

// Brings the retrieved key state up to date with an input message being taken.
void note_retrieved(const InputEvent& event) {
    switch (event.message) {
    case WM_KEYDOWN:
        retrieved_keys()[event.wparam & 0xff] = true;
        break;
    case WM_KEYUP:
        retrieved_keys()[event.wparam & 0xff] = false;
        break;
    case WM_LBUTTONDOWN:
        retrieved_keys()[VK_LBUTTON] = true;
        break;
    case WM_LBUTTONUP:
        retrieved_keys()[VK_LBUTTON] = false;
        break;
    case WM_RBUTTONDOWN:
        retrieved_keys()[VK_RBUTTON] = true;
        break;
    case WM_RBUTTONUP:
        retrieved_keys()[VK_RBUTTON] = false;
        break;
    default:
        break;
    }
}

WPARAM mouse_key_state() {
    WPARAM state = 0;
    if (input_key_is_down(VK_LBUTTON)) state |= MK_LBUTTON;
    if (input_key_is_down(VK_RBUTTON)) state |= MK_RBUTTON;
    if (input_key_is_down(VK_SHIFT)) state |= MK_SHIFT;
    if (input_key_is_down(VK_CONTROL)) state |= MK_CONTROL;
    return state;
}

POINT clamp_to_screen(POINT p) {
    SIZE screen = desktop_state().screen;
    p.x = std::clamp<LONG>(p.x, 0, std::max<LONG>(0, screen.cx - 1));
    p.y = std::clamp<LONG>(p.y, 0, std::max<LONG>(0, screen.cy - 1));
    return p;
}

void queue_mouse(UINT message, POINT screen) {
    MessageQueue& queue = current_queue();
    InputEvent event{message, screen, mouse_key_state(), 0, GetTickCount()};
    // Moves coalesce: only the latest position of a run of moves is worth delivering.
    if (message == WM_MOUSEMOVE && !queue.input.empty() &&
        queue.input.back().message == WM_MOUSEMOVE) {
        queue.input.back() = event;
        return;
    }
    queue.input.push_back(event);
}

bool is_mouse_message(UINT message) {
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

bool is_button_down(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

// Decides the window and the message for queued input at the moment it is taken.
bool route(const InputEvent& event, MSG* msg) {
    DesktopState& state = desktop_state();
    *msg = MSG{};
    msg->message = event.message;
    msg->wParam = event.wparam;
    msg->lParam = event.lparam;
    msg->time = event.time;
    msg->pt = event.screen;
    if (is_mouse_message(event.message)) {
        msg->hwnd = state.capture ? state.capture : WindowFromPoint(event.screen);
        Window* window = find_window(msg->hwnd);
        // A disabled window takes no input (WindowFromPoint already skips disabled
        // children, so this is a disabled top-level window, such as the owner of a modal
        // dialog).
        if (!window || (window->style & WS_DISABLED)) return false;
        POINT origin = screen_origin(*window);
        msg->lParam = MAKELPARAM(event.screen.x - origin.x, event.screen.y - origin.y);
        return true;
    }
    msg->hwnd = state.focus;
    if (!find_window(msg->hwnd)) {
        msg->hwnd = state.active;
        if (!find_window(msg->hwnd)) return false;
        msg->message = event.message == WM_KEYDOWN ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    }
    return true;
}

// What happens to the pointer's window before it gets a mouse message. Returns false when
// WM_MOUSEACTIVATE asked to eat the message.
bool prepare_mouse_message(const MSG& msg) {
    if (desktop_state().capture) return true;
    HWND hwnd = msg.hwnd;
    LRESULT hit = SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(msg.pt.x, msg.pt.y));
    LPARAM hit_and_message = MAKELPARAM(static_cast<WORD>(hit), msg.message);
    bool eat = false;
    HWND top = top_level_of(hwnd);
    if (is_button_down(msg.message) && top && top != desktop_state().active) {
        LRESULT answer =
            SendMessageA(hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top), hit_and_message);
        if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT)
            activate_window(top, WA_CLICKACTIVE);
        eat = answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT;
    }
    if (find_window(hwnd))
        SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), hit_and_message);
    return !eat && find_window(hwnd);
}

} // namespace

void input_mouse_move(POINT screen) {
    screen = clamp_to_screen(screen);
    desktop_state().cursor_pos = screen;
    queue_mouse(WM_MOUSEMOVE, screen);
}

void input_mouse_button(MouseButton button, bool down, POINT screen) {
    screen = clamp_to_screen(screen);
    desktop_state().cursor_pos = screen;
    bool left = button == MouseButton::Left;
    held_keys()[left ? VK_LBUTTON : VK_RBUTTON] = down;
    UINT message =
        left ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
    queue_mouse(message, screen);
}

void input_key(UINT vk, bool down) {
    vk &= 0xff;
    bool was_down = held_keys()[vk];
    held_keys()[vk] = down;
    // Key data: repeat count 1, no scan code; bit 30 is the previous state, bit 31 set on
    // release.
    DWORD data = 1;
    if (was_down || !down) data |= 1u << 30;
    if (!down) data |= 1u << 31;
    InputEvent event{down ? static_cast<UINT>(WM_KEYDOWN) : static_cast<UINT>(WM_KEYUP),
                     desktop_state().cursor_pos, vk, static_cast<LPARAM>(data), GetTickCount()};
    current_queue().input.push_back(event);
}

bool input_key_is_down(UINT vk) {
    return vk < 256 && held_keys()[vk];
}

bool retrieved_key_is_down(UINT vk) {
    return vk < 256 && retrieved_keys()[vk];
}

void input_reset() {
    held_keys().reset();
    retrieved_keys().reset();
}

bool take_input(MessageQueue& queue, MSG* msg, const MessageFilter& filter, bool remove) {
    for (size_t i = 0; i < queue.input.size();) {
        MSG routed;
        if (!route(queue.input[i], &routed)) {
            note_retrieved(queue.input[i]);
            queue.input.erase(queue.input.begin() + static_cast<ptrdiff_t>(i));
            continue;
        }
        if (!filter.matches(routed.hwnd, routed.message)) {
            ++i;
            continue;
        }
        if (!remove) {
            *msg = routed;
            return true;
        }
        note_retrieved(queue.input[i]);
        queue.input.erase(queue.input.begin() + static_cast<ptrdiff_t>(i));
        if (is_mouse_message(routed.message) && !prepare_mouse_message(routed)) {
            i = 0; // the procedures that ran may have changed the queue
            continue;
        }
        *msg = routed;
        return true;
    }
    return false;
}

} // namespace winapi::window
