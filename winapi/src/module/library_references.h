// The load counts the layer holds on modules. Every count the layer adds is backed by one
// reference of the dynamic loader (a dlopen), and every count taken off gives one back, so a
// library is unmapped exactly when the Win32 count of the callers reaches zero.
#pragma once

#include "module/module_list.h"

#include <cstdint>

namespace winapi::module {

// Records a count for the module at `base`, backed by `library`, a dlopen handle the caller
// obtained for it. The record owns that reference from now on.
void add_reference(uintptr_t base, void* library);

// Adds a count to a module that is already mapped, taking a new loader reference on it. With
// `pin` the module stays loaded for good and later releases leave it alone. False when the
// loader no longer knows the module.
bool add_reference_to_mapped(const LoadedModule& module, bool pin);

enum class Release {
    Dropped,  // one count was given back; the module may still be loaded
    Unloaded, // the layer's last count was given back
    NotHeld,  // the layer holds no count on this module
};

// Gives back one count on the module at `base`. A pinned module keeps its count (Dropped).
Release release_reference(uintptr_t base);

// Called after FreeLibrary gave back the layer's last count on the module at `base`: what is
// kept about the module (its resources, its cursors) may point into a mapping that is gone.
using UnloadListener = void (*)(uintptr_t base);

// Adds a listener; each is added once however often it is offered. Areas above this one
// listen, so this area need not know them.
void listen_for_unloads(UnloadListener listener);

// Tells every listener that the module at `base` was released.
void announce_unload(uintptr_t base);

// A dlopen handle for a mapped module (the program included), for symbol lookups; close it
// with dlclose. Null when the loader no longer knows the module.
void* open_mapped(const LoadedModule& module);

} // namespace winapi::module
