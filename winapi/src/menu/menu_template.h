// Menu templates: the binary form of a menu in a module's resources (RT_MENU) or in memory.
#pragma once

#include <windef.h>

#include <cstddef>

namespace winapi::menu {

// Builds a menu from a standard (version 0) or extended (version 1) template of `size`
// bytes. Returns the new menu bar's handle, or null with ERROR_INVALID_DATA when the
// template is malformed: an unknown version, an item that runs past `size`, or submenus
// nested deeper than any real menu. Nothing is left behind on failure.
HMENU load_menu_template(const void* data, size_t size);

} // namespace winapi::menu
