// Update regions, WM_PAINT and device contexts on windows.
//
// Each window keeps its own update region as a bounding rectangle. Invalidating a window
// also invalidates the visible children that the area covers, whatever WS_CLIPCHILDREN
// says: a window DC clips to a rectangle only, so a parent's paint can reach its children's
// pixels and they must paint again after it (parents are painted before their children).
#pragma once

#include "window/message_queue.h"
#include "window/window.h"

namespace winapi::window {

// Adds `rect` (client coordinates; null: the whole client area) to the window's update
// region and to the children it covers; `erase` marks the background for erasing.
void invalidate_window(Window& window, const RECT* rect, bool erase);

// The WM_PAINT of the first visible window of this queue with a non-empty update region
// that the filter accepts, parents before children. WM_PAINT is never removed: it comes
// back until the window is validated.
bool take_paint(MessageQueue& queue, MSG* msg, const MessageFilter& filter);

// Closes the device contexts still open on a window that is being destroyed.
void close_window_dcs(HWND hwnd);

// Closes every window device context (desktop reset).
void close_all_dcs();

} // namespace winapi::window
