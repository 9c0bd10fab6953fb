#include "common/ui_draw.h"

namespace winapi::ui {

HFONT ui_font() {
    static HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0,
                                    0, 0, 0, "MS Sans Serif");
    return font;
}

void fill(HDC dc, const RECT& rect, int sys_color) {
    HBRUSH brush = CreateSolidBrush(GetSysColor(sys_color));
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void frame(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
}

namespace {

void line(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// One ring of a bevel: light on the top and left, dark on the bottom and right.
void ring(HDC dc, const RECT& r, COLORREF light, COLORREF dark) {
    line(dc, r.left, r.bottom - 1, r.left, r.top, light);
    line(dc, r.left, r.top, r.right - 1, r.top, light);
    line(dc, r.right - 1, r.top, r.right - 1, r.bottom - 1, dark);
    line(dc, r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1, dark);
}

} // namespace

void bevel(HDC dc, const RECT& rect, bool raised) {
    COLORREF white = GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF light = GetSysColor(COLOR_3DLIGHT);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    RECT inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    if (raised) {
        ring(dc, rect, light, dark);
        ring(dc, inner, white, shadow);
    } else {
        ring(dc, rect, shadow, white);
        ring(dc, inner, dark, light);
    }
}

void etched_line(HDC dc, int left, int right, int y) {
    line(dc, left, y, right, y, GetSysColor(COLOR_BTNSHADOW));
    line(dc, left, y + 1, right, y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
}

void text(HDC dc, const std::string& text, RECT rect, UINT format, COLORREF color) {
    int old_mode = SetBkMode(dc, TRANSPARENT);
    COLORREF old_color = SetTextColor(dc, color);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
    SetTextColor(dc, old_color);
    SetBkMode(dc, old_mode);
}

void grey_text(HDC dc, const std::string& str, RECT rect, UINT format) {
    RECT shifted{rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1};
    text(dc, str, shifted, format, GetSysColor(COLOR_BTNHIGHLIGHT));
    text(dc, str, rect, format, GetSysColor(COLOR_GRAYTEXT));
}

int text_width(HDC dc, const std::string& str) {
    SIZE size{};
    GetTextExtentPoint32A(dc, str.c_str(), static_cast<int>(str.size()), &size);
    return size.cx;
}

} // namespace winapi::ui
