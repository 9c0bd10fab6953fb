// Writers of the device-independent bitmap file formats the resource compiler reads: bitmap
// files (.bmp) and cursor files (.cur). Every number is little-endian, as on Windows. Shared by
// the art tool that draws the plug-in's images and the tests' image makers; it depends on
// nothing but the C++ library, so it also builds with the build machine's compiler when the
// rest is cross-compiled.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dib {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& out, unsigned value);
void put32(Bytes& out, uint32_t value);

// A BITMAPINFOHEADER without compression. `height` is what the header states (twice the
// image's for a cursor image, which holds colour rows and mask rows).
void put_info_header(Bytes& out, int width, int height, int bits, uint32_t image_size,
                     uint32_t colours_used, uint32_t pixels_per_metre = 0);

// An RGBQUAD: blue, green, red, reserved.
void put_colour(Bytes& out, uint8_t red, uint8_t green, uint8_t blue);

// A bitmap file: the file header in front of `info` (info header, colour table of
// `table_entries` entries, rows).
Bytes bitmap_file(const Bytes& info, uint32_t table_entries);

// One image of a cursor file: its size, hot spot and its bitmap (info header, colour table,
// colour rows, mask rows).
struct CursorImage {
    int width;
    int height;
    int hot_x;
    int hot_y;
    Bytes bitmap;
};

// A cursor file: the directory, then the images in order.
Bytes cursor_file(const std::vector<CursorImage>& images);

// Writes `bytes` to `path`, replacing the file. False when the file cannot be written whole.
bool write_file(const std::string& path, const Bytes& bytes);

} // namespace dib
