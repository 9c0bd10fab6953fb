// The registry of window classes. Class names compare without regard to case; a name may
// also be given as a class atom (MAKEINTATOM). Classes are registered for the whole
// process, whatever instance handle registers them.
#pragma once

#include "window/window.h"

#include <memory>

namespace winapi::window {

// The class named by a string or an atom, or null.
std::shared_ptr<WindowClass> find_window_class(LPCSTR name);

// Forgets every class (desktop reset, after all windows are gone).
void unregister_all_classes();

} // namespace winapi::window
