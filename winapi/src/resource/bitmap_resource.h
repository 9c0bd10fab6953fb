// Bitmap resources (RT_BITMAP): a device-independent bitmap without the file header, that is
// a BITMAPINFOHEADER (or a later, larger version), the colour table or colour masks, and the
// pixel rows.
#pragma once

#include "common/internal_api.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace winapi::resource {

// Where the pixel rows of a bitmap resource start, after checking that the header is one GDI
// takes (uncompressed or bit-field masks, 1 to 32 bits per pixel, a nonzero size) and that
// the colour table and every row lie inside [data, data + size). Empty for anything else.
LX_INTERNAL_API std::optional<size_t> bitmap_bits_offset(const uint8_t* data, size_t size);

} // namespace winapi::resource
