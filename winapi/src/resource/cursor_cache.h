// The table of cursor handles and the sharing rule of LoadCursorA: one handle per cursor
// resource of a module, and one per system cursor.
#pragma once

#include <windef.h>

#include "resource/cursor.h"
#include "resource/res_format.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace winapi::resource {

// The handle already made for the module's cursor resource `name`, or null.
HCURSOR cached_cursor(uintptr_t module_base, const ResName& name);

// Takes the cursor, gives it a handle and remembers it as the module's cursor `name`.
HCURSOR add_shared_cursor(uintptr_t module_base, const ResName& name, Cursor cursor);

// Forgets which handles belong to the module's resources. The handles stay valid (programs
// may still hold them); a later load of the module makes new ones.
void forget_module_cursors(uintptr_t module_base);

} // namespace winapi::resource
