// The cursor shape and the pointer position.
#include "window/display_driver.h"
#include "window/input_router.h"
#include "window/window_manager.h"

using namespace winapi::window;

// Cursor handles come from LoadCursorA; the window manager only keeps the current one and
// tells the display when it changes.
HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
    DesktopState& state = desktop_state();
    HCURSOR old = state.cursor;
    state.cursor = hCursor;
    if (old != hCursor) display_driver().cursor_changed(hCursor);
    return old;
}

HCURSOR WINAPI GetCursor(void) {
    return desktop_state().cursor;
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    if (!lpPoint) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    *lpPoint = desktop_state().cursor_pos;
    return TRUE;
}

// Moving the pointer is input like any other: the window under it gets WM_MOUSEMOVE when
// messages are next retrieved.
BOOL WINAPI SetCursorPos(int X, int Y) {
    input_mouse_move(POINT{X, Y});
    return TRUE;
}
