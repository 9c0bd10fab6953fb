// Pixel-level drawing on a clipped pixel buffer: rectangles with raster operations, lines
// with cosmetic and wide pens, polygon fills and coverage blending for text. Coordinates
// here are buffer pixels; device contexts convert logical coordinates before calling in.
#pragma once

#include <wingdi.h>

#include <cstddef>
#include <cstdint>

#include "gdi/pixel_buffer.h"

namespace winapi::gdi {

// Where text is placed, coordinates are kept within this distance of the origin. Buffers
// are far smaller, so nothing visible moves, and sums of a position and a text width or
// height (which stop growing at the same bound) cannot overflow.
constexpr int64_t kCoordinateLimit = int64_t(1) << 28;
inline LONG clamp_coordinate(int64_t value) {
    return static_cast<LONG>(value < -kCoordinateLimit  ? -kCoordinateLimit
                             : value > kCoordinateLimit ? kCoordinateLimit
                                                        : value);
}

// A buffer and the part of it that drawing may change. The clip always lies inside the
// buffer, so every helper below only has to test against the clip.
struct Target {
    PixelBuffer pixels;
    RECT clip{0, 0, 0, 0};

    bool inside(int x, int y) const {
        return x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
    }
};

RECT intersect(const RECT& a, const RECT& b);
bool rect_empty(const RECT& r);
// The rectangle with corners a and b, ordered so that left <= right and top <= bottom.
RECT ordered_rect(POINT a, POINT b);

// Ternary raster operations: the operation index is the third byte of the ROP code; each of
// its eight bits gives the result for one combination of pattern, source and destination bits.
inline uint8_t rop3_index(DWORD rop) {
    return static_cast<uint8_t>((rop >> 16) & 0xffu);
}
uint32_t apply_rop3(uint8_t index, uint32_t pattern, uint32_t source, uint32_t dest);
bool rop_uses_source(DWORD rop);
bool rop_uses_pattern(DWORD rop);

// Fills the rectangle (right and bottom excluded) with one colour.
void fill_rect(const Target& target, const RECT& rect, uint32_t rgb);
// Combines the rectangle with a solid pattern colour through a raster operation that uses no
// source.
void pattern_rect(const Target& target, const RECT& rect, uint32_t pattern, uint8_t rop_index);
// Sets one pixel when it lies inside the clip.
void plot(const Target& target, int x, int y, uint32_t rgb);
// Mixes `rgb` into one pixel with a coverage of 0 (nothing) to 255 (all of it).
void blend(const Target& target, int x, int y, uint32_t rgb, uint32_t coverage);

// How a line is drawn.
struct Stroke {
    uint32_t rgb = 0;
    int width = 1;             // device pixels
    int line_style = PS_SOLID; // PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_ALTERNATE
    bool opaque_gaps = false;  // styled lines: paint the gaps with gap_rgb (OPAQUE background)
    uint32_t gap_rgb = 0;
    int phase = 0; // position in the dash pattern, carried on from one segment to the next
};

// Draws a line. One-pixel lines follow Bresenham's steps and leave out the end point unless
// `include_last`; wider lines stamp a round pen along the same steps, end point included.
void draw_line(const Target& target, POINT from, POINT to, Stroke& stroke, bool include_last);

// Fills a polygon, sampling each pixel at its centre: left and top edges are inside, right
// and bottom edges outside. `winding` picks the non-zero rule, otherwise even-odd.
void fill_polygon(const Target& target, const POINT* points, size_t count, uint32_t rgb,
                  bool winding);

} // namespace winapi::gdi
