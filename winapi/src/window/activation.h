// Activation, keyboard focus and mouse capture. The active window is always a top-level
// window; the focus window is the active window or one of its descendants, or nothing.
#pragma once

#include <windows.h>

namespace winapi::window {

// Makes `top` (a top-level window, or null for none) the active window: it moves to the
// top of the Z order, the old active window gets WM_ACTIVATE(WA_INACTIVE) and the new one
// WM_ACTIVATE(`how`). DefWindowProcA gives the focus to a window that gets activated; a
// focus left outside the new active window is then taken away (WM_KILLFOCUS).
void activate_window(HWND top, WORD how);

// A window is about to be destroyed: capture, focus and activation leave the window and
// everything inside it, with the usual messages, while the windows still exist.
void release_window_state(HWND hwnd);

// The next top-level window that can take the activation, skipping `except` and windows
// being destroyed; null when there is none.
HWND next_window_to_activate(HWND except);

} // namespace winapi::window
