// The "STATIC" class: text (left, centred or right, wrapped at words unless told not to)
// and the simple frames and rectangles. Static controls let the mouse through unless they
// have SS_NOTIFY.
#include "dialog/control_class.h"
#include "dialog/dialog_manager.h"

#include "common/ui_draw.h"
#include "window/window_class.h"
#include "window/window_manager.h"

namespace winapi::dialog {

namespace {

DWORD style_of(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
}

HFONT font_of(HWND hwnd) {
    return reinterpret_cast<HFONT>(GetWindowLongPtrA(hwnd, 0));
}

UINT text_format(DWORD style) {
    UINT format = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER:
        return format | DT_CENTER | DT_WORDBREAK;
    case SS_RIGHT:
        return format | DT_RIGHT | DT_WORDBREAK;
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
        return format | DT_LEFT | DT_SINGLELINE;
    default:
        return format | DT_LEFT | DT_WORDBREAK;
    }
}

bool is_text_type(DWORD type) {
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE ||
           type == SS_LEFTNOWORDWRAP;
}

void paint_shape(HDC dc, DWORD type, const RECT& r) {
    switch (type) {
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT:
        ui::fill(dc, r,
                 type == SS_BLACKRECT  ? COLOR_WINDOWFRAME
                 : type == SS_GRAYRECT ? COLOR_BTNSHADOW
                                       : COLOR_WINDOW);
        break;
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
        ui::frame(dc, r,
                  GetSysColor(type == SS_BLACKFRAME  ? COLOR_WINDOWFRAME
                              : type == SS_GRAYFRAME ? COLOR_BTNSHADOW
                                                     : COLOR_WINDOW));
        break;
    case SS_ETCHEDHORZ:
        ui::etched_line(dc, r.left, r.right, r.top);
        break;
    case SS_ETCHEDFRAME:
        ui::frame(dc, r, GetSysColor(COLOR_BTNSHADOW));
        break;
    default:
        break;
    }
}

void paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    DWORD style = style_of(hwnd);
    DWORD type = style & SS_TYPEMASK;
    if (is_text_type(type)) {
        ui::fill(dc, r, COLOR_BTNFACE);
        HGDIOBJ old = SelectObject(dc, font_of(hwnd) ? font_of(hwnd) : ui::ui_font());
        std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
        text.resize(
            static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
        if (IsWindowEnabled(hwnd))
            ui::text(dc, text, r, text_format(style), GetSysColor(COLOR_WINDOWTEXT));
        else
            ui::grey_text(dc, text, r, text_format(style));
        SelectObject(dc, old);
    } else {
        paint_shape(dc, type, r);
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK static_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lparam);
        if (cs && !(cs->style & SS_NOTIFY))
            if (window::Window* w = window::find_window(hwnd)) w->hit_transparent = true;
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
    case WM_PAINT:
        paint(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFONT:
        SetWindowLongPtrA(hwnd, 0, static_cast<LONG_PTR>(wparam));
        if (lparam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_of(hwnd));
    case WM_SETTEXT:
    case WM_ENABLE: {
        LRESULT result = message == WM_SETTEXT ? DefWindowProcA(hwnd, message, wparam, lparam) : 0;
        InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_LBUTTONUP:
        if (style_of(hwnd) & SS_NOTIFY)
            SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), 0),
                         reinterpret_cast<LPARAM>(hwnd));
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

} // namespace

void register_static_class() {
    register_control_class("STATIC", static_proc, IDC_ARROW, 0);
}

} // namespace winapi::dialog
