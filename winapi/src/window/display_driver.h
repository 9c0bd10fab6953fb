// The interface between the window manager and a display. The window manager calls it, on
// the user-interface thread, to tell the display about top-level windows and to ask for
// their pixels; a display that has real input feeds it back through input_router.h, the
// same functions the automation API uses.
//
// Only top-level windows reach the driver. Child windows draw into their top-level
// window's surface.
#pragma once

#include <windef.h>

#include "common/surface.h"

namespace winapi::window {

class DisplayDriver {
  public:
    virtual ~DisplayDriver() = default;

    // A top-level window was created with this screen rectangle. The driver makes its
    // surface (the window's size, filled white).
    virtual void window_created(HWND hwnd, const RECT& rect) = 0;

    // The window is gone; the driver drops its surface.
    virtual void window_destroyed(HWND hwnd) = 0;

    // The window moved or changed size. On a size change the surface takes the new size,
    // keeping the pixels of the part both sizes share; the rest is white.
    virtual void window_moved(HWND hwnd, const RECT& rect) = 0;

    virtual void window_shown(HWND hwnd, bool visible) = 0;

    // The window's title changed.
    virtual void window_text_changed(HWND hwnd, const char* text) = 0;

    // The pixels of a top-level window, owned by the driver; null for unknown windows. The
    // pointer stays valid until window_destroyed.
    virtual Surface* surface(HWND hwnd) = 0;

    // Drawing into `dirty` (surface coordinates) has finished: show it.
    virtual void present(HWND hwnd, const RECT& dirty) = 0;

    virtual void cursor_changed(HCURSOR cursor) = 0;
    virtual void beep(UINT type) = 0;

    // Hands pending input to the input router without waiting.
    virtual void poll_input() = 0;

    // Waits up to `timeout_ms` (negative: without limit) for input and hands it to the
    // input router. Returns false when this display can never deliver input, so that a
    // caller with nothing else to wait for does not wait forever.
    virtual bool wait_for_input(int timeout_ms) = 0;
};

// The display in use; the headless display unless another was installed.
DisplayDriver& display_driver();

} // namespace winapi::window
