#include "window/activation.h"

#include "window/window_manager.h"

namespace winapi::window {

namespace {

// Moves the focus without touching the activation, with WM_KILLFOCUS then WM_SETFOCUS.
void move_focus(HWND hwnd) {
    DesktopState& state = desktop_state();
    HWND old = state.focus;
    if (old == hwnd) return;
    state.focus = hwnd;
    if (find_window(old)) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && find_window(hwnd))
        SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

} // namespace

HWND next_window_to_activate(HWND except) {
    for (HWND top : desktop_state().top_levels) {
        Window* window = find_window(top);
        if (top == except || !window || window->destroying) continue;
        if (window->style & WS_VISIBLE) return top;
    }
    return nullptr;
}

void activate_window(HWND top, WORD how) {
    DesktopState& state = desktop_state();
    HWND old = state.active;
    if (old == top) return;
    if (Window* window = find_window(top)) {
        unlink_window(*window);
        link_window(*window, HWND_TOP);
    }
    state.active = top;
    if (find_window(old))
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(top));
    if (top && find_window(top))
        SendMessageA(top, WM_ACTIVATE, MAKEWPARAM(how, 0), reinterpret_cast<LPARAM>(old));
    // The focus never stays in a window that is not active.
    if (state.focus && !(state.active && is_self_or_descendant(state.active, state.focus)))
        move_focus(nullptr);
}

void release_window_state(HWND hwnd) {
    DesktopState& state = desktop_state();
    if (state.capture && is_self_or_descendant(hwnd, state.capture)) ReleaseCapture();
    if (state.active && is_self_or_descendant(hwnd, state.active))
        activate_window(next_window_to_activate(state.active), WA_ACTIVE);
    if (state.focus && is_self_or_descendant(hwnd, state.focus)) move_focus(nullptr);
}

} // namespace winapi::window

using namespace winapi::window;

HWND WINAPI SetCapture(HWND hWnd) {
    if (!checked_window(hWnd)) return nullptr;
    DesktopState& state = desktop_state();
    HWND old = state.capture;
    state.capture = hWnd;
    if (old && old != hWnd && find_window(old))
        SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    return old;
}

BOOL WINAPI ReleaseCapture(void) {
    DesktopState& state = desktop_state();
    HWND old = state.capture;
    state.capture = nullptr;
    if (old && find_window(old)) SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WINAPI GetCapture(void) {
    return desktop_state().capture;
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
    if (hWnd && !checked_window(hWnd)) return nullptr;
    HWND old = desktop_state().active;
    activate_window(top_level_of(hWnd), WA_ACTIVE);
    return old;
}

HWND WINAPI GetActiveWindow(void) {
    return desktop_state().active;
}

// One application owns the whole desktop here, so the foreground window is the active one.
BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    if (!checked_window(hWnd)) return FALSE;
    activate_window(top_level_of(hWnd), WA_ACTIVE);
    return TRUE;
}

HWND WINAPI GetForegroundWindow(void) {
    return desktop_state().active;
}

HWND WINAPI SetFocus(HWND hWnd) {
    DesktopState& state = desktop_state();
    HWND old = state.focus;
    if (!hWnd) {
        move_focus(nullptr);
        return old;
    }
    if (!checked_window(hWnd)) return nullptr;
    if (hWnd == old) return old;
    // Focusing a window inside an inactive top-level window activates that window first.
    HWND top = top_level_of(hWnd);
    if (top != state.active) activate_window(top, WA_ACTIVE);
    if (!find_window(hWnd)) return nullptr;
    move_focus(hWnd);
    return old;
}

HWND WINAPI GetFocus(void) {
    return desktop_state().focus;
}
