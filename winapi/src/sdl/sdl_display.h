// The on-screen display: each top-level window is an SDL window showing the window's
// surface; mouse and keyboard input from SDL enters the input router as the automation API's
// input does, so routing, activation on a click and capture behave the same on screen and in
// tests. The cursor follows SetCursor, module cursors included.
//
// Drawing never waits for the screen: present() only notes the rectangles that changed, and
// they reach the screen together, at most once per display refresh, when the message loop
// looks for input or is about to wait. A movie frame thus costs the upload of the movie's
// rectangle, not of the window.
//
// While it is installed, waveOut plays through SDL's audio (sdl_sound_output.h).
#pragma once

#include "common/internal_api.h"
#include "window/display_driver.h"

#include <map>
#include <memory>
#include <vector>

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace winapi::sdl {

class SdlDisplay final : public window::DisplayDriver {
  public:
    // Null when there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set) or SDL's
    // video cannot start on it.
    static std::unique_ptr<SdlDisplay> create();
    ~SdlDisplay() override;

    void window_created(HWND hwnd, const RECT& rect) override;
    void window_destroyed(HWND hwnd) override;
    void window_moved(HWND hwnd, const RECT& rect) override;
    void window_shown(HWND hwnd, bool visible) override;
    void window_text_changed(HWND hwnd, const char* text) override;
    Surface* surface(HWND hwnd) override;
    void present(HWND hwnd, const RECT& dirty) override;
    void cursor_changed(HCURSOR cursor) override;
    void beep(UINT type) override;
    void poll_input() override;
    bool wait_for_input(int timeout_ms) override;

  private:
    struct ScreenWindow {
        SDL_Window* window = nullptr;
        RECT rect{}; // where the window manager placed it, in our screen coordinates
        Surface surface;
        std::vector<RECT> dirty; // drawn since the last present, surface coordinates
    };

    SdlDisplay() = default;
    void handle(const SDL_Event& event);
    void handle_window_event(const SDL_Event& event);
    // The window of an SDL window id, and the screen point of a point inside it.
    HWND window_of(unsigned sdl_id) const;
    POINT to_screen(HWND hwnd, int x, int y) const;
    void show_all(HWND hwnd);
    // Shows every window's changed rectangles now.
    void flush_presents();
    // Milliseconds until the changed rectangles are due on screen; -1 when none are waiting.
    int ms_until_flush() const;

    std::map<HWND, ScreenWindow> m_windows;
    std::map<HCURSOR, SDL_Cursor*> m_cursors;
    bool m_dirty = false;
    uint64_t m_last_flush = 0; // SDL ticks of the last present
    uint32_t m_refresh_ms = 16;
};

// The Win32 virtual key of an SDL key code; 0 for keys without one.
LX_INTERNAL_API UINT virtual_key(int sdl_keycode);

} // namespace winapi::sdl
