// The "EDIT" class, single-line: typing, the caret, selection with the mouse and the
// keyboard, horizontal scrolling, the text limit with EN_MAXTEXT, and the clipboard.
#include "dialog/edit_control.h"

#include "dialog/control_class.h"
#include "dialog/dialog_manager.h"
#include "common/ui_draw.h"
#include "window/input_router.h"
#include "window/window_class.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace winapi::dialog {

namespace {

struct EditState {
    EditText model;
    HFONT font = nullptr;
    int scroll = 0; // pixels of text hidden to the left
    bool focused = false;
    bool modified = false;
};

DWORD style_of(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
}

RECT inner_rect(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    int inset = (style_of(hwnd) & WS_BORDER) ? 3 : 1;
    InflateRect(&r, -inset, -inset);
    return r;
}

// The text as shown: password boxes show stars.
std::string shown_text(HWND hwnd, const EditState& s) {
    if (style_of(hwnd) & ES_PASSWORD) return std::string(s.model.text().size(), '*');
    return s.model.text();
}

// Pixel width of the first `count` characters of the shown text.
int prefix_width(HWND hwnd, const EditState& s, size_t count) {
    std::string text = shown_text(hwnd, s).substr(0, count);
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, s.font ? s.font : ui::ui_font());
    int width = ui::text_width(dc, text);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return width;
}

// The character boundary nearest to an x coordinate of the client area. One device context
// measures every character once: a text's extent is the sum of its characters' advances (the
// layer does not kern), so the width of each prefix is a running sum.
size_t position_at(HWND hwnd, const EditState& s, int x) {
    int target = x - inner_rect(hwnd).left + s.scroll;
    std::string text = shown_text(hwnd, s);
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, s.font ? s.font : ui::ui_font());
    size_t best = 0;
    int best_distance = std::abs(target);
    int width = 0;
    for (size_t i = 1; i <= text.size(); ++i) {
        SIZE advance{};
        GetTextExtentPoint32A(dc, text.c_str() + i - 1, 1, &advance);
        width += advance.cx;
        int distance = std::abs(width - target);
        if (distance < best_distance) {
            best = i;
            best_distance = distance;
        }
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return best;
}

void scroll_to_caret(HWND hwnd, EditState& s) {
    if (!(style_of(hwnd) & ES_AUTOHSCROLL)) {
        s.scroll = 0;
        return;
    }
    RECT inner = inner_rect(hwnd);
    int width = std::max<int>(1, inner.right - inner.left);
    int caret = prefix_width(hwnd, s, s.model.caret());
    if (caret < s.scroll) s.scroll = caret;
    if (caret - s.scroll > width - 1) s.scroll = caret - width + 1;
    s.scroll = std::max(0, s.scroll);
}

void notify(HWND hwnd, WORD code) {
    HWND parent = GetParent(hwnd);
    if (parent)
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
                     reinterpret_cast<LPARAM>(hwnd));
}

void refresh(HWND hwnd, EditState& s) {
    scroll_to_caret(hwnd, s);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void changed(HWND hwnd, EditState& s) {
    s.modified = true;
    refresh(hwnd, s);
    notify(hwnd, EN_UPDATE);
    notify(hwnd, EN_CHANGE);
}

// What typing may put into the box: upper or lower case as the style says, only digits in a
// number box. Characters a number box refuses are dropped.
std::string filtered(HWND hwnd, const std::string& text) {
    DWORD style = style_of(hwnd);
    std::string out;
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if (c == '\r' || c == '\n') break; // a single line ends at the first line break
        if ((style & ES_NUMBER) && !std::isdigit(u)) continue;
        if (style & ES_UPPERCASE) c = static_cast<char>(std::toupper(u));
        if (style & ES_LOWERCASE) c = static_cast<char>(std::tolower(u));
        out += c;
    }
    return out;
}

// Inserts text in place of the selection as typing does. Whatever the limit (or, without
// ES_AUTOHSCROLL, the width of the box) leaves out is dropped and the parent gets
// EN_MAXTEXT.
void insert(HWND hwnd, EditState& s, const std::string& typed) {
    if (style_of(hwnd) & ES_READONLY) return;
    std::string text = filtered(hwnd, typed);
    if (text.empty()) return;
    EditText trial = s.model;
    size_t lost = trial.replace_selection(text);
    if (!(style_of(hwnd) & ES_AUTOHSCROLL)) {
        RECT inner = inner_rect(hwnd);
        EditState probe = s;
        probe.model = trial;
        if (prefix_width(hwnd, probe, trial.text().size()) > inner.right - inner.left) {
            notify(hwnd, EN_MAXTEXT);
            return;
        }
    }
    if (lost == text.size()) {
        notify(hwnd, EN_MAXTEXT);
        return;
    }
    s.model = trial;
    changed(hwnd, s);
    if (lost) notify(hwnd, EN_MAXTEXT);
}

std::string selected_text(const EditState& s) {
    return s.model.text().substr(s.model.selection_start(),
                                 s.model.selection_end() - s.model.selection_start());
}

