// Message boxes and beeps. The headless desktop shows nothing: a message box is recorded
// and answered by the automation callback, or by its default button.
#include "window/display_driver.h"
#include "window/modal_automation.h"
#include "window/window_manager.h"

#include <algorithm>
#include <vector>

namespace winapi::window {

ModalRecords& modal_records() {
    static ModalRecords records;
    return records;
}

int ask_automation(const desktop::ModalEvent& event) {
    // Copy: the callback may replace itself.
    desktop::AutomationCallback callback = modal_records().automation;
    return callback ? callback(event) : 0;
}

namespace {

// The buttons of a message box type, left to right; empty for an unknown type.
std::vector<int> message_box_buttons(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return {IDOK};
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE:
        return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default:
        return {};
    }
}

// MB_DEFBUTTONn names the n-th button; one past the last falls back to the first.
int default_button(const std::vector<int>& buttons, UINT type) {
    size_t index = (type & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

} // namespace

} // namespace winapi::window

using namespace winapi::window;

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    if (hWnd && !checked_window(hWnd)) return 0;
    std::vector<int> buttons = message_box_buttons(uType);
    if (buttons.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const char* text = lpText ? lpText : "";
    const char* caption = lpCaption ? lpCaption : "Error"; // the documented default title
    winapi::desktop::ModalEvent event;
    event.kind = winapi::desktop::ModalKind::MessageBox;
    event.owner = hWnd;
    event.text = text;
    event.caption = caption;
    event.type = uType;
    int answer = ask_automation(event);
    if (std::find(buttons.begin(), buttons.end(), answer) == buttons.end())
        answer = default_button(buttons, uType);
    modal_records().message_boxes.push_back({hWnd, text, caption, uType, answer});
    return answer;
}

BOOL WINAPI MessageBeep(UINT uType) {
    modal_records().beeps.push_back(uType);
    display_driver().beep(uType);
    return TRUE;
}
