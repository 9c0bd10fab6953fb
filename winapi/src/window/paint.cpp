#include "window/paint.h"

#include "gdi/surface_dc.h"
#include "window/display_driver.h"
#include "window/rect_util.h"
#include "window/window_manager.h"

#include <algorithm>
#include <vector>

namespace winapi::window {

namespace {

// A device context handed out by GetDC or BeginPaint, until ReleaseDC or EndPaint.
struct WindowDc {
    HDC dc = nullptr;
    HWND hwnd = nullptr; // null for the screen context
    HWND top = nullptr;
    RECT clip{}; // surface coordinates
};

std::vector<WindowDc>& open_dcs() {
    static std::vector<WindowDc> dcs;
    return dcs;
}

// The headless desktop has no pixels of its own: the screen context draws into a scratch
// surface of the screen's size, which nothing shows.
Surface& screen_surface() {
    static Surface surface;
    SIZE size = desktop_state().screen;
    if (surface.width != size.cx || surface.height != size.cy) surface.resize(size.cx, size.cy);
    return surface;
}

// Opens a DC on the window's client area, clipped to its visible part and, when given, to
// `limit` (client coordinates).
HDC open_window_dc(Window& window, const RECT* limit) {
    HWND top = top_level_of(window.handle);
    Surface* surface = display_driver().surface(top);
    if (!surface) return nullptr;
    POINT origin = surface_origin(window);
    RECT clip = visible_surface_rect(window);
    clip = rect_intersect(clip, RECT{0, 0, surface->width, surface->height});
    if (limit) clip = rect_intersect(clip, rect_offset(*limit, origin.x, origin.y));
    HDC dc = gdi::open_surface_dc(surface, origin, clip);
    if (dc) open_dcs().push_back(WindowDc{dc, window.handle, top, clip});
    return dc;
}

// Closes a DC from open_window_dc and shows what was drawn. False for unknown DCs.
bool close_dc(HDC dc) {
    auto& dcs = open_dcs();
    auto it = std::find_if(dcs.begin(), dcs.end(), [dc](const WindowDc& d) { return d.dc == dc; });
    if (it == dcs.end()) return false;
    WindowDc closed = *it;
    dcs.erase(it);
    gdi::close_surface_dc(closed.dc);
    if (closed.top && !rect_empty(closed.clip)) display_driver().present(closed.top, closed.clip);
    return true;
}

RECT client_rect(const Window& window) {
    return RECT{0, 0, window.width(), window.height()};
}

void paint_tree_now(HWND hwnd) {
    for (HWND each : window_subtree(hwnd)) {
        Window* window = find_window(each);
        if (window && is_visible(*window) && !rect_empty(window->update))
            SendMessageA(each, WM_PAINT, 0, 0);
    }
}

} // namespace

void invalidate_window(Window& window, const RECT* rect, bool erase) {
    RECT area = rect ? rect_intersect(*rect, client_rect(window)) : client_rect(window);
    if (rect_empty(area)) return;
    window.update = rect_union(window.update, area);
    if (erase) window.erase_pending = true;
    for (HWND hwnd : window.children) {
        Window* child = find_window(hwnd);
        if (!child || !(child->style & WS_VISIBLE)) continue;
        RECT in_child = rect_offset(area, -child->rect.left, -child->rect.top);
        invalidate_window(*child, &in_child, erase);
    }
}

bool take_paint(MessageQueue& queue, MSG* msg, const MessageFilter& filter) {
    for (HWND hwnd : all_windows()) {
        Window* window = find_window(hwnd);
        if (!window || window->queue != &queue || rect_empty(window->update)) continue;
        if (!is_visible(*window) || !filter.matches(hwnd, WM_PAINT)) continue;
        *msg = MSG{};
        msg->hwnd = hwnd;
        msg->message = WM_PAINT;
        msg->time = GetTickCount();
        msg->pt = desktop_state().cursor_pos;
        return true;
    }
    return false;
}

void close_window_dcs(HWND hwnd) {
    std::vector<HDC> mine;
    for (const WindowDc& dc : open_dcs())
        if (dc.hwnd == hwnd) mine.push_back(dc.dc);
    for (HDC dc : mine)
        close_dc(dc);
}

void close_all_dcs() {
    while (!open_dcs().empty())
        close_dc(open_dcs().back().dc);
}

} // namespace winapi::window

