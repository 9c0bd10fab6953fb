// Where windows are, whether they show, and which window is at a point.
#include "window/activation.h"
#include "window/display_driver.h"
#include "window/paint.h"
#include "window/rect_util.h"
#include "window/window_manager.h"

namespace winapi::window {

namespace {

// After a top-level window changed size: without CS_HREDRAW/CS_VREDRAW only the newly
// exposed bands need painting, since the surface keeps the pixels of the shared part.
void invalidate_after_resize(Window& window, const RECT& old_rect) {
    int old_width = old_rect.right - old_rect.left;
    int old_height = old_rect.bottom - old_rect.top;
    UINT class_style = window.window_class->style;
    if (class_style & (CS_HREDRAW | CS_VREDRAW)) {
        invalidate_window(window, nullptr, true);
        return;
    }
    RECT right_band{old_width, 0, window.width(), window.height()};
    RECT bottom_band{0, old_height, window.width(), window.height()};
    invalidate_window(window, &right_band, true);
    invalidate_window(window, &bottom_band, true);
}

// What a change of place, size or visibility exposes must be painted again.
void invalidate_after_change(Window& window, const RECT& old_rect, bool was_visible, bool sized,
                             bool moved) {
    bool visible = (window.style & WS_VISIBLE) != 0;
    if (window.is_child()) {
        Window* parent = find_window(window.parent);
        if (parent && was_visible && (!visible || moved || sized))
            invalidate_window(*parent, &old_rect, true);
        if (visible && (!was_visible || moved || sized)) invalidate_window(window, nullptr, true);
        return;
    }
    if (visible && !was_visible)
        invalidate_window(window, nullptr, true);
    else if (sized)
        invalidate_after_resize(window, old_rect);
}

// Applies a WINDOWPOS the window has agreed to, telling the display about top-level
// windows. Returns the SWP_NOCLIENT* flags for WM_WINDOWPOSCHANGED.
UINT apply_window_pos(Window& window, const WINDOWPOS& pos) {
    RECT old_rect = window.rect;
    bool was_visible = (window.style & WS_VISIBLE) != 0;
    RECT rect = old_rect;
    if (!(pos.flags & SWP_NOMOVE)) rect = rect_offset(rect, pos.x - rect.left, pos.y - rect.top);
    if (!(pos.flags & SWP_NOSIZE)) {
        rect.right = rect.left + std::max(pos.cx, 0);
        rect.bottom = rect.top + std::max(pos.cy, 0);
    }
    bool moved = rect.left != old_rect.left || rect.top != old_rect.top;
    bool sized = rect.right - rect.left != old_rect.right - old_rect.left ||
                 rect.bottom - rect.top != old_rect.bottom - old_rect.top;
    window.rect = rect;
    if (pos.flags & SWP_SHOWWINDOW) window.style |= WS_VISIBLE;
    if (pos.flags & SWP_HIDEWINDOW) window.style &= ~WS_VISIBLE;
    if (!(pos.flags & SWP_NOZORDER)) {
        unlink_window(window);
        link_window(window, pos.hwndInsertAfter);
    }
    bool visible = (window.style & WS_VISIBLE) != 0;
    if (!window.is_child()) {
        if (moved || sized) display_driver().window_moved(window.handle, rect);
        if (visible != was_visible) display_driver().window_shown(window.handle, visible);
    }
    if (!(pos.flags & SWP_NOREDRAW))
        invalidate_after_change(window, old_rect, was_visible, sized, moved);
    return (moved ? 0 : SWP_NOCLIENTMOVE) | (sized ? 0 : SWP_NOCLIENTSIZE);
}

HWND deepest_child_at(HWND hwnd, POINT client) {
    Window* window = find_window(hwnd);
    if (!window) return hwnd;
    for (HWND child_handle : window->children) {
        Window* child = find_window(child_handle);
        if (!child || !(child->style & WS_VISIBLE) || (child->style & WS_DISABLED)) continue;
        if (child->hit_transparent) continue;
        if (!rect_contains(child->rect, client)) continue;
        return deepest_child_at(child_handle,
                                POINT{client.x - child->rect.left, client.y - child->rect.top});
    }
    return hwnd;
}

bool shows_without_activation(int command) {
    return command == SW_SHOWNA || command == SW_SHOWNOACTIVATE || command == SW_SHOWMINNOACTIVE ||
           command == SW_MINIMIZE;
}

} // namespace

} // namespace winapi::window