void copy_selection(HWND hwnd, const EditState& s) {
    if (!s.model.has_selection() || (style_of(hwnd) & ES_PASSWORD)) return;
    std::string text = selected_text(s);
    if (!OpenClipboard(hwnd)) return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (char* p = memory ? static_cast<char*>(GlobalLock(memory)) : nullptr) {
        std::memcpy(p, text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
    } else if (memory) {
        GlobalFree(memory);
    }
    CloseClipboard();
}

void paste(HWND hwnd, EditState& s) {
    if (!OpenClipboard(hwnd)) return;
    std::string text;
    if (HANDLE memory = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(memory))) {
            text.assign(p, strnlen(p, GlobalSize(memory)));
            GlobalUnlock(memory);
        }
    }
    CloseClipboard();
    insert(hwnd, s, text);
}

void erase(HWND hwnd, EditState& s, bool forward) {
    if (style_of(hwnd) & ES_READONLY) return;
    if (forward ? s.model.erase_forward() : s.model.erase_backward()) changed(hwnd, s);
}

void on_char(HWND hwnd, EditState& s, char ch) {
    switch (ch) {
    case '\b':
        erase(hwnd, s, false);
        return;
    case 0x01: // Control+A
        s.model.select(0, s.model.text().size());
        refresh(hwnd, s);
        return;
    case 0x03: // Control+C
        copy_selection(hwnd, s);
        return;
    case 0x18: // Control+X
        copy_selection(hwnd, s);
        if (s.model.has_selection()) erase(hwnd, s, false);
        return;
    case 0x16: // Control+V
        paste(hwnd, s);
        return;
    default:
        if (static_cast<unsigned char>(ch) >= 0x20 && ch != 0x7f)
            insert(hwnd, s, std::string(1, ch));
        return;
    }
}

void on_key(HWND hwnd, EditState& s, UINT vk) {
    bool shift = window::retrieved_key_is_down(VK_SHIFT);
    size_t caret = s.model.caret();
    switch (vk) {
    case VK_LEFT:
        // Without Shift, a selection collapses to its start.
        if (!shift && s.model.has_selection())
            s.model.move_caret(s.model.selection_start(), false);
        else
            s.model.move_caret(caret > 0 ? caret - 1 : 0, shift);
        break;
    case VK_RIGHT:
        if (!shift && s.model.has_selection())
            s.model.move_caret(s.model.selection_end(), false);
        else
            s.model.move_caret(caret + 1, shift);
        break;
    case VK_HOME:
        s.model.move_caret(0, shift);
        break;
    case VK_END:
        s.model.move_caret(s.model.text().size(), shift);
        break;
    case VK_DELETE:
        erase(hwnd, s, true);
        return;
    default:
        return;
    }
    refresh(hwnd, s);
}

void draw_segment(HDC dc, const std::string& text, int x, const RECT& inner, COLORREF color) {
    RECT r{x, inner.top, inner.right, inner.bottom};
    if (r.left >= r.right) return;
    ui::text(dc, text, r, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX, color);
}

void paint_text(HWND hwnd, HDC dc, const EditState& s, const RECT& inner) {
    std::string text = shown_text(hwnd, s);
    // Characters from the first one that starts inside the box.
    size_t first = 0;
    while (first < text.size() && prefix_width(hwnd, s, first) < s.scroll)
        ++first;
    auto x_of = [&](size_t i) { return inner.left + prefix_width(hwnd, s, i) - s.scroll; };
    bool enabled = IsWindowEnabled(hwnd);
    COLORREF color = GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    draw_segment(dc, text.substr(first), x_of(first), inner, color);
    bool show_selection = s.focused || (style_of(hwnd) & ES_NOHIDESEL);
    if (show_selection && s.model.has_selection()) {
        size_t from = std::max(first, s.model.selection_start());
        size_t to = s.model.selection_end();
        if (from < to) {
            RECT band{std::max<LONG>(x_of(from), inner.left), inner.top,
                      std::min<LONG>(x_of(to), inner.right), inner.bottom};
            ui::fill(dc, band, COLOR_HIGHLIGHT);
            draw_segment(dc, text.substr(from, to - from), x_of(from),
                         RECT{inner.left, inner.top, band.right, inner.bottom},
                         GetSysColor(COLOR_HIGHLIGHTTEXT));
        }
    }
    if (s.focused) {
        int x = x_of(s.model.caret());
        if (x >= inner.left && x < inner.right) {
            RECT caret{x, inner.top, x + 1, inner.bottom};
            ui::fill(dc, caret, COLOR_WINDOWTEXT);
        }
    }
}

void paint(HWND hwnd, EditState& s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    bool plain = IsWindowEnabled(hwnd) && !(style_of(hwnd) & ES_READONLY);
    ui::fill(dc, client, plain ? COLOR_WINDOW : COLOR_BTNFACE);
    if (style_of(hwnd) & WS_BORDER) ui::bevel(dc, client, false);
    HGDIOBJ old = SelectObject(dc, s.font ? s.font : ui::ui_font());
    paint_text(hwnd, dc, s, inner_rect(hwnd));
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
}