using namespace winapi::window;

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    if (!hWnd) {
        // A null window means the whole desktop: every window is repainted and erased.
        for (HWND top : desktop_state().top_levels)
            if (Window* window = find_window(top)) invalidate_window(*window, nullptr, true);
        return TRUE;
    }
    Window* window = checked_window(hWnd);
    if (!window) return FALSE;
    invalidate_window(*window, lpRect, bErase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
    if (!hWnd) return InvalidateRect(nullptr, nullptr, TRUE); // documented: redraws all
    Window* window = checked_window(hWnd);
    if (!window) return FALSE;
    window->update = lpRect ? rect_subtract(window->update, *lpRect) : RECT{};
    if (rect_empty(window->update)) {
        window->update = RECT{};
        window->erase_pending = false;
    }
    return TRUE;
}

// Regions belong to GDI and this window manager keeps update areas as rectangles: only the
// null region (the whole window) is supported.
BOOL WINAPI ValidateRgn(HWND hWnd, HRGN hRgn) {
    if (hRgn) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    return ValidateRect(hWnd, nullptr);
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
    Window* window = checked_window(hWnd);
    if (!window) return FALSE;
    RECT update = window->update;
    bool pending = !rect_empty(update);
    if (pending && bErase && window->erase_pending) {
        HDC dc = open_window_dc(*window, &update);
        LRESULT erased = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        close_dc(dc);
        if ((window = find_window(hWnd)) && erased) window->erase_pending = false;
    }
    if (lpRect) *lpRect = pending ? update : RECT{};
    return pending ? TRUE : FALSE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    if (!checked_window(hWnd)) return FALSE;
    paint_tree_now(hWnd);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    Window* window = checked_window(hWnd);
    if (!window) return nullptr;
    if (!lpPaint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // The window counts as valid from here on: what is drawn now is the repaint.
    RECT update = window->update;
    bool erase = window->erase_pending;
    window->update = RECT{};
    window->erase_pending = false;
    HDC dc = open_window_dc(*window, &update);
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = dc;
    lpPaint->rcPaint = update;
    if (erase && dc) {
        // fErase tells the caller that the background is still to be erased, that is when
        // WM_ERASEBKGND did not erase it.
        LRESULT erased = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        lpPaint->fErase = erased ? FALSE : TRUE;
    }
    return dc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT* lpPaint) {
    if (lpPaint && lpPaint->hdc) close_dc(lpPaint->hdc);
    return TRUE;
}

HDC WINAPI GetDC(HWND hWnd) {
    if (!hWnd) {
        HDC dc = winapi::gdi::open_surface_dc(
            &screen_surface(), POINT{0, 0},
            RECT{0, 0, screen_surface().width, screen_surface().height});
        if (dc) open_dcs().push_back(WindowDc{dc, nullptr, nullptr, RECT{}});
        return dc;
    }
    Window* window = checked_window(hWnd);
    return window ? open_window_dc(*window, nullptr) : nullptr;
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
    return close_dc(hDC) ? 1 : 0;
}

DWORD WINAPI GetSysColor(int nIndex) {
    // The classic grey scheme.
    static const COLORREF colors[] = {
        RGB(192, 192, 192), RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 128, 128),
        RGB(192, 192, 192), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
        RGB(0, 0, 0),       RGB(255, 255, 255), RGB(192, 192, 192), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
        RGB(255, 255, 255), RGB(0, 0, 0),       RGB(223, 223, 223), RGB(0, 0, 0),
        RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 0, 255),     RGB(16, 132, 208),
        RGB(181, 181, 181), RGB(0, 0, 128),     RGB(192, 192, 192)};
    if (nIndex < 0 || nIndex >= static_cast<int>(sizeof colors / sizeof colors[0])) return 0;
    return colors[nIndex];
}
