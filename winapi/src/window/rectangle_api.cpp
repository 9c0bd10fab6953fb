// The rectangle functions of the window manager's public interface.
#include <windows.h>

#include "window/rect_util.h"

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lprc = winapi::window::rect_offset(*lprc, dx, dy);
    return TRUE;
}
