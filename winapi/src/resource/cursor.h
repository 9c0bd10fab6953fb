// Cursors as the display drivers draw them. A cursor handle from LoadCursorA stands for one
// of these images; handles are checked through find_cursor, never dereferenced.
#pragma once

#include "common/internal_api.h"

#include <windef.h>

#include <cstdint>
#include <vector>

namespace winapi::resource {

// A cursor image: 32-bit pixels, rows top to bottom, each 0xAARRGGBB (memory order B, G, R,
// A) with straight, not premultiplied, alpha. Pixels that would invert the screen under a
// monochrome cursor are opaque black, which keeps them visible on the light backgrounds
// cursors usually move over.
struct Cursor {
    int width = 0;
    int height = 0;
    POINT hot_spot{}; // the pixel that is the pointer's position
    std::vector<uint32_t> pixels;

    uint32_t pixel(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The cursor behind a handle, or null when the handle is not a cursor. Cursors are shared
// and live as long as the process, so the pointer stays valid.
LX_INTERNAL_API const Cursor* find_cursor(HCURSOR cursor);

} // namespace winapi::resource
