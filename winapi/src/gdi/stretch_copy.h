// The one pixel-transfer routine behind BitBlt, StretchBlt, StretchDIBits and
// SetDIBitsToDevice: a source rectangle scaled onto a destination rectangle (nearest pixel),
// mirrored when the extents' signs differ, combined through a ternary raster operation.
#pragma once

#include <wingdi.h>

#include <cstdint>

#include "gdi/pixel_buffer.h"
#include "gdi/rasterizer.h"

namespace winapi::gdi {

// A rectangle given by one corner and signed extents; the other corner is
// (x + width, y + height), and right and bottom edges are excluded once it is ordered.
struct SignedRect {
    int64_t x = 0;
    int64_t y = 0;
    int64_t width = 0;
    int64_t height = 0;
};

// Colours of the documented monochrome conversions between device contexts: a monochrome
// source pixel 0 becomes the destination's text colour and 1 its background colour; a colour
// source pixel becomes 1 in a monochrome destination when it equals the source's background
// colour and 0 otherwise. DIB transfers leave `convert` off and use colour tables.
struct MonochromeColors {
    bool convert = false;
    uint32_t dest_text = 0;
    uint32_t dest_background = 0xffffff;
    uint32_t source_background = 0xffffff;
};

// Transfers `source_rect` of `source` onto `dest_rect` of the target (both in pixels of their
// buffers). Source pixels outside the source buffer are skipped, destination pixels outside
// the clip are left alone. `pattern` is the brush colour for operations that use one.
void stretch_copy(const Target& dest, SignedRect dest_rect, const PixelBuffer& source,
                  SignedRect source_rect, DWORD rop, uint32_t pattern,
                  const MonochromeColors& colors);

} // namespace winapi::gdi
