// The modal loops of menus, dialogs and file dialogs. They pump the thread's one queue, so
// every other window keeps getting its messages while one of them is open; input meant for
// the modal UI is offered to it first (a menu's keys, a dialog's Tab, Enter and Escape).
#pragma once

#include <windows.h>

#include <functional>

namespace winapi::window {

// A filter that may take a retrieved message before it is dispatched: true when it handled
// the message. Filters stack: the innermost modal UI is asked first.
using ModalFilter = std::function<bool(MSG& msg)>;

// Installs a filter for the lifetime of the object.
class ScopedModalFilter {
  public:
    explicit ScopedModalFilter(ModalFilter filter);
    ~ScopedModalFilter();
    ScopedModalFilter(const ScopedModalFilter&) = delete;
    ScopedModalFilter& operator=(const ScopedModalFilter&) = delete;
};

// The dialog manager's keyboard handling, asked after the modal filters for messages to any
// window (it checks itself whether the window is in a dialog).
void set_dialog_message_filter(bool (*filter)(MSG& msg));

// Offers a retrieved message to the filters, then translates and dispatches it.
void dispatch_modal_message(MSG& msg);

// Handles every message that can be retrieved now without waiting (see
// desktop::pump_messages); returns how many.
int pump_pending(int limit);

enum class ModalEnd {
    Done,      // `done` said so
    Quit,      // WM_QUIT arrived: it stays queued for the program's own loop
    GaveUp,    // the automation rounds ran out
    Destroyed, // the modal window went away
};

// Runs until `done` returns true. Whenever everything that can be retrieved has been
// handled, either waits for real input (on a display that has input, with no automation
// callback) or calls `idle` with the round number, which asks the automation callback (or
// gives the default answer) and acts on the answer.
ModalEnd run_modal_loop(HWND modal_window, const std::function<bool()>& done,
                        const std::function<void(int round)>& idle);

// How many idle rounds a modal UI gets before it is closed without an answer.
constexpr int kModalRoundLimit = 100;

} // namespace winapi::window
