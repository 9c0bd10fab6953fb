// A window that shows a movie through the engine's controller, as the plug-in's movie window
// does: every message is offered to the controller first.
#pragma once

#include <windows.h>

namespace test_support {

// Makes a visible pop-up window of the given size, at the screen's top left, whose messages
// go first to the controller named by set_window_controller; what the controller does not
// take, the window handles as a plain window that paints nothing itself. Null on failure.
HWND create_controller_window(int width, int height);

// The controller that the windows made above offer their messages to; 0 for none.
void set_window_controller(ULONG controller);

} // namespace test_support
