// Dialog boxes: creation from templates, the dialog class's default handling, the modal
// loop and EndDialog.
#include "dialog/dialog_manager.h"

#include "common/ui_draw.h"
#include "window/modal_loop.h"
#include "window/window_manager.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace winapi::dialog {

const char kDialogClass[] = "#32770";

namespace {

std::unordered_map<HWND, std::unique_ptr<DialogState>>& dialogs() {
    static std::unordered_map<HWND, std::unique_ptr<DialogState>> map;
    return map;
}

// The record of the dialog being created, until its window exists to take it.
std::unique_ptr<DialogState>& pending_state() {
    static std::unique_ptr<DialogState> state;
    return state;
}

void adopt_pending(HWND hwnd) {
    if (pending_state()) dialogs()[hwnd] = std::move(pending_state());
}

void forget_dialog(HWND hwnd) {
    auto it = dialogs().find(hwnd);
    if (it == dialogs().end()) return;
    if (it->second->owns_font) DeleteObject(it->second->font);
    dialogs().erase(it);
}

HWND first_tab_stop(HWND dialog) {
    return GetNextDlgTabItem(dialog, nullptr, FALSE);
}

void on_activate(HWND hwnd, DialogState& state, WPARAM wparam) {
    if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) state.focus = focus;
        return;
    }
    HWND target = state.focus && IsChild(hwnd, state.focus) ? state.focus : first_tab_stop(hwnd);
    if (target) SetFocus(target);
}

// Closing the window is the same as pressing Cancel, unless Cancel is disabled.
void on_close(HWND hwnd) {
    HWND cancel = GetDlgItem(hwnd, IDCANCEL);
    if (cancel && !IsWindowEnabled(cancel)) return;
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(cancel));
}

LRESULT default_dialog_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    DialogState* state = find_dialog(hwnd);
    if (!state) return DefWindowProcA(hwnd, message, wparam, lparam);
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(hwnd, &client);
        ui::fill(reinterpret_cast<HDC>(wparam), client, COLOR_BTNFACE);
        return 1;
    }
    case WM_ACTIVATE:
        on_activate(hwnd, *state, wparam);
        return 0;
    case WM_SETFOCUS: {
        HWND target =
            state->focus && IsChild(hwnd, state->focus) ? state->focus : first_tab_stop(hwnd);
        if (target) SetFocus(target);
        return 0;
    }
    case WM_CLOSE:
        on_close(hwnd);
        return 0;
    case DM_GETDEFID:
        return MAKELONG(state->default_id, DC_HASDEFID);
    case DM_SETDEFID:
        state->default_id = static_cast<UINT>(wparam);
        return TRUE;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state->font);
    case WM_NCDESTROY: {
        LRESULT result = DefWindowProcA(hwnd, message, wparam, lparam);
        forget_dialog(hwnd);
        return result;
    }
    default:
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

// Base units from the dialog font: the average width of the letters and the font's height.
SIZE base_units_of(HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent{};
    GetTextExtentPoint32A(dc, letters, 52, &extent);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    LONG width = (extent.cx / 26 + 1) / 2;
    return SIZE{std::max<LONG>(width, 1), std::max<LONG>(metrics.tmHeight, 1)};
}

HFONT make_template_font(const DialogTemplate& t) {
    int height = -MulDiv(t.font_points, 96, 72);
    return CreateFontA(height, 0, 0, 0, t.font_weight, t.font_italic, FALSE, FALSE, DEFAULT_CHARSET,
                       0, 0, 0, 0, t.font_face.c_str());
}

// Template positions are relative to the owner's client area. A centred dialog, and one at
// (0, 0) without an owner, is centred on the screen instead, where a person looks for it.
POINT dialog_origin(const DialogTemplate& t, HWND owner, SIZE size, SIZE units) {
    RECT px = dialog_units_to_pixels(t.rect, units);
    POINT at{px.left, px.top};
    SIZE screen = window::desktop_state().screen;
    bool centre = (t.style & DS_CENTER) || (!owner && at.x == 0 && at.y == 0);
    if (centre)
        return POINT{std::max<LONG>(0, (screen.cx - size.cx) / 2),
                     std::max<LONG>(0, (screen.cy - size.cy) / 2)};
    if (owner && !(t.style & DS_ABSALIGN)) ClientToScreen(owner, &at);
    return at;
}

