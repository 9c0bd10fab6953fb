#include "window/display.h"

#include "window/headless_display.h"

namespace winapi::window {

namespace {

// Plain data, so an offer made by another file's initialisation finds it ready.
OnScreenDisplayFactory g_on_screen_factory = nullptr;

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

void provide_on_screen_display(OnScreenDisplayFactory factory) {
    g_on_screen_factory = factory;
}

std::unique_ptr<DisplayDriver> make_on_screen_display() {
    return g_on_screen_factory ? g_on_screen_factory() : nullptr;
}

} // namespace winapi::window
