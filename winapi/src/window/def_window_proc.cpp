// The default handling of window messages.
#include "window/display_driver.h"
#include "window/rect_util.h"
#include "window/window_manager.h"

#include <algorithm>
#include <cstring>

namespace winapi::window {

namespace {

void store_text(Window& window, LPCSTR text) {
    window.text = text ? text : "";
    if (!window.is_child())
        display_driver().window_text_changed(window.handle, window.text.c_str());
}

// Fills the client area with the class background brush. A class brush may also be a
// system colour index plus one, as on Windows.
LRESULT erase_background(Window& window, HDC dc) {
    HBRUSH brush = window.window_class->background;
    if (!brush || !dc) return 0;
    RECT client{0, 0, window.width(), window.height()};
    auto value = reinterpret_cast<UINT_PTR>(brush);
    if (value <= COLOR_MENUBAR + 1) {
        HBRUSH solid = CreateSolidBrush(GetSysColor(static_cast<int>(value) - 1));
        FillRect(dc, &client, solid);
        DeleteObject(solid);
    } else {
        FillRect(dc, &client, brush);
    }
    return 1;
}

LRESULT copy_text(const Window& window, WPARAM size, LPARAM buffer) {
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0) return 0;
    size_t count = std::min<size_t>(window.text.size(), size - 1);
    std::memcpy(out, window.text.data(), count);
    out[count] = '\0';
    return static_cast<LRESULT>(count);
}

LRESULT set_cursor(const Window& window, WPARAM wparam, LPARAM lparam) {
    // A parent may choose the cursor for its children first.
    if (window.is_child() && SendMessageA(window.parent, WM_SETCURSOR, wparam, lparam)) return TRUE;
    if (LOWORD(lparam) == HTCLIENT && window.window_class->cursor) {
        SetCursor(window.window_class->cursor);
        return TRUE;
    }
    return FALSE;
}

LRESULT mouse_activate(const Window& window, WPARAM wparam, LPARAM lparam) {
    if (window.is_child()) {
        LRESULT answer = SendMessageA(window.parent, WM_MOUSEACTIVATE, wparam, lparam);
        if (answer) return answer;
    }
    return MA_ACTIVATE;
}

LRESULT hit_test(const Window& window, LPARAM lparam) {
    POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    return rect_contains(screen_rect(window), point) ? HTCLIENT : HTNOWHERE;
}

// WM_SIZE and WM_MOVE report a change of the client area once the change is done.
void report_position(HWND hwnd, const WINDOWPOS* pos) {
    if (!pos) return;
    if (!(pos->flags & SWP_NOCLIENTMOVE)) {
        Window* window = find_window(hwnd);
        if (!window) return;
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(window->rect.left, window->rect.top));
    }
    if (!(pos->flags & SWP_NOCLIENTSIZE)) {
        Window* window = find_window(hwnd);
        if (!window) return;
        SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(window->width(), window->height()));
    }
}

} // namespace

} // namespace winapi::window

using namespace winapi::window;

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* window = checked_window(hWnd);
    if (!window) return 0;
    switch (Msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (cs && cs->lpszName) store_text(*window, cs->lpszName);
        return TRUE;
    }
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return erase_background(*window, reinterpret_cast<HDC>(wParam));
    case WM_SETTEXT:
        store_text(*window, reinterpret_cast<LPCSTR>(lParam));
        return TRUE;
    case WM_GETTEXT:
        return copy_text(*window, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window->text.size());
    case WM_NCHITTEST:
        return hit_test(*window, lParam);
    case WM_SETCURSOR:
        return set_cursor(*window, wParam, lParam);
    case WM_MOUSEACTIVATE:
        return mouse_activate(*window, wParam, lParam);
    case WM_ACTIVATE:
        // An activated window takes the focus.
        if (LOWORD(wParam) != WA_INACTIVE) SetFocus(hWnd);
        return 0;
    case WM_WINDOWPOSCHANGED:
        report_position(hWnd, reinterpret_cast<const WINDOWPOS*>(lParam));
        return 0;
    default:
        return 0;
    }
}
