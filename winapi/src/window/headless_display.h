// The headless display: keeps each top-level window's pixels in memory and nothing else. It
// has no input of its own; tests and scripted runs inject input through the desktop API.
#pragma once

#include "window/display_driver.h"

#include <map>
#include <memory>

namespace winapi::window {

class HeadlessDisplay final : public DisplayDriver {
  public:
    void window_created(HWND hwnd, const RECT& rect) override;
    void window_destroyed(HWND hwnd) override;
    void window_moved(HWND hwnd, const RECT& rect) override;
    void window_shown(HWND, bool) override {}
    void window_text_changed(HWND, const char*) override {}
    Surface* surface(HWND hwnd) override;
    void present(HWND, const RECT&) override {}
    void cursor_changed(HCURSOR) override {}
    void beep(UINT) override {}
    void poll_input() override {}
    bool wait_for_input(int timeout_ms) override;

  private:
    std::map<HWND, std::unique_ptr<Surface>> m_surfaces;
};

} // namespace winapi::window
