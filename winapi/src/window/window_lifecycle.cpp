// Creating and destroying windows.
#include "window/activation.h"
#include "window/display_driver.h"
#include "window/message_queue.h"
#include "window/paint.h"
#include "window/window_class.h"
#include "window/window_manager.h"

#include <algorithm>

namespace winapi::window {

namespace {

// Where a window goes when the caller leaves it to the system. Child windows get 0 for
// CW_USEDEFAULT; top-level windows a default place and size on the screen.
RECT initial_rect(bool child, int x, int y, int width, int height) {
    SIZE screen = desktop_state().screen;
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
        if (child) {
            width = height = 0;
        } else {
            width = std::min<LONG>(640, screen.cx);
            height = std::min<LONG>(480, screen.cy);
        }
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    return RECT{x, y, x + width, y + height};
}

// Frees a window whose WM_NCDESTROY has been sent: its queued messages, timers and
// device contexts go, and the handle becomes invalid.
void free_window(HWND hwnd) {
    Window* window = find_window(hwnd);
    if (!window) return;
    std::vector<HWND> children = window->children;
    for (HWND child : children)
        free_window(child); // created during destruction
    DesktopState& state = desktop_state();
    if (state.capture == hwnd) state.capture = nullptr;
    if (state.focus == hwnd) state.focus = nullptr;
    if (state.active == hwnd) state.active = nullptr;
    drop_window_messages(hwnd);
    close_window_dcs(hwnd);
    unlink_window(*window);
    if (!window->is_child()) display_driver().window_destroyed(hwnd);
    window->window_class->window_count--;
    state.windows.remove(hwnd);
}

// The first half of creation: the record, its place in the Z order and its surface.
Window* make_window(std::shared_ptr<WindowClass> cls, DWORD ex_style, DWORD style, RECT rect,
                    HWND parent, HWND owner, HMENU menu, HINSTANCE instance) {
    auto record = std::make_unique<Window>();
    record->window_class = cls;
    record->proc = cls->proc;
    record->parent = parent;
    record->owner = owner;
    record->rect = rect;
    record->style = style & ~WS_VISIBLE; // shown by ShowWindow once created
    record->ex_style = ex_style;
    record->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
    record->instance = instance;
    record->extra.assign(static_cast<size_t>(cls->window_extra), 0);
    record->queue = &current_queue();
    Window* window = record.get();
    window->handle = reinterpret_cast<HWND>(desktop_state().windows.add(std::move(record)));
    cls->window_count++;
    // New child windows go to the bottom of their siblings, new top-level windows on top.
    link_window(*window, window->is_child() ? HWND_BOTTOM : HWND_TOP);
    if (!window->is_child()) display_driver().window_created(window->handle, rect);
    return window;
}

void notify_parent(const Window& window, UINT event) {
    if (!window.is_child() || (window.ex_style & WS_EX_NOPARENTNOTIFY)) return;
    SendMessageA(window.parent, WM_PARENTNOTIFY, MAKEWPARAM(event, window.id),
                 reinterpret_cast<LPARAM>(window.handle));
}

// Sends the creation messages. False when the window refused (and is gone).
bool run_creation(HWND hwnd, CREATESTRUCTA& cs) {
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if (find_window(hwnd)) {
            find_window(hwnd)->destroying = true;
            SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
            free_window(hwnd);
        }
        return false;
    }
    if (!find_window(hwnd)) return false;
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return false;
    }
    Window* window = find_window(hwnd);
    if (!window) return false;
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(window->width(), window->height()));
    if (!(window = find_window(hwnd))) return false;
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(window->rect.left, window->rect.top));
    if (!(window = find_window(hwnd))) return false;
    notify_parent(*window, WM_CREATE);
    return find_window(hwnd) != nullptr;
}

} // namespace

} // namespace winapi::window

using namespace winapi::window;

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam) {
    std::shared_ptr<WindowClass> cls = find_window_class(lpClassName);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    bool child = (dwStyle & WS_CHILD) != 0;
    if (child && !hWndParent) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    if (hWndParent && !checked_window(hWndParent)) return nullptr;
    HWND parent = child ? hWndParent : nullptr;
    HWND owner = child ? nullptr : top_level_of(hWndParent);
    RECT rect = initial_rect(child, X, Y, nWidth, nHeight);
    // The window text is stored by DefWindowProcA when it handles WM_NCCREATE.
    Window* window = make_window(cls, dwExStyle, dwStyle, rect, parent, owner, hMenu, hInstance);
    HWND hwnd = window->handle;
    CREATESTRUCTA cs{lpParam,
                     hInstance,
                     hMenu,
                     hWndParent,
                     static_cast<int>(rect.bottom - rect.top),
                     static_cast<int>(rect.right - rect.left),
                     static_cast<int>(rect.top),
                     static_cast<int>(rect.left),
                     static_cast<LONG>(dwStyle),
                     lpWindowName,
                     lpClassName,
                     dwExStyle};
    if (!run_creation(hwnd, cs)) return nullptr;
    if (dwStyle & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return find_window(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    Window* window = checked_window(hWnd);
    if (!window) return FALSE;
    if (window->destroying) return TRUE; // already on its way out
    // Windows it owns go first.
    std::vector<HWND> tops = desktop_state().top_levels;
    for (HWND top : tops) {
        Window* owned = find_window(top);
        if (owned && owned->owner == hWnd && !owned->destroying) DestroyWindow(top);
    }
    if (!(window = find_window(hWnd))) return TRUE;
    if (window->style & WS_VISIBLE)
        SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    release_window_state(hWnd);
    if ((window = find_window(hWnd))) notify_parent(*window, WM_DESTROY);
    std::vector<HWND> tree = window_subtree(hWnd);
    for (HWND each : tree)
        if (Window* w = find_window(each)) w->destroying = true;
    // WM_DESTROY goes to the window before its children, WM_NCDESTROY to the children
    // before the window; both through the procedure current at that moment.
    for (HWND each : tree)
        SendMessageA(each, WM_DESTROY, 0, 0);
    release_window_state(hWnd); // in case a WM_DESTROY handler took capture or focus
    for (auto it = tree.rbegin(); it != tree.rend(); ++it)
        SendMessageA(*it, WM_NCDESTROY, 0, 0);
    for (auto it = tree.rbegin(); it != tree.rend(); ++it)
        free_window(*it);
    return TRUE;
}
