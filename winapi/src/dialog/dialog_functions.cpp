// The public dialog functions: dialogs from resources or memory, their items, and the
// automation of modal dialogs in headless runs.
#include "dialog/dialog_manager.h"

#include "common/ui_draw.h"
#include "menu/popup_menu.h"
#include "window/modal_automation.h"
#include "window/window_class.h"
#include "window/window_manager.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

namespace winapi::dialog {

namespace {

// The template of dialog resource `name`, parsed; false (with the last error set) when the
// module has no such dialog or it is malformed.
bool load_template(HINSTANCE instance, LPCSTR name, DialogTemplate* out) {
    HRSRC info = FindResourceA(instance, name, RT_DIALOG);
    if (!info) return false;
    HGLOBAL data = LoadResource(instance, info);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes || !parse_dialog_template(bytes, SizeofResource(instance, info), out)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return false;
    }
    return true;
}

HWND owner_of(HWND hwnd) {
    window::Window* w = window::find_window(hwnd);
    return w ? w->owner : nullptr;
}

// Makes sure keys pressed for the dialog reach it.
void focus_into(HWND dialog) {
    HWND focus = GetFocus();
    if (focus != dialog && !IsChild(dialog, focus)) SetFocus(dialog);
}

} // namespace

bool is_class(HWND hwnd, const char* class_name) {
    window::Window* w = window::find_window(hwnd);
    return w && strcasecmp(w->window_class->name.c_str(), class_name) == 0;
}

void register_dialog_classes() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefDlgProcA;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kDialogClass;
    window::add_system_class(wc);
    register_button_class();
    register_edit_class();
    register_static_class();
    install_dialog_keyboard();
}

void answer_dialog_round(HWND dialog, int round) {
    char title[256] = "";
    GetWindowTextA(dialog, title, sizeof title);
    desktop::ModalEvent event;
    event.kind = desktop::ModalKind::Dialog;
    event.owner = owner_of(dialog);
    event.caption = title;
    event.window = dialog;
    event.round = round;
    int answer = window::ask_automation(event);
    if (answer == desktop::kModalContinue || !IsWindow(dialog)) return;
    HWND button = answer ? GetDlgItem(dialog, answer) : nullptr;
    if (button && is_class(button, "BUTTON")) {
        desktop::click_window(button); // a disabled button takes no click, as for a person
        return;
    }
    if (answer == 0 || answer == IDCANCEL || answer == IDOK) {
        focus_into(dialog);
        desktop::press_key(answer == IDOK ? VK_RETURN : VK_ESCAPE);
    }
}

} // namespace winapi::dialog

namespace winapi::window {

void register_layer_classes() {
    dialog::register_dialog_classes();
    menu::register_popup_menu_class();
}

} // namespace winapi::window

using namespace winapi::dialog;

namespace {

INT_PTR modal_dialog(HINSTANCE instance, const DialogTemplate& t, HWND owner, DLGPROC proc,
                     LPARAM param) {
    if (owner && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    HWND dialog = create_dialog(instance, t, owner, proc, param, true);
    if (!dialog) return -1;
    return run_modal_dialog(dialog, owner, answer_dialog_round);
}

} // namespace

INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    DialogTemplate t;
    if (!load_template(hInstance, lpTemplateName, &t)) return -1;
    return modal_dialog(hInstance, t, hWndParent, lpDialogFunc, dwInitParam);
}

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA hDialogTemplate,
                                       HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    DialogTemplate t;
    if (!parse_dialog_template(hDialogTemplate, 0, &t)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    return modal_dialog(hInstance, t, hWndParent, lpDialogFunc, dwInitParam);
}

HWND WINAPI CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    DialogTemplate t;
    if (!load_template(hInstance, lpTemplateName, &t)) return nullptr;
    return create_dialog(hInstance, t, hWndParent, lpDialogFunc, dwInitParam, false);
}

HWND WINAPI CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate,
                                       HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    DialogTemplate t;
    if (!parse_dialog_template(lpTemplate, 0, &t)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return create_dialog(hInstance, t, hWndParent, lpDialogFunc, dwInitParam, false);
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    winapi::window::Window* dialog = winapi::window::checked_window(hDlg);
    if (!dialog) return nullptr;
    for (HWND child : dialog->children) {
        winapi::window::Window* w = winapi::window::find_window(child);
        if (w && static_cast<int>(w->id) == nIDDlgItem) return child;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

LRESULT WINAPI SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam,
                                   LPARAM lParam) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? SendMessageA(item, Msg, wParam, lParam) : 0;
}

BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? SetWindowTextA(item, lpString) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    if (!item) {
        if (lpString && cchMax > 0) lpString[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(item, lpString, cchMax));
}

UINT WINAPI GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned) {
    if (lpTranslated) *lpTranslated = FALSE;
    char text[64];
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    if (!item || GetWindowTextLengthA(item) >= static_cast<int>(sizeof text)) return 0;
    GetWindowTextA(item, text, sizeof text);
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = bSigned && *p == '-';
    if (*p == '-' && !bSigned) return 0;
    if (*p == '-' || *p == '+') ++p;
    if (*p < '0' || *p > '9') return 0;
    errno = 0;
    char* end = nullptr;
    unsigned long long value = std::strtoull(p, &end, 10);
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end || errno == ERANGE) return 0;
    long long limit = bSigned ? (negative ? 2147483648LL : 2147483647LL) : 4294967295LL;
    if (value > static_cast<unsigned long long>(limit)) return 0;
    if (lpTranslated) *lpTranslated = TRUE;
    long long signed_value =
        negative ? -static_cast<long long>(value) : static_cast<long long>(value);
    return static_cast<UINT>(signed_value);
}

BOOL WINAPI SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned) {
    char text[16];
    if (bSigned)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(uValue));
    else
        std::snprintf(text, sizeof text, "%u", uValue);
    return SetDlgItemTextA(hDlg, nIDDlgItem, text);
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
    HWND item = GetDlgItem(hDlg, nIDButton);
    if (!item) return FALSE;
    SendMessageA(item, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
    HWND item = GetDlgItem(hDlg, nIDButton);
    return item ? static_cast<UINT>(SendMessageA(item, BM_GETCHECK, 0, 0)) : 0;
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
    DialogState* state = find_dialog(hDlg);
    if (!state || !lpRect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *lpRect = dialog_units_to_pixels(*lpRect, state->base_units);
    return TRUE;
}

// The base units of dialogs that name no font.
LONG WINAPI GetDialogBaseUnits(void) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, winapi::ui::ui_font());
    SIZE extent{};
    TEXTMETRICA metrics{};
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &extent);
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return MAKELONG((extent.cx / 26 + 1) / 2, metrics.tmHeight);
}
