// Installing a display. The headless display is installed from the start.
#pragma once

#include "window/display_driver.h"

#include <memory>

namespace winapi::window {

// Replaces the display (null: back to the headless one). Only while no window exists:
// the old display's surfaces go with it.
void install_display(std::unique_ptr<DisplayDriver> driver);

} // namespace winapi::window
