// What the control window classes (BUTTON, EDIT, STATIC) share: a state object per window,
// kept in the window's extra bytes from WM_NCCREATE until WM_NCDESTROY, and registration as
// a class the layer provides.
#pragma once

#include <windows.h>

namespace winapi::dialog {

template <typename State>
State* control_state(HWND hwnd) {
    return reinterpret_cast<State*>(GetWindowLongPtrA(hwnd, 0));
}

// Gives a message after WM_NCCREATE to `handle` with the window's state. WM_NCDESTROY frees
// the state; a window without one gets DefWindowProcA.
template <typename State, typename Handler>
LRESULT with_control_state(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, Handler handle) {
    State* state = control_state<State>(hwnd);
    if (message == WM_NCDESTROY) {
        delete state;
        SetWindowLongPtrA(hwnd, 0, 0);
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
    if (!state) return DefWindowProcA(hwnd, message, wparam, lparam);
    return handle(hwnd, *state, message, wparam, lparam);
}

// Registers a control class with room for the state pointer and the system cursor `cursor`.
void register_control_class(const char* name, WNDPROC procedure, LPCSTR cursor, UINT style);

} // namespace winapi::dialog
