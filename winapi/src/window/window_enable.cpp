// Enabling and disabling windows, and the key state a program sees while it handles input.
#include "window/input_router.h"
#include "window/window_manager.h"

using namespace winapi::window;

// Returns TRUE when the window was disabled before the call, as documented.
BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    Window* window = checked_window(hWnd);
    if (!window) return FALSE;
    bool was_disabled = (window->style & WS_DISABLED) != 0;
    if (bEnable == !was_disabled) return was_disabled ? TRUE : FALSE;
    if (bEnable) {
        window->style &= ~WS_DISABLED;
    } else {
        window->style |= WS_DISABLED;
        // A disabled window cannot keep the keyboard or the mouse.
        HWND focus = desktop_state().focus;
        if (focus && is_self_or_descendant(hWnd, focus)) SetFocus(nullptr);
        HWND capture = desktop_state().capture;
        if (capture && is_self_or_descendant(hWnd, capture)) ReleaseCapture();
    }
    if (find_window(hWnd)) SendMessageA(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
    return was_disabled ? TRUE : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    Window* window = checked_window(hWnd);
    return window && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

SHORT WINAPI GetKeyState(int nVirtKey) {
    if (nVirtKey < 0 || nVirtKey > 255) return 0;
    UINT vk = static_cast<UINT>(nVirtKey);
    bool down = retrieved_key_is_down(vk);
    // The generic Shift and Control keys also report their left and right keys.
    if (vk == VK_LSHIFT || vk == VK_RSHIFT) down = down || retrieved_key_is_down(VK_SHIFT);
    if (vk == VK_LCONTROL || vk == VK_RCONTROL) down = down || retrieved_key_is_down(VK_CONTROL);
    return down ? static_cast<SHORT>(0x8000) : 0;
}
