// Window data (GetWindowLongPtrA and friends), procedures and window text.
#include "window/display_driver.h"
#include "window/window_manager.h"

#include <cstring>

namespace winapi::window {

namespace {

bool valid_extra_index(const Window& window, int index, size_t size) {
    return index >= 0 && static_cast<size_t>(index) + size <= window.extra.size();
}

LONG_PTR read_extra(const Window& window, int index, size_t size) {
    if (size == sizeof(LONG)) {
        LONG value;
        std::memcpy(&value, window.extra.data() + index, size);
        return value;
    }
    LONG_PTR value;
    std::memcpy(&value, window.extra.data() + index, size);
    return value;
}

void write_extra(Window& window, int index, size_t size, LONG_PTR value) {
    if (size == sizeof(LONG)) {
        LONG narrow = static_cast<LONG>(value);
        std::memcpy(window.extra.data() + index, &narrow, size);
    } else {
        std::memcpy(window.extra.data() + index, &value, size);
    }
}

// Reads one entry; `size` is the width of the caller's view (4 or pointer size).
bool get_long(Window& window, int index, size_t size, LONG_PTR* value) {
    switch (index) {
    case GWLP_WNDPROC:
        *value = reinterpret_cast<LONG_PTR>(window.proc);
        return true;
    case GWLP_HINSTANCE:
        *value = reinterpret_cast<LONG_PTR>(window.instance);
        return true;
    case GWLP_HWNDPARENT:
        *value = reinterpret_cast<LONG_PTR>(window.is_child() ? window.parent : window.owner);
        return true;
    case GWLP_ID:
        *value = window.id;
        return true;
    case GWLP_USERDATA:
        *value = window.user_data;
        return true;
    case GWL_STYLE:
        *value = static_cast<LONG>(window.style);
        return true;
    case GWL_EXSTYLE:
        *value = static_cast<LONG>(window.ex_style);
        return true;
    default:
        if (!valid_extra_index(window, index, size)) return false;
        *value = read_extra(window, index, size);
        return true;
    }
}

// Changing a style is announced with WM_STYLECHANGING (which may adjust the new value)
// and WM_STYLECHANGED.
LONG_PTR set_style(HWND hwnd, int index, DWORD value) {
    Window* window = find_window(hwnd);
    DWORD& field = index == GWL_STYLE ? window->style : window->ex_style;
    STYLESTRUCT change{field, value};
    SendMessageA(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&change));
    if (!(window = find_window(hwnd))) return 0;
    DWORD& target = index == GWL_STYLE ? window->style : window->ex_style;
    DWORD old = target;
    target = change.styleNew;
    change.styleOld = old;
    SendMessageA(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&change));
    return static_cast<LONG>(old);
}

bool set_long(HWND hwnd, int index, size_t size, LONG_PTR value, LONG_PTR* old) {
    Window* window = find_window(hwnd);
    if (!get_long(*window, index, size, old)) return false;
    switch (index) {
    case GWLP_WNDPROC:
        window->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWLP_HINSTANCE:
        window->instance = reinterpret_cast<HINSTANCE>(value);
        break;
    case GWLP_HWNDPARENT:
        // Changing the owner of a top-level window; the parent of a child stays.
        if (!window->is_child()) window->owner = reinterpret_cast<HWND>(value);
        break;
    case GWLP_ID:
        window->id = value;
        break;
    case GWLP_USERDATA:
        window->user_data = value;
        break;
    case GWL_STYLE:
    case GWL_EXSTYLE:
        *old = set_style(hwnd, index, static_cast<DWORD>(value));
        break;
    default:
        write_extra(*window, index, size, value);
        break;
    }
    return true;
}

// On 64-bit systems the 32-bit functions cannot carry pointers: the entries that hold
// one are refused there, as on 64-bit Windows.
bool pointer_index(int index) {
    return sizeof(void*) > sizeof(LONG) &&
           (index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT);
}

} // namespace

} // namespace winapi::window

using namespace winapi::window;

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    Window* window = checked_window(hWnd);
    if (!window) return 0;
    LONG_PTR value = 0;
    if (!get_long(*window, nIndex, sizeof(LONG_PTR), &value)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return value;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    if (!checked_window(hWnd)) return 0;
    LONG_PTR old = 0;
    if (!set_long(hWnd, nIndex, sizeof(LONG_PTR), dwNewLong, &old)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return old;
}

LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) {
    Window* window = checked_window(hWnd);
    if (!window) return 0;
    LONG_PTR value = 0;
    if (pointer_index(nIndex) || !get_long(*window, nIndex, sizeof(LONG), &value)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return static_cast<LONG>(value);
}

LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    if (!checked_window(hWnd)) return 0;
    LONG_PTR old = 0;
    if (pointer_index(nIndex) || !set_long(hWnd, nIndex, sizeof(LONG), dwNewLong, &old)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return static_cast<LONG>(old);
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
    if (!lpPrevWndFunc) return 0;
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (!checked_window(hWnd)) return FALSE;
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (!checked_window(hWnd)) {
        if (lpString && nMaxCount > 0) lpString[0] = '\0';
        return 0;
    }
    if (!lpString || nMaxCount <= 0) return 0;
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
    if (!checked_window(hWnd)) return 0;
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}
