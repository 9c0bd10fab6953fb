#include "window/modal_loop.h"

#include "window/message_queue.h"
#include "window/modal_automation.h"
#include "window/window_manager.h"

#include <vector>

namespace winapi::window {

namespace {

std::vector<ModalFilter>& filters() {
    static std::vector<ModalFilter> stack;
    return stack;
}

bool (*g_dialog_filter)(MSG&) = nullptr;

// A display that can deliver real input, and no callback to answer instead of a person.
bool waits_for_person() {
    if (modal_records().automation) return false;
    return desktop::display() != desktop::DisplayKind::Headless;
}

} // namespace

ScopedModalFilter::ScopedModalFilter(ModalFilter filter) {
    filters().push_back(std::move(filter));
}

ScopedModalFilter::~ScopedModalFilter() {
    filters().pop_back();
}

void set_dialog_message_filter(bool (*filter)(MSG& msg)) {
    g_dialog_filter = filter;
}

void dispatch_modal_message(MSG& msg) {
    if (!filters().empty()) {
        ModalFilter filter = filters().back(); // a copy: the filter may end its own UI
        if (filter(msg)) return;
    }
    if (g_dialog_filter && g_dialog_filter(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

int pump_pending(int limit) {
    int dispatched = 0;
    MSG msg;
    while (dispatched < limit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam)); // leave it for the caller's loop
            break;
        }
        dispatch_modal_message(msg);
        ++dispatched;
    }
    return dispatched;
}

ModalEnd run_modal_loop(HWND modal_window, const std::function<bool()>& done,
                        const std::function<void(int round)>& idle) {
    int round = 0;
    for (;;) {
        pump_pending(10000);
        if (done()) return ModalEnd::Done;
        if (!find_window(modal_window)) return ModalEnd::Destroyed;
        if (current_queue().quit_pending) return ModalEnd::Quit;
        if (waits_for_person()) {
            MessageFilter all{};
            wait_for_message(all);
            continue;
        }
        if (round >= kModalRoundLimit) return ModalEnd::GaveUp;
        idle(round++);
        if (done()) return ModalEnd::Done;
    }
}

} // namespace winapi::window
