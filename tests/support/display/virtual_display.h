// An X display for the tests of what a person sees on screen: the one in DISPLAY, else an
// Xvfb server started for the test program and stopped at its end.
#pragma once

namespace test_support {

// Makes sure DISPLAY names a working X display, starting Xvfb with a screen of the given
// size when there is none. False when there is no display and Xvfb cannot be started: the
// caller skips its tests, saying so.
bool ensure_x_display(int width = 1024, int height = 768);

// Stops the server ensure_x_display started, if it started one.
void stop_x_display();

} // namespace test_support
