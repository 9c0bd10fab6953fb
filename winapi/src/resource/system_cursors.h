// The system's standard cursors (IDC_ARROW and friends), drawn here as small images.
#pragma once

#include "resource/cursor.h"

#include <cstdint>
#include <optional>

namespace winapi::resource {

// The image of system cursor `id` (the integer of an IDC_ name); empty for ids the system
// does not provide.
std::optional<Cursor> system_cursor_image(uint16_t id);

} // namespace winapi::resource
