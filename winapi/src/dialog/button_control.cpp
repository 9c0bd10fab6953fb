// The "BUTTON" class: push buttons, default push buttons, check boxes, radio buttons and
// group boxes.
#include "dialog/control_class.h"
#include "dialog/dialog_manager.h"

#include "common/ui_draw.h"
#include "window/window_class.h"
#include "window/window_manager.h"

#include <memory>

namespace winapi::dialog {

namespace {

constexpr int kBoxSize = 13;

struct ButtonState {
    HFONT font = nullptr;
    UINT check = BST_UNCHECKED;
    bool pushed = false; // held down by the mouse or the space bar
    bool focused = false;
};

ButtonState* state_of(HWND hwnd) {
    return control_state<ButtonState>(hwnd);
}

DWORD button_type(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & BS_TYPEMASK;
}

bool is_check_type(DWORD type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE;
}

bool is_radio_type(DWORD type) {
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

std::string window_text(HWND hwnd) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void draw_label(HDC dc, HWND hwnd, const std::string& text, RECT rect, UINT format) {
    if (IsWindowEnabled(hwnd))
        ui::text(dc, text, rect, format, GetSysColor(COLOR_BTNTEXT));
    else
        ui::grey_text(dc, text, rect, format);
}

void paint_push(HDC dc, HWND hwnd, const ButtonState& s, RECT r) {
    bool is_default = button_type(hwnd) == BS_DEFPUSHBUTTON;
    if (is_default) {
        ui::frame(dc, r, GetSysColor(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
    }
    ui::bevel(dc, r, !s.pushed);
    RECT text = r;
    if (s.pushed) OffsetRect(&text, 1, 1);
    draw_label(dc, hwnd, window_text(hwnd), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (s.focused) {
        RECT focus = r;
        InflateRect(&focus, -4, -4);
        ui::frame(dc, focus, GetSysColor(COLOR_BTNSHADOW));
    }
}

void paint_check(HDC dc, HWND hwnd, const ButtonState& s, RECT r) {
    int top = (r.top + r.bottom - kBoxSize) / 2;
    RECT box{r.left, top, r.left + kBoxSize, top + kBoxSize};
    ui::fill(dc, box, s.pushed || !IsWindowEnabled(hwnd) ? COLOR_BTNFACE : COLOR_WINDOW);
    ui::bevel(dc, box, false);
    if (s.check != BST_UNCHECKED) {
        RECT mark{box.left + 3, box.top + 3, box.right - 3, box.bottom - 3};
        HBRUSH brush = CreateSolidBrush(
            GetSysColor(s.check == BST_CHECKED ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        FillRect(dc, &mark, brush);
        DeleteObject(brush);
    }
    RECT text{box.right + 4, r.top, r.right, r.bottom};
    draw_label(dc, hwnd, window_text(hwnd), text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (s.focused)
        ui::frame(dc, RECT{text.left - 1, r.top, r.right, r.bottom}, GetSysColor(COLOR_BTNSHADOW));
}

void paint_group(HDC dc, HWND hwnd, RECT r) {
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    int line = r.top + metrics.tmHeight / 2;
    RECT outer{r.left, line, r.right, r.bottom};
    ui::frame(dc, outer, GetSysColor(COLOR_BTNSHADOW));
    RECT inner{outer.left + 1, outer.top + 1, outer.right + 1, outer.bottom + 1};
    ui::frame(dc, RECT{inner.left, inner.top, inner.right - 1, inner.bottom - 1},
              GetSysColor(COLOR_BTNHIGHLIGHT));
    std::string text = window_text(hwnd);
    if (text.empty()) return;
    RECT label{r.left + 8, r.top, r.left + 12 + ui::text_width(dc, text), r.top + metrics.tmHeight};
    ui::fill(dc, label, COLOR_BTNFACE);
    label.left += 2;
    draw_label(dc, hwnd, text, label, DT_LEFT | DT_TOP | DT_SINGLELINE);
}

void paint(HWND hwnd, ButtonState& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    HGDIOBJ old = SelectObject(dc, s.font ? s.font : ui::ui_font());
    DWORD type = button_type(hwnd);
    if (type != BS_GROUPBOX) ui::fill(dc, r, COLOR_BTNFACE);
    if (type == BS_GROUPBOX)
        paint_group(dc, hwnd, r);
    else if (is_check_type(type) || is_radio_type(type))
        paint_check(dc, hwnd, s, r);
    else
        paint_push(dc, hwnd, s, r);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
}

// Auto radio buttons clear the other auto radio buttons of their group.
void clear_group_radios(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    window::Window* p = window::find_window(parent);
    if (!p) return;
    for (HWND sibling : p->children)
        if (sibling != hwnd && is_class(sibling, "BUTTON") &&
            button_type(sibling) == BS_AUTORADIOBUTTON)
            SendMessageA(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
}

// A click: automatic buttons change their state, then the parent hears of it.
void clicked(HWND hwnd, ButtonState& s) {
    DWORD type = button_type(hwnd);
    if (type == BS_AUTOCHECKBOX)
        SendMessageA(hwnd, BM_SETCHECK, s.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
    else if (type == BS_AUTO3STATE)
        SendMessageA(hwnd, BM_SETCHECK, (s.check + 1) % 3, 0);
    else if (type == BS_AUTORADIOBUTTON) {
        clear_group_radios(hwnd);
        SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
    }
    HWND parent = GetParent(hwnd);
    if (parent)
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(hwnd));
}

void set_pushed(HWND hwnd, ButtonState& s, bool pushed) {
    if (s.pushed == pushed) return;
    s.pushed = pushed;
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT on_mouse(HWND hwnd, ButtonState& s, UINT message, LPARAM lparam) {
    RECT r;
    GetClientRect(hwnd, &r);
    POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    bool inside = PtInRect(&r, p);
    if (message == WM_LBUTTONDOWN) {
        SetFocus(hwnd);
        SetCapture(hwnd);
        set_pushed(hwnd, *state_of(hwnd), true);
    } else if (message == WM_MOUSEMOVE && GetCapture() == hwnd) {
        set_pushed(hwnd, s, inside);
    } else if (message == WM_LBUTTONUP && GetCapture() == hwnd) {
        ReleaseCapture();
        bool was_pushed = s.pushed;
        set_pushed(hwnd, s, false);
        if (was_pushed && inside) clicked(hwnd, s);
    }
    return 0;
}

LRESULT get_dialog_code(HWND hwnd) {
    DWORD type = button_type(hwnd);
    if (type == BS_GROUPBOX) return DLGC_STATIC;
    if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    if (type == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    if (is_radio_type(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
    return DLGC_BUTTON;
}

LRESULT handle(HWND hwnd, ButtonState& s, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT:
        paint(hwnd, s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFONT:
        s.font = reinterpret_cast<HFONT>(wparam);
        if (lparam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s.font);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
        return on_mouse(hwnd, s, message, lparam);
    case WM_CHAR:
        if (wparam == ' ') clicked(hwnd, s);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        s.focused = message == WM_SETFOCUS;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_ENABLE:
    case WM_SETTEXT: {
        LRESULT result = message == WM_SETTEXT ? DefWindowProcA(hwnd, message, wparam, lparam) : 0;
        InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    case WM_GETDLGCODE:
        return get_dialog_code(hwnd);
    case BM_GETCHECK:
        return s.check;
    case BM_SETCHECK:
        if (!is_check_type(button_type(hwnd)) && !is_radio_type(button_type(hwnd))) return 0;
        s.check = static_cast<UINT>(wparam) & 3;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case BM_GETSTATE:
        return s.check | (s.pushed ? BST_PUSHED : 0) | (s.focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
        set_pushed(hwnd, s, wparam != 0);
        return 0;
    case BM_CLICK:
        if (IsWindowEnabled(hwnd)) clicked(hwnd, s);
        return 0;
    case BM_SETSTYLE:
        SetWindowLongA(
            hwnd, GWL_STYLE,
            static_cast<LONG>((GetWindowLongA(hwnd, GWL_STYLE) & ~0xFFFF) | (wparam & 0xFFFF)));
        if (lparam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

LRESULT CALLBACK button_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(new ButtonState));
        // Group boxes are frames: clicks go to what lies inside them.
        if ((reinterpret_cast<CREATESTRUCTA*>(lparam)->style & BS_TYPEMASK) == BS_GROUPBOX)
            if (window::Window* w = window::find_window(hwnd)) w->hit_transparent = true;
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
    return with_control_state<ButtonState>(hwnd, message, wparam, lparam, handle);
}

} // namespace

void register_button_class() {
    register_control_class("BUTTON", button_proc, IDC_ARROW, CS_DBLCLKS);
}

} // namespace winapi::dialog
