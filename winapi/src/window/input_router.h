// Mouse and keyboard input: how raw input enters the queue (from the desktop automation
// API or from a display with real devices) and how it is routed when it is taken out.
//
// Mouse messages go to the capture window, else to the deepest visible window under the
// pointer, with client coordinates in lParam and the MK_* state in wParam. Before an
// uncaptured mouse message the window gets WM_NCHITTEST and WM_SETCURSOR; a button press on
// a window whose top-level window is not active first sends WM_MOUSEACTIVATE and activates
// it. Disabled windows get no mouse input. Keys go to the focus window (with no focus, to the
// active window as WM_SYSKEY*).
#pragma once

#include "window/message_queue.h"

namespace winapi::window {

enum class MouseButton { Left, Right };

// Queue raw input. The pointer position changes at once (GetCursorPos sees it).
void input_mouse_move(POINT screen);
void input_mouse_button(MouseButton button, bool down, POINT screen);
void input_key(UINT vk, bool down);

// True while the key (VK_SHIFT, VK_CONTROL, letters ...) or button is held, as input has
// arrived so far.
bool input_key_is_down(UINT vk);

// The same, as of the input messages retrieved so far: what a program that handles the
// current message sees (as GetKeyState does on Windows). TranslateMessage reads this one,
// so a key pressed with Shift makes a capital even when Shift was released since.
bool retrieved_key_is_down(UINT vk);

// Takes (remove) or looks at the first queued input the filter accepts, routing it as
// described above. Input nobody can receive is dropped.
bool take_input(MessageQueue& queue, MSG* msg, const MessageFilter& filter, bool remove);

// Forgets held keys and buttons (desktop reset).
void input_reset();

} // namespace winapi::window