bool create_controls(HWND dialog, HINSTANCE instance, const DialogTemplate& t,
                     const DialogState& state) {
    for (const DialogItem& item : t.items) {
        RECT px = dialog_units_to_pixels(item.rect, state.base_units);
        const void* data = item.creation_data.empty() ? nullptr : item.creation_data.data();
        HWND control = CreateWindowExA(
            item.ex_style | WS_EX_NOPARENTNOTIFY, item.class_name.c_str(), item.title.c_str(),
            item.style | WS_CHILD, px.left, px.top, px.right - px.left, px.bottom - px.top, dialog,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance,
            const_cast<void*>(data));
        if (!control) {
            if (t.style & DS_NOFAILCREATE) continue;
            return false;
        }
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
        if ((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && item.class_name == "BUTTON")
            find_dialog(dialog)->default_id = item.id;
    }
    return true;
}

std::unique_ptr<DialogState> make_state(const DialogTemplate& t, DLGPROC proc, bool modal) {
    auto state = std::make_unique<DialogState>();
    state->proc = proc;
    state->modal = modal;
    state->owns_font = t.has_font;
    state->font = t.has_font ? make_template_font(t) : ui::ui_font();
    if (!state->font) {
        state->font = ui::ui_font();
        state->owns_font = false;
    }
    state->base_units = base_units_of(state->font);
    return state;
}

// WM_INITDIALOG, then the focus: on the first tab stop when the procedure returns TRUE, else
// wherever the procedure put it.
void initialise(HWND dialog, LPARAM init_param) {
    HWND first = first_tab_stop(dialog);
    LRESULT focus_default =
        SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), init_param);
    DialogState* state = find_dialog(dialog);
    if (!state) return;
    HWND focus = GetFocus();
    state->focus = focus_default ? first : (focus && IsChild(dialog, focus) ? focus : nullptr);
}

} // namespace

DialogState* find_dialog(HWND hwnd) {
    auto it = dialogs().find(hwnd);
    return it == dialogs().end() ? nullptr : it->second.get();
}

RECT dialog_units_to_pixels(const RECT& rect, SIZE units) {
    return RECT{MulDiv(rect.left, units.cx, 4), MulDiv(rect.top, units.cy, 8),
                MulDiv(rect.right, units.cx, 4), MulDiv(rect.bottom, units.cy, 8)};
}

HWND create_dialog(HINSTANCE instance, const DialogTemplate& t, HWND owner, DLGPROC proc,
                   LPARAM init_param, bool modal) {
    register_dialog_classes();
    std::unique_ptr<DialogState> state = make_state(t, proc, modal);
    RECT px = dialog_units_to_pixels(t.rect, state->base_units);
    SIZE size{px.right - px.left, px.bottom - px.top};
    POINT at = dialog_origin(t, owner, size, state->base_units);
    const char* class_name = t.class_name.empty() ? kDialogClass : t.class_name.c_str();
    HFONT font = state->font;
    bool owns_font = state->owns_font;
    pending_state() = std::move(state);
    HWND dialog = CreateWindowExA(t.ex_style, class_name, t.title.c_str(), t.style & ~WS_VISIBLE,
                                  at.x, at.y, size.cx, size.cy, owner, nullptr, instance, nullptr);
    if (dialog && !find_dialog(dialog)) adopt_pending(dialog); // a class of the program's own
    if (pending_state()) {
        pending_state().reset();
        if (owns_font) DeleteObject(font);
    }
    if (!dialog) return nullptr;
    if (t.has_font) SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!IsWindow(dialog) || !create_controls(dialog, instance, t, *find_dialog(dialog))) {
        if (IsWindow(dialog)) DestroyWindow(dialog);
        return nullptr;
    }
    initialise(dialog, init_param);
    if (!IsWindow(dialog)) return nullptr;
    if (modal || (t.style & WS_VISIBLE)) ShowWindow(dialog, SW_SHOW);
    return IsWindow(dialog) ? dialog : nullptr;
}

INT_PTR run_modal_dialog(HWND dialog, HWND owner, const DialogIdle& idle) {
    bool disabled_owner = owner && IsWindowEnabled(owner);
    if (disabled_owner) EnableWindow(owner, FALSE);
    window::ModalEnd end = window::run_modal_loop(
        dialog,
        [dialog] {
            DialogState* state = find_dialog(dialog);
            return !state || state->ended;
        },
        [dialog, &idle](int round) { idle(dialog, round); });
    DialogState* state = find_dialog(dialog);
    INT_PTR result = IDCANCEL; // the loop was left without an answer
    if (state && state->ended) result = state->result;
    if (end == window::ModalEnd::Destroyed) result = 0;
    if (disabled_owner && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (IsWindow(dialog)) {
        // The owner takes the activation back before the dialog goes.
        if (owner && IsWindow(owner) && GetActiveWindow() == dialog)
            SetActiveWindow(window::top_level_of(owner));
        DestroyWindow(dialog);
    }
    return result;
}

} // namespace winapi::dialog

using namespace winapi::dialog;

LRESULT WINAPI DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (Msg == WM_NCCREATE && !find_dialog(hDlg)) adopt_pending(hDlg);
    DialogState* state = find_dialog(hDlg);
    if (state && state->proc) {
        INT_PTR handled = state->proc(hDlg, Msg, wParam, lParam);
        if (handled) {
            if (Msg == WM_NCDESTROY) forget_dialog(hDlg);
            return handled;
        }
    }
    return default_dialog_message(hDlg, Msg, wParam, lParam);
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    DialogState* state = find_dialog(hDlg);
    if (!state) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    state->ended = true;
    state->result = nResult;
    if (!state->modal) ShowWindow(hDlg, SW_HIDE);
    return TRUE;
}
