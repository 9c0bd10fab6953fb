// Installing a display. The headless display is installed from the start.
#pragma once

#include "window/display_driver.h"

#include <memory>

namespace winapi::window {

// Replaces the display (null: back to the headless one). Only while no window exists:
// the old display's surfaces go with it.
void install_display(std::unique_ptr<DisplayDriver> driver);

// Makes the on-screen display, or null when it cannot start (no display to show it on).
using OnScreenDisplayFactory = std::unique_ptr<DisplayDriver> (*)();

// The on-screen display's area offers its factory here once, when the library loads, so the
// desktop can choose it without depending on how it is made.
void provide_on_screen_display(OnScreenDisplayFactory factory);

// A new on-screen display; null when none was offered or it cannot start.
std::unique_ptr<DisplayDriver> make_on_screen_display();

} // namespace winapi::window
