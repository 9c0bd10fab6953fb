// TrackPopupMenu: a pop-up menu shown as a top-level window, tracked in a modal loop.
#include "menu/popup_menu.h"

#include "menu/menu.h"
#include "window/modal_automation.h"
#include "window/modal_loop.h"
#include "window/window_manager.h"

#include <algorithm>

namespace winapi::menu {

namespace {

PopupTracker*& active_tracker() {
    static PopupTracker* tracker = nullptr;
    return tracker;
}

// The menu's top-left corner for the alignment flags, kept on the screen: a menu that would
// run off the right or bottom edge opens to the other side of the point instead.
POINT place_menu(UINT flags, int x, int y, SIZE size) {
    POINT at{x, y};
    if (flags & TPM_CENTERALIGN)
        at.x -= size.cx / 2;
    else if (flags & TPM_RIGHTALIGN)
        at.x -= size.cx;
    if (flags & TPM_VCENTERALIGN)
        at.y -= size.cy / 2;
    else if (flags & TPM_BOTTOMALIGN)
        at.y -= size.cy;
    SIZE screen = window::desktop_state().screen;
    if (at.x + size.cx > screen.cx) at.x = std::max<LONG>(0, x - size.cx);
    if (at.y + size.cy > screen.cy) at.y = std::max<LONG>(0, y - size.cy);
    at.x = std::max<LONG>(at.x, 0);
    at.y = std::max<LONG>(at.y, 0);
    return at;
}

bool is_key_message(UINT message) {
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

// While the menu is open its window takes the keyboard, whatever window has the focus.
bool menu_filter(MSG& msg) {
    PopupTracker* tracker = active_tracker();
    if (!tracker || !is_key_message(msg.message) || msg.hwnd == tracker->window) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) TranslateMessage(&msg);
    SendMessageA(tracker->window, msg.message, msg.wParam, msg.lParam);
    return true;
}

desktop::ModalEvent menu_event(const PopupTracker& tracker, int round) {
    desktop::ModalEvent event;
    event.kind = desktop::ModalKind::Menu;
    event.owner = tracker.owner;
    event.window = tracker.window;
    event.round = round;
    event.menu = tracker.menu;
    event.menu_items = tracker.items;
    POINT origin{0, 0};
    ClientToScreen(tracker.window, &origin);
    for (auto& item : event.menu_items)
        OffsetRect(&item.rect, origin.x, origin.y);
    return event;
}

// The automation's answer is carried out as a person's click on the item it names.
void answer_round(PopupTracker& tracker, int round) {
    desktop::ModalEvent event = menu_event(tracker, round);
    int answer = window::ask_automation(event);
    if (answer == desktop::kModalContinue) return;
    auto it = std::find_if(event.menu_items.begin(), event.menu_items.end(),
                           [answer](const desktop::ShownMenuItem& item) {
                               return answer != 0 && !item.separator && !item.submenu &&
                                      item.id == static_cast<UINT>(answer);
                           });
    if (it == event.menu_items.end()) {
        if (answer == 0) desktop::press_key(VK_ESCAPE);
        return;
    }
    desktop::click(desktop::MouseButton::Left, (it->rect.left + it->rect.right) / 2,
                   (it->rect.top + it->rect.bottom) / 2);
}

HWND create_menu_window(PopupTracker& tracker, int x, int y) {
    register_popup_menu_class();
    SIZE size{};
    tracker.items = lay_out_menu(tracker.menu, &size);
    POINT at = place_menu(tracker.flags, x, y, size);
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                kPopupMenuClass, "", WS_POPUP, at.x, at.y, size.cx, size.cy,
                                tracker.owner, nullptr, nullptr, nullptr);
    if (!hwnd) return nullptr;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&tracker));
    return hwnd;
}

void track(PopupTracker& tracker) {
    active_tracker() = &tracker;
    {
        window::ScopedModalFilter filter(menu_filter);
        ShowWindow(tracker.window, SW_SHOWNA);
        UpdateWindow(tracker.window);
        SetCapture(tracker.window);
        window::run_modal_loop(
            tracker.window, [&tracker] { return tracker.done; },
            [&tracker](int round) { answer_round(tracker, round); });
    }
    active_tracker() = nullptr;
    if (GetCapture() == tracker.window) ReleaseCapture();
    if (IsWindow(tracker.window)) {
        SetWindowLongPtrA(tracker.window, GWLP_USERDATA, 0);
        DestroyWindow(tracker.window);
    }
}

} // namespace

} // namespace winapi::menu

namespace winapi::desktop {

std::vector<ShownMenuItem> shown_menu(HMENU menu) {
    return menu::lay_out_menu(menu, nullptr);
}

} // namespace winapi::desktop

using namespace winapi::menu;

BOOL WINAPI TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS lptpm) {
    (void)lptpm;
    if (!get_menu(hMenu)) return FALSE;
    if (!winapi::window::checked_window(hwnd)) return FALSE;
    if (active_tracker()) {
        SetLastError(ERROR_POPUP_ALREADY_ACTIVE);
        return FALSE;
    }
    SendMessageA(hwnd, WM_ENTERMENULOOP, TRUE, 0);
    SendMessageA(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hMenu), 0);
    PopupTracker tracker;
    tracker.menu = hMenu;
    tracker.owner = hwnd;
    tracker.flags = uFlags;
    tracker.window = create_menu_window(tracker, x, y);
    if (!tracker.window) return FALSE;
    track(tracker);
    if (IsWindow(hwnd)) SendMessageA(hwnd, WM_EXITMENULOOP, TRUE, 0);
    if (uFlags & TPM_RETURNCMD) return static_cast<BOOL>(tracker.chosen);
    // The choice arrives as a message, after this call has returned.
    if (tracker.chosen && IsWindow(hwnd))
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(tracker.chosen, 0), 0);
    return TRUE;
}

BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd,
                           const RECT* prcRect) {
    (void)nReserved;
    (void)prcRect;
    return TrackPopupMenuEx(hMenu, uFlags, x, y, hWnd, nullptr);
}
