// The desktop API of winapi/desktop.h.
#include <winapi/desktop.h>

#include "gdi/surface_dc.h"
#include "window/clipboard.h"
#include "window/desktop_clock.h"
#include "window/display.h"
#include "window/input_router.h"
#include "window/modal_automation.h"
#include "window/modal_loop.h"
#include "window/paint.h"
#include "window/rect_util.h"
#include "window/window_class.h"
#include "window/window_manager.h"

#include <algorithm>

namespace winapi::desktop {

namespace {

DisplayKind& current_display() {
    static DisplayKind kind = DisplayKind::Headless;
    return kind;
}

// The window's part of its top-level window's surface, or an empty rectangle.
RECT window_on_surface(const window::Window& win, const Surface& surface) {
    POINT origin = window::surface_origin(win);
    RECT area{origin.x, origin.y, origin.x + win.width(), origin.y + win.height()};
    return window::rect_intersect(area, RECT{0, 0, surface.width, surface.height});
}

Surface* top_surface(HWND hwnd) {
    return window::display_driver().surface(window::top_level_of(hwnd));
}

window::MouseButton to_router(MouseButton button) {
    return button == MouseButton::Left ? window::MouseButton::Left : window::MouseButton::Right;
}

} // namespace

bool set_display(DisplayKind kind) {
    if (window::desktop_state().windows.size() != 0) return false;
    if (kind == DisplayKind::Sdl) {
        std::unique_ptr<window::DisplayDriver> driver = window::make_on_screen_display();
        if (!driver) return false;
        window::install_display(std::move(driver));
    } else {
        window::install_display(nullptr);
    }
    current_display() = kind;
    return true;
}

DisplayKind display() {
    return current_display();
}

void set_screen_size(int width, int height) {
    window::DesktopState& state = window::desktop_state();
    state.screen = SIZE{std::max(width, 1), std::max(height, 1)};
    state.cursor_pos.x = std::min<LONG>(state.cursor_pos.x, state.screen.cx - 1);
    state.cursor_pos.y = std::min<LONG>(state.cursor_pos.y, state.screen.cy - 1);
}

SIZE screen_size() {
    return window::desktop_state().screen;
}

bool screenshot(HWND hwnd, const char* png_path) {
    window::Window* win = window::find_window(hwnd);
    Surface* surface = win ? top_surface(hwnd) : nullptr;
    if (!surface || !png_path) return false;
    RECT area = window_on_surface(*win, *surface);
    Surface shot;
    shot.resize(area.right - area.left, area.bottom - area.top);
    for (int y = 0; y < shot.height; ++y)
        std::copy_n(surface->row(area.top + y) + area.left, shot.width, shot.row(y));
    return gdi::write_png(shot, png_path);
}

COLORREF window_pixel(HWND hwnd, int x, int y) {
    window::Window* win = window::find_window(hwnd);
    Surface* surface = win ? top_surface(hwnd) : nullptr;
    if (!surface || x < 0 || y < 0 || x >= win->width() || y >= win->height()) return 0xFFFFFFFF;
    POINT origin = window::surface_origin(*win);
    POINT at{origin.x + x, origin.y + y};
    if (at.x < 0 || at.y < 0 || at.x >= surface->width || at.y >= surface->height)
        return 0xFFFFFFFF;
    uint32_t pixel = surface->row(at.y)[at.x];
    return RGB((pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff);
}

void mouse_move(int x, int y) {
    window::input_mouse_move(POINT{x, y});
}

void mouse_down(MouseButton button, int x, int y) {
    window::input_mouse_button(to_router(button), true, POINT{x, y});
}

void mouse_up(MouseButton button, int x, int y) {
    window::input_mouse_button(to_router(button), false, POINT{x, y});
}

void click(MouseButton button, int x, int y) {
    mouse_move(x, y);
    mouse_down(button, x, y);
    mouse_up(button, x, y);
}

void key_down(UINT vk) {
    window::input_key(vk, true);
}
void key_up(UINT vk) {
    window::input_key(vk, false);
}

void use_real_clock() {
    window::clock_use_real();
}
void use_manual_clock(uint64_t start_ms) {
    window::clock_use_manual(start_ms);
}
bool clock_is_manual() {
    return window::clock_is_manual();
}
uint64_t clock_now() {
    return window::clock_now();
}
void set_clock(uint64_t ms) {
    window::clock_set(ms);
}
void advance_clock(uint64_t ms) {
    window::clock_advance(ms);
}

int pump_messages(int limit) {
    return window::pump_pending(limit);
}

void set_automation(AutomationCallback callback) {
    window::modal_records().automation = std::move(callback);
}

std::vector<MessageBoxRecord> message_boxes() {
    return window::modal_records().message_boxes;
}

std::vector<UINT> beeps() {
    return window::modal_records().beeps;
}

void clear_records() {
    window::modal_records().message_boxes.clear();
    window::modal_records().beeps.clear();
    window::modal_records().launches.clear();
}

void reset() {
    window::DesktopState& state = window::desktop_state();
    // Destroy top-level windows until none is left; a window that cannot go away (a
    // procedure that recreates windows forever) must not hang the reset.
    for (int attempts = 0; !state.top_levels.empty() && attempts < 1000; ++attempts)
        DestroyWindow(state.top_levels.front());
    window::close_all_dcs();
    window::current_queue().clear();
    window::clipboard_reset();
    window::unregister_all_classes();
    state.active = state.focus = state.capture = nullptr;
    state.cursor = nullptr;
    state.cursor_pos = POINT{0, 0};
    state.screen = SIZE{1024, 768};
    window::input_reset();
    clear_records();
    window::modal_records().automation = nullptr;
    window::clock_use_real();
}

} // namespace winapi::desktop
