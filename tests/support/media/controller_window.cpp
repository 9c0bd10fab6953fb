#include "media/controller_window.h"

#include "media/engine_client.h"

namespace test_support {

namespace {

ULONG g_controller = 0;

LRESULT CALLBACK controller_window(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (g_controller &&
        media_test::EngineClient::get().component(ComponentOperation::ControllerEvent, g_controller,
                                                  window, message, wparam, lparam))
        return 0;
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

constexpr const char* class_name = "TestControllerWindow";

} // namespace

HWND create_controller_window(int width, int height) {
    // Registered again after every desktop reset, which unregisters every class; a second
    // registration while the class exists fails harmlessly.
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = controller_window;
    window_class.lpszClassName = class_name;
    RegisterClassA(&window_class);
    return CreateWindowExA(0, class_name, "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                           nullptr, nullptr, nullptr);
}

void set_window_controller(ULONG controller) {
    g_controller = controller;
}

} // namespace test_support
