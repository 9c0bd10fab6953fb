// The dialog keyboard: Tab and Shift+Tab between tab stops, Enter for the default button,
// Escape for Cancel.
#include "dialog/dialog_manager.h"

#include "window/input_router.h"
#include "window/modal_loop.h"
#include "window/window_manager.h"

#include <strings.h>

namespace winapi::dialog {

namespace {

bool can_take_tab(HWND hwnd) {
    window::Window* w = window::find_window(hwnd);
    return w && (w->style & WS_TABSTOP) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}

bool is_push_button(HWND hwnd) {
    window::Window* w = window::find_window(hwnd);
    if (!w || strcasecmp(w->window_class->name.c_str(), "BUTTON") != 0) return false;
    DWORD type = w->style & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Enter: a focused push button is pressed; otherwise the default button, if it exists and is
// enabled (a dialog without such a button still gets the command, with no control).
void press_default(HWND dialog, HWND focus) {
    if (focus && is_push_button(focus)) {
        SendMessageA(focus, BM_CLICK, 0, 0);
        return;
    }
    LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    UINT id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
    HWND button = GetDlgItem(dialog, static_cast<int>(id));
    if (button && !IsWindowEnabled(button)) return;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void press_cancel(HWND dialog) {
    HWND button = GetDlgItem(dialog, IDCANCEL);
    if (button && !IsWindowEnabled(button)) return;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

// Handles the keys the dialog manager owns; false for keys the control keeps.
bool handle_dialog_key(HWND dialog, MSG& msg) {
    UINT vk = static_cast<UINT>(msg.wParam);
    if (vk != VK_TAB && vk != VK_RETURN && vk != VK_ESCAPE) return false;
    LRESULT code = 0;
    if (msg.hwnd != dialog)
        code = SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (code & DLGC_WANTMESSAGE) return false;
    if (vk == VK_TAB) {
        if (code & DLGC_WANTTAB) return false;
        bool back = window::retrieved_key_is_down(VK_SHIFT);
        HWND focus = GetFocus();
        HWND from = focus && IsChild(dialog, focus) ? focus : nullptr;
        if (HWND next = GetNextDlgTabItem(dialog, from, back ? TRUE : FALSE)) focus_control(next);
    } else if (vk == VK_RETURN) {
        press_default(dialog, msg.hwnd == dialog ? nullptr : msg.hwnd);
    } else {
        press_cancel(dialog);
    }
    return true;
}

// The dialog that a message's window belongs to (the nearest dialog among its ancestors).
HWND dialog_of(HWND hwnd) {
    for (HWND h = hwnd; h; h = GetParent(h))
        if (find_dialog(h)) return h;
    return nullptr;
}

bool dialog_filter(MSG& msg) {
    HWND dialog = dialog_of(msg.hwnd);
    return dialog && IsDialogMessageA(dialog, &msg);
}

} // namespace

void install_dialog_keyboard() {
    window::set_dialog_message_filter(dialog_filter);
}

void focus_control(HWND control) {
    SetFocus(control);
    if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageA(control, EM_SETSEL, 0, -1);
}

} // namespace winapi::dialog

using namespace winapi::dialog;

BOOL WINAPI IsDialogMessageA(HWND hDlg, LPMSG lpMsg) {
    if (!lpMsg || !hDlg || !IsWindow(hDlg)) return FALSE;
    if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)) return FALSE;
    bool key_down = lpMsg->message == WM_KEYDOWN || lpMsg->message == WM_SYSKEYDOWN;
    if (key_down && handle_dialog_key(hDlg, *lpMsg)) return TRUE;
    TranslateMessage(lpMsg);
    DispatchMessageA(lpMsg);
    return TRUE;
}

HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    winapi::window::Window* dialog = winapi::window::checked_window(hDlg);
    if (!dialog) return nullptr;
    const std::vector<HWND>& children = dialog->children; // creation order
    int count = static_cast<int>(children.size());
    int start = -1;
    for (int i = 0; i < count; ++i)
        if (children[static_cast<size_t>(i)] == hCtl) start = i;
    int step = bPrevious ? -1 : 1;
    if (start < 0) start = bPrevious ? 0 : -1;
    for (int n = 1; n <= count; ++n) {
        int index = ((start + step * n) % count + count) % count;
        HWND candidate = children[static_cast<size_t>(index)];
        if (can_take_tab(candidate)) return candidate;
    }
    return nullptr;
}
