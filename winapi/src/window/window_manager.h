// The desktop's window bookkeeping: the table of windows, the Z order of top-level windows,
// activation, focus, capture and the cursor, plus the geometry helpers every window
// function needs. All of it is used from the thread that runs the user interface: nothing
// here is locked, and windows, their messages and timers belong to that thread (each thread
// has a queue of its own, but posting to another thread's window is not supported).
#pragma once

#include "common/handle_table.h"
#include "window/window.h"

#include <functional>
#include <vector>

namespace winapi::window {

struct DesktopState {
    HandleTable<Window> windows{0x57};
    std::vector<HWND> top_levels; // Z order, topmost first
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
    HCURSOR cursor = nullptr;
    POINT cursor_pos{};
    SIZE screen{1024, 768};
};

DesktopState& desktop_state();

// The window behind a handle, or null for null, unknown and freed handles.
Window* find_window(HWND hwnd);

// Like find_window, but sets ERROR_INVALID_WINDOW_HANDLE when there is no such window, so
// public functions can fail with one line.
Window* checked_window(HWND hwnd);

// Calls the window's current procedure (which may have been replaced by subclassing since
// the message was made). Returns 0 when the window no longer exists.
LRESULT send_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// The top-level window that contains `hwnd` (itself when it is top-level).
HWND top_level_of(HWND hwnd);

// True when `hwnd` is `ancestor` or lies inside it.
bool is_self_or_descendant(HWND ancestor, HWND hwnd);

// True when the window and all its ancestors have WS_VISIBLE.
bool is_visible(const Window& window);

// Screen position of the window's client point (0, 0).
POINT screen_origin(const Window& window);

// The window's rectangle in screen coordinates.
RECT screen_rect(const Window& window);

// Position of the window's client point (0, 0) on its top-level window's surface.
POINT surface_origin(const Window& window);

// The part of the window's client area that is not clipped by its ancestors, on its
// top-level window's surface; empty when the window is not visible.
RECT visible_surface_rect(const Window& window);

// The window and everything inside it, parents before their children (pre-order).
std::vector<HWND> window_subtree(HWND hwnd);

// Every window on the desktop, top-level windows in Z order, each followed by its
// children in Z order (pre-order).
std::vector<HWND> all_windows();

// Z-order lists: unlink a window from its parent's children (or the top-level list) and
// link it again after `insert_after` (HWND_TOP, HWND_BOTTOM or a sibling).
void unlink_window(Window& window);
void link_window(Window& window, HWND insert_after);

} // namespace winapi::window
