#include "window/headless_display.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace winapi::window {

void HeadlessDisplay::window_created(HWND hwnd, const RECT& rect) {
    auto surface = std::make_unique<Surface>();
    surface->resize(rect.right - rect.left, rect.bottom - rect.top);
    m_surfaces[hwnd] = std::move(surface);
}

void HeadlessDisplay::window_destroyed(HWND hwnd) {
    m_surfaces.erase(hwnd);
}

void HeadlessDisplay::window_moved(HWND hwnd, const RECT& rect) {
    Surface* surface = this->surface(hwnd);
    if (!surface) return;
    int width = std::max<LONG>(0, rect.right - rect.left);
    int height = std::max<LONG>(0, rect.bottom - rect.top);
    if (width == surface->width && height == surface->height) return;
    Surface resized;
    resized.resize(width, height);
    int keep_width = std::min(width, surface->width);
    int keep_height = std::min(height, surface->height);
    for (int y = 0; y < keep_height; ++y)
        std::copy_n(surface->row(y), keep_width, resized.row(y));
    *surface = std::move(resized);
}

Surface* HeadlessDisplay::surface(HWND hwnd) {
    auto it = m_surfaces.find(hwnd);
    return it == m_surfaces.end() ? nullptr : it->second.get();
}

bool HeadlessDisplay::wait_for_input(int timeout_ms) {
    // No input ever arrives here; a bounded wait only lets time pass.
    if (timeout_ms < 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(timeout_ms));
    return true;
}

} // namespace winapi::window
