// The rectangle functions of the window manager's public interface.
#include <windows.h>

#include "window/rect_util.h"

namespace {

BOOL null_rectangle() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

} // namespace

BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
    if (!lprc) return null_rectangle();
    return pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
    if (!lprc) return null_rectangle();
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) return null_rectangle();
    *lprc = winapi::window::rect_offset(*lprc, dx, dy);
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) return null_rectangle();
    *lprc = RECT{lprc->left - dx, lprc->top - dy, lprc->right + dx, lprc->bottom + dy};
    return TRUE;
}