using namespace winapi::window;

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags) {
    Window* window = checked_window(hWnd);
    if (!window) return FALSE;
    WINDOWPOS pos{hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags};
    if (uFlags & SWP_NOMOVE) {
        pos.x = window->rect.left;
        pos.y = window->rect.top;
    }
    if (uFlags & SWP_NOSIZE) {
        pos.cx = window->width();
        pos.cy = window->height();
    }
    if (!(uFlags & SWP_NOSENDCHANGING))
        SendMessageA(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!(window = find_window(hWnd))) return FALSE;
    pos.hwnd = hWnd;
    pos.flags |= apply_window_pos(*window, pos);
    bool visible = (window->style & WS_VISIBLE) != 0;
    HWND active = desktop_state().active;
    SendMessageA(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if (!(window = find_window(hWnd))) return TRUE;
    if (!window->is_child() && visible && !(uFlags & SWP_NOACTIVATE) &&
        !(window->ex_style & WS_EX_NOACTIVATE))
        activate_window(hWnd, WA_ACTIVE);
    else if (!visible && active && is_self_or_descendant(hWnd, active))
        activate_window(next_window_to_activate(hWnd), WA_ACTIVE);
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW);
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, flags);
}

// There are no minimized or maximized states here: every command but SW_HIDE shows the
// window as it is. Returns whether the window was visible before.
BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    Window* window = checked_window(hWnd);
    if (!window) return FALSE;
    bool was_visible = (window->style & WS_VISIBLE) != 0;
    bool show = nCmdShow != SW_HIDE;
    bool activate = show && !window->is_child() && !shows_without_activation(nCmdShow);
    if (show == was_visible) {
        if (activate) activate_window(hWnd, WA_ACTIVE);
        return was_visible ? TRUE : FALSE;
    }
    SendMessageA(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) |
                 (activate ? 0 : SWP_NOACTIVATE);
    SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, flags);
    return was_visible ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    Window* window = find_window(hWnd);
    return window && is_visible(*window) ? TRUE : FALSE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
    return find_window(hWnd) ? TRUE : FALSE;
}

HWND WINAPI GetParent(HWND hWnd) {
    Window* window = checked_window(hWnd);
    if (!window) return nullptr;
    if (window->is_child()) return window->parent;
    // A pop-up window's "parent" is its owner.
    return (window->style & WS_POPUP) ? window->owner : nullptr;
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
    if (!hWndParent || hWndParent == hWnd) return FALSE;
    return is_self_or_descendant(hWndParent, hWnd) ? TRUE : FALSE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    Window* window = checked_window(hWnd);
    if (!window) return FALSE;
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpRect = RECT{0, 0, window->width(), window->height()};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    Window* window = checked_window(hWnd);
    if (!window) return FALSE;
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpRect = screen_rect(*window);
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    Window* window = checked_window(hWnd);
    if (!window || !lpPoint) return FALSE;
    POINT origin = screen_origin(*window);
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    Window* window = checked_window(hWnd);
    if (!window || !lpPoint) return FALSE;
    POINT origin = screen_origin(*window);
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
    return TRUE;
}

// The deepest visible, enabled window at a screen point, looking at top-level windows from
// the top of the Z order down.
HWND WINAPI WindowFromPoint(POINT Point) {
    for (HWND top : desktop_state().top_levels) {
        Window* window = find_window(top);
        if (!window || !(window->style & WS_VISIBLE) || !rect_contains(window->rect, Point))
            continue;
        return deepest_child_at(top,
                                POINT{Point.x - window->rect.left, Point.y - window->rect.top});
    }
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    Window* window = checked_window(hWnd);
    return window ? static_cast<int>(window->id) : 0;
}
