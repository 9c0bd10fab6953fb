#include "window/display.h"

#include "window/headless_display.h"

namespace winapi::window {

namespace {

std::unique_ptr<DisplayDriver>& installed() {
    static std::unique_ptr<DisplayDriver> driver = std::make_unique<HeadlessDisplay>();
    return driver;
}

} // namespace

DisplayDriver& display_driver() {
    return *installed();
}

void install_display(std::unique_ptr<DisplayDriver> driver) {
    installed() = driver ? std::move(driver) : std::make_unique<HeadlessDisplay>();
}

} // namespace winapi::window
