// The desktop API's person: clicks and key presses made through injected input, each
// followed by the handling of the messages it caused.
#include <winapi/desktop.h>

#include "window/input_router.h"
#include "window/modal_loop.h"
#include "window/window_manager.h"

#include <cstring>

namespace winapi::desktop {

namespace {

struct KeyStroke {
    UINT vk = 0;
    bool shift = false;
};

// The key (and Shift) that makes a character on a US keyboard layout; vk 0 for none.
KeyStroke stroke_for(char ch) {
    if (ch >= 'a' && ch <= 'z') return {static_cast<UINT>(ch - 'a' + 'A'), false};
    if (ch >= 'A' && ch <= 'Z') return {static_cast<UINT>(ch), true};
    if (ch >= '0' && ch <= '9') return {static_cast<UINT>(ch), false};
    if (ch == ' ') return {VK_SPACE, false};
    if (const char* at = std::strchr(")!@#$%^&*(", ch); at && ch)
        return {static_cast<UINT>('0' + (at - ")!@#$%^&*(")), true};
    struct Pair {
        UINT vk;
        char plain;
        char shifted;
    };
    static const Pair pairs[] = {
        {VK_OEM_MINUS, '-', '_'},  {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'},
        {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},    {VK_OEM_1, ';', ':'},
        {VK_OEM_7, '\'', '"'},     {VK_OEM_3, '`', '~'},    {VK_OEM_4, '[', '{'},
        {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'}};
    for (const Pair& pair : pairs) {
        if (ch == pair.plain) return {pair.vk, false};
        if (ch == pair.shifted) return {pair.vk, true};
    }
    return {};
}

void settle() {
    window::pump_pending(10000);
}

} // namespace

bool click_window(HWND hwnd) {
    window::Window* win = window::find_window(hwnd);
    if (!win || !window::is_visible(*win)) return false;
    RECT rect = window::screen_rect(*win);
    int x = (rect.left + rect.right) / 2;
    int y = (rect.top + rect.bottom) / 2;
    click(MouseButton::Left, x, y);
    settle();
    return true;
}

bool click_dialog_item(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item && click_window(item);
}

void press_key(UINT vk, bool shift, bool control) {
    if (shift) window::input_key(VK_SHIFT, true);
    if (control) window::input_key(VK_CONTROL, true);
    window::input_key(vk, true);
    window::input_key(vk, false);
    if (control) window::input_key(VK_CONTROL, false);
    if (shift) window::input_key(VK_SHIFT, false);
    settle();
}

void type_text(const char* text) {
    for (const char* p = text ? text : ""; *p; ++p) {
        KeyStroke stroke = stroke_for(*p);
        if (stroke.vk) press_key(stroke.vk, stroke.shift, false);
    }
}

} // namespace winapi::desktop
