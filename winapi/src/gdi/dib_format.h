// Reading the BITMAPINFO that describes a device-independent bitmap: its size, orientation,
// depth, channel masks and colour table, in one parsed form that every DIB function shares.
#pragma once

#include <wingdi.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gdi/pixel_buffer.h"

namespace winapi::gdi {

// The largest pixel storage one bitmap may need; bigger requests fail as out of memory
// instead of exhausting the process.
constexpr size_t kMaxBitmapBytes = size_t(512) << 20;

struct DibFormat {
    int width = 0;
    int height = 0; // number of rows, always positive
    bool top_down = false;
    int bpp = 0;
    DWORD compression = BI_RGB;
    int stride = 0;                // bytes per row, a multiple of four
    std::vector<uint32_t> palette; // colour table of 1, 4 and 8 bits, 0x00RRGGBB
    uint32_t masks[3] = {0, 0, 0}; // red, green and blue masks of 16 and 32 bits
    size_t header_size = 0;        // bytes of the header, masks and colour table together

    size_t image_size() const { return static_cast<size_t>(stride) * static_cast<size_t>(height); }

    // A view of bits laid out in this format. The view refers to this format's colour table,
    // so the format must outlive it.
    PixelBuffer view(const void* bits) const;
};

// Parses a BITMAPINFO with a BITMAPINFOHEADER (or a later, longer header) or a
// BITMAPCOREHEADER. Returns false, with `format` unspecified, for what the layer does not
// support: a null pointer, DIB_PAL_COLORS (there are no logical palettes), compression other
// than BI_RGB and BI_BITFIELDS, depths other than 1, 4, 8, 16, 24 and 32, 32-bit masks other
// than the standard 8-8-8 layout, an empty or oversized bitmap.
bool parse_dib_info(const BITMAPINFO* info, UINT usage, DibFormat& format);

} // namespace winapi::gdi