LRESULT get_text(const EditState& s, WPARAM size, LPARAM buffer) {
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0) return 0;
    size_t count = std::min<size_t>(s.model.text().size(), size - 1);
    std::memcpy(out, s.model.text().data(), count);
    out[count] = '\0';
    return static_cast<LRESULT>(count);
}

LRESULT get_selection(const EditState& s, WPARAM start, LPARAM end) {
    auto from = static_cast<DWORD>(s.model.selection_start());
    auto to = static_cast<DWORD>(s.model.selection_end());
    if (start) *reinterpret_cast<DWORD*>(start) = from;
    if (end) *reinterpret_cast<DWORD*>(end) = to;
    return MAKELONG(std::min<DWORD>(from, 0xFFFF), std::min<DWORD>(to, 0xFFFF));
}

// EM_SETSEL: a start of -1 removes the selection (keeping the caret); an end of -1 (or
// past the text) means the end of the text.
void set_selection(HWND hwnd, EditState& s, WPARAM wparam, LPARAM lparam) {
    auto start = static_cast<INT_PTR>(wparam);
    auto end = static_cast<INT_PTR>(lparam);
    size_t size = s.model.text().size();
    if (start < 0) {
        s.model.move_caret(s.model.caret(), false);
    } else {
        size_t from = static_cast<size_t>(start);
        size_t to = end < 0 ? size : static_cast<size_t>(end);
        s.model.select(std::min(from, size), std::min(to, size));
    }
    refresh(hwnd, s);
}

void on_mouse(HWND hwnd, EditState& s, UINT message, LPARAM lparam) {
    int x = GET_X_LPARAM(lparam);
    if (message == WM_LBUTTONDOWN) {
        SetFocus(hwnd);
        s.model.move_caret(position_at(hwnd, s, x), window::retrieved_key_is_down(VK_SHIFT));
        SetCapture(hwnd);
        refresh(hwnd, s);
    } else if (message == WM_MOUSEMOVE && GetCapture() == hwnd) {
        s.model.move_caret(position_at(hwnd, s, x), true);
        refresh(hwnd, s);
    } else if (message == WM_LBUTTONUP && GetCapture() == hwnd) {
        ReleaseCapture();
    }
}

LRESULT handle_edit_message(HWND hwnd, EditState& s, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case EM_LIMITTEXT:
        s.model.set_limit(wparam ? static_cast<size_t>(wparam) : 0x7FFFFFFE);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(s.model.limit());
    case EM_GETSEL:
        return get_selection(s, wparam, lparam);
    case EM_SETSEL:
        set_selection(hwnd, s, wparam, lparam);
        return 0;
    case EM_REPLACESEL:
        insert(hwnd, s, lparam ? reinterpret_cast<const char*>(lparam) : "");
        return 0;
    case EM_GETMODIFY:
        return s.modified;
    case EM_SETMODIFY:
        s.modified = wparam != 0;
        return 0;
    case EM_LINELENGTH:
        return static_cast<LRESULT>(s.model.text().size());
    case EM_SETREADONLY: {
        DWORD style = style_of(hwnd);
        style = wparam ? style | ES_READONLY : style & ~static_cast<DWORD>(ES_READONLY);
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    default:
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

LRESULT handle(HWND hwnd, EditState& s, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT:
        paint(hwnd, s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT:
        s.model.set_text(lparam ? reinterpret_cast<const char*>(lparam) : "");
        s.scroll = 0;
        s.modified = false;
        InvalidateRect(hwnd, nullptr, TRUE);
        notify(hwnd, EN_UPDATE);
        notify(hwnd, EN_CHANGE);
        return TRUE;
    case WM_GETTEXT:
        return get_text(s, wparam, lparam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(s.model.text().size());
    case WM_SETFONT:
        s.font = reinterpret_cast<HFONT>(wparam);
        if (lparam) refresh(hwnd, s);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s.font);
    case WM_CHAR:
        on_char(hwnd, s, static_cast<char>(wparam));
        return 0;
    case WM_KEYDOWN:
        on_key(hwnd, s, static_cast<UINT>(wparam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        on_mouse(hwnd, s, message, lparam);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        s.focused = message == WM_SETFOCUS;
        InvalidateRect(hwnd, nullptr, TRUE);
        notify(hwnd, s.focused ? EN_SETFOCUS : EN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_COPY:
        copy_selection(hwnd, s);
        return 0;
    case WM_CUT:
        copy_selection(hwnd, s);
        if (s.model.has_selection()) erase(hwnd, s, false);
        return 0;
    case WM_PASTE:
        paste(hwnd, s);
        return 0;
    case WM_CLEAR:
        if (s.model.has_selection()) erase(hwnd, s, false);
        return 0;
    default:
        return handle_edit_message(hwnd, s, message, wparam, lparam);
    }
}

LRESULT CALLBACK edit_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* s = new EditState;
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lparam);
        if (cs && cs->lpszName) s->model.set_text(cs->lpszName);
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(s));
        return TRUE;
    }
    return with_control_state<EditState>(hwnd, message, wparam, lparam, handle);
}

} // namespace

void register_edit_class() {
    register_control_class("EDIT", edit_proc, IDC_IBEAM, CS_DBLCLKS);
}

} // namespace winapi::dialog
