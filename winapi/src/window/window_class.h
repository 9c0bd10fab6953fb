// The registry of window classes. Class names compare without regard to case; a name may
// also be given as a class atom (MAKEINTATOM). Classes are registered for the whole
// process, whatever instance handle registers them.
#pragma once

#include "window/window.h"

#include <memory>

namespace winapi::window {

// The class named by a string or an atom, or null.
std::shared_ptr<WindowClass> find_window_class(LPCSTR name);

// Adds a class the layer itself provides (buttons, edit boxes, dialogs, pop-up menus). It
// is found after the program's classes and is never unregistered, not even by a reset.
void add_system_class(const WNDCLASSA& window_class);

// Adds every class the layer provides; called once, before the first class lookup. (The
// classes live with the dialog manager and the menus.)
void register_layer_classes();

// Forgets every class (desktop reset, after all windows are gone).
void unregister_all_classes();

} // namespace winapi::window
