// Decoding the cursor images stored in resources. A group cursor (RT_GROUP_CURSOR) lists the
// images one cursor comes in; each image (RT_CURSOR) is a hot spot (two WORDs) followed by a
// device-independent bitmap whose header states twice the image height, because the colour
// (XOR) rows are followed by the 1-bit transparency (AND) mask rows.
#pragma once

#include "common/internal_api.h"

#include "resource/cursor.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace winapi::resource {

// The resource id of the image to use from a group cursor: the one whose width is closest to
// 32 pixels (the standard cursor size), then the one with the most colours. Empty when the
// group is malformed or lists no cursor images.
LX_INTERNAL_API std::optional<uint16_t> choose_cursor_image(const uint8_t* data, size_t size);

// Decodes an RT_CURSOR resource. Supports 1, 4, 8, 24 and 32 bits per pixel, uncompressed.
// A 32-bit image with any nonzero alpha uses its alpha and ignores the mask. Empty for
// anything malformed; never reads outside [data, data + size).
LX_INTERNAL_API std::optional<Cursor> decode_cursor_resource(const uint8_t* data, size_t size);

// Decodes the bitmap part alone (no hot spot in front); the hot spot is left at (0, 0).
LX_INTERNAL_API std::optional<Cursor> decode_cursor_bitmap(const uint8_t* data, size_t size);

} // namespace winapi::resource
