// The window record and the window class record that every window function works on.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace winapi::window {

class MessageQueue;

// A registered window class. Windows keep a shared reference, so a class record lives as
// long as its last window even though UnregisterClassA refuses while windows exist.
struct WindowClass {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int class_extra = 0;
    int window_extra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    LPCSTR menu_name = nullptr;
    int window_count = 0;
};

// One window. Windows here have no non-client area, so the window rectangle is also the
// client rectangle. Child windows keep their rectangle in the parent's client coordinates,
// top-level windows in screen coordinates.
struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> window_class;
    WNDPROC proc = nullptr;
    HWND parent = nullptr;      // child windows only
    HWND owner = nullptr;       // owned top-level windows only
    std::vector<HWND> children; // in Z order, topmost first
    RECT rect{};
    DWORD style = 0;
    DWORD ex_style = 0;
    LONG_PTR id = 0;
    LONG_PTR user_data = 0;
    HINSTANCE instance = nullptr;
    std::string text;
    std::vector<unsigned char> extra; // the class's cbWndExtra bytes

    // The update region, kept as its bounding rectangle in client coordinates (empty when
    // the window is valid), and whether its background still has to be erased.
    RECT update{};
    bool erase_pending = false;

    // Set when DestroyWindow starts on this window: it still answers IsWindow and gets its
    // WM_DESTROY and WM_NCDESTROY, but a second DestroyWindow does nothing.
    bool destroying = false;

    // Set for windows that let the mouse through to what lies below them, as group boxes do:
    // WindowFromPoint looks past them.
    bool hit_transparent = false;

    MessageQueue* queue = nullptr; // the queue of the thread that created the window

    bool is_child() const { return (style & WS_CHILD) != 0; }
    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
};

} // namespace winapi::window
