#include "dialog/control_class.h"

#include "window/window_class.h"

namespace winapi::dialog {

void register_control_class(const char* name, WNDPROC procedure, LPCSTR cursor, UINT style) {
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = sizeof(void*);
    wc.hCursor = LoadCursorA(nullptr, cursor);
    wc.lpszClassName = name;
    window::add_system_class(wc);
}

} // namespace winapi::dialog
