#include "user_actions.h"

#include "page_window.h"

#include <cstring>

namespace winhost {

namespace {

// How long a pop-up menu may take to open after the click.
const DWORD MenuDeadline = 20000;
// The choice reaches the window as a posted command after the menu has closed.
const DWORD CommandDelivery = 300;

} // namespace

void right_click(HWND window, int x, int y) {
    POINT point = {x, y};
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

WatchReport choose_from_context_menu(HWND window, int x, int y, const char* item) {
    UiWatcher watcher(item);
    watcher.start();
    right_click(window, x, y);
    pump_messages_until([&]() { return watcher.menus_answered() > 0; }, MenuDeadline);
    pump_messages_for(CommandDelivery);
    return watcher.stop();
}

std::string menu_listing(const std::vector<SeenMenuItem>& items) {
    std::string listing;
    for (const SeenMenuItem& item : items) {
        if (!listing.empty()) listing += " | ";
        listing += item.separator ? "-" : item.text + (item.greyed ? " (greyed)" : "");
    }
    return listing;
}

void set_clipboard_text(HWND owner, const char* text) {
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    size_t size = std::strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory) {
        std::memcpy(GlobalLock(memory), text, size);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

std::string clipboard_text(HWND owner) {
    std::string text;
    if (!OpenClipboard(owner)) return "(clipboard cannot be opened)";
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* locked = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (locked) {
        text = locked;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

bool clipboard_has(UINT format) {
    return IsClipboardFormatAvailable(format) != 0;
}

} // namespace winhost
