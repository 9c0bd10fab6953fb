// Writes the images the test resource script refers to: cursors and a bitmap whose pixels
// the resource tests know. Usage: lxmod_make_images OUTPUT_FOLDER
//
//   pointer.cur  32x32, 1 bit per pixel, hot spot (13, 9). Opaque inside the rectangle
//                x 8..19, y 4..27: a black border, white inside, and a black pixel at the hot
//                spot. Outside it transparent, except (30, 30), which inverts the screen.
//   glow.cur     two images. 16x16 at 8 bits per pixel (hot spot (2, 3)), all palette entry
//                1 (blue); 32x32 at 32 bits per pixel (hot spot (5, 6)), pixel (x, y) with
//                blue 0x40, green 8y, red 0x80 and alpha 8x.
//   swatch.bmp   5x3, 8 bits per pixel, a four-entry palette (red, green, blue, white); pixel
//                (x, y), y counted from the top, uses entry (x + y) % 4.
#include "dib_writer.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using dib::Bytes;
using dib::put_info_header;

void put_colour(Bytes& out, uint8_t red, uint8_t green, uint8_t blue) {
    dib::put_colour(out, red, green, blue);
}

bool inside_pointer(int x, int y) {
    return x >= 8 && x <= 19 && y >= 4 && y <= 27;
}

// Bit value of the pointer's colour (1 white) and mask (1 transparent) at (x, y).
bool pointer_colour(int x, int y) {
    if (!inside_pointer(x, y)) return x == 30 && y == 30;
    bool border = x == 8 || x == 19 || y == 4 || y == 27;
    return !border && !(x == 13 && y == 9);
}

Bytes pointer_bitmap() {
    Bytes out;
    put_info_header(out, 32, 64, 1, 256, 2);
    put_colour(out, 0, 0, 0);
    put_colour(out, 255, 255, 255);
    for (int pass = 0; pass < 2; ++pass) {
        for (int row = 31; row >= 0; --row) { // bottom-up
            uint32_t bits = 0;
            for (int x = 0; x < 32; ++x) {
                bool bit = pass == 0 ? pointer_colour(x, row) : !inside_pointer(x, row);
                if (bit) bits |= 1u << (31 - x);
            }
            out.insert(out.end(),
                       {static_cast<uint8_t>(bits >> 24), static_cast<uint8_t>(bits >> 16),
                        static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits)});
        }
    }
    return out;
}

Bytes small_glow_bitmap() {
    Bytes out;
    put_info_header(out, 16, 32, 8, 16 * 16 + 16 * 4, 2);
    put_colour(out, 255, 0, 0);
    put_colour(out, 0, 0, 255);
    out.insert(out.end(), 16 * 16, 1);
    out.insert(out.end(), 16 * 4, 0);
    return out;
}

Bytes large_glow_bitmap() {
    Bytes out;
    put_info_header(out, 32, 64, 32, 32 * 128 + 32 * 4, 0);
    for (int row = 31; row >= 0; --row) {
        for (int x = 0; x < 32; ++x)
            out.insert(out.end(),
                       {0x40, static_cast<uint8_t>(row * 8), 0x80, static_cast<uint8_t>(x * 8)});
    }
    out.insert(out.end(), 32 * 4, 0);
    return out;
}

Bytes swatch_file() {
    const int width = 5, height = 3, stride = 8;
    Bytes info;
    put_info_header(info, width, height, 8, stride * height, 4);
    put_colour(info, 255, 0, 0);
    put_colour(info, 0, 255, 0);
    put_colour(info, 0, 0, 255);
    put_colour(info, 255, 255, 255);
    for (int row = height - 1; row >= 0; --row) {
        for (int x = 0; x < stride; ++x)
            info.push_back(x < width ? static_cast<uint8_t>((x + row) % 4) : 0);
    }
    return dib::bitmap_file(info, 4);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    using dib::cursor_file;
    using dib::write_file;
    bool ok =
        write_file(folder + "/pointer.cur", cursor_file({{32, 32, 13, 9, pointer_bitmap()}})) &&
        write_file(folder + "/glow.cur", cursor_file({{16, 16, 2, 3, small_glow_bitmap()},
                                                      {32, 32, 5, 6, large_glow_bitmap()}})) &&
        write_file(folder + "/swatch.bmp", swatch_file());
    if (!ok) std::fprintf(stderr, "%s: cannot write the images in %s\n", argv[0], folder.c_str());
    return ok ? 0 : 1;
}
