// The pictures the art program draws, before they are written to files.
#pragma once

#include <cstdint>
#include <vector>

namespace art {

// A colour as stored in a palette: 8 bits per component.
struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

// A true-colour picture, rows from the top; `pixels` holds width * height entries.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
};

// A picture of palette indices, rows from the top. `indices` holds width * height entries,
// each below palette.size(); the palette has at most 256 entries.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> indices;
};

// A two-colour cursor image, rows from the top: each pixel is transparent, black or white.
enum class CursorPixel : uint8_t { Transparent, Black, White };
struct MonochromeCursor {
    int width = 0; // a multiple of 32, so that the 1-bit rows need no padding
    int height = 0;
    int hot_x = 0;
    int hot_y = 0;
    std::vector<CursorPixel> pixels;
};

} // namespace art
