// Writes the bitmap file of the framework test resources: POSTER_WIDTH x POSTER_HEIGHT
// pixels at 8 bits per pixel with a four-entry palette (black, red, green, blue); pixel
// (x, y), y counted from the top, uses entry (x + y) % 4.
// Usage: framework_make_bitmap OUTPUT_FILE
#include <cstdint>
#include <cstdio>
#include <vector>

#include "framework_test_ids.h"

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(Bytes& out, uint32_t value) {
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

Bytes bitmap_file() {
    const int width = POSTER_WIDTH, height = POSTER_HEIGHT, colours = 4;
    const int stride = (width + 3) / 4 * 4; // rows are padded to 4 bytes
    const uint32_t bits_offset = 14 + 40 + colours * 4;
    Bytes out;
    // BITMAPFILEHEADER
    put16(out, 0x4d42);
    put32(out, bits_offset + stride * height);
    put32(out, 0);
    put32(out, bits_offset);
    // BITMAPINFOHEADER
    put32(out, 40);
    put32(out, width);
    put32(out, height);
    put16(out, 1);
    put16(out, 8);
    put32(out, 0);
    put32(out, stride * height);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, colours);
    put32(out, 0);
    // Palette entries are blue, green, red, reserved.
    const uint32_t palette[colours] = {0x000000, 0xff0000, 0x00ff00, 0x0000ff};
    for (uint32_t rgb : palette)
        put32(out, ((rgb & 0xff) << 16) | (rgb & 0xff00) | (rgb >> 16));
    // Rows bottom-up.
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < stride; ++x)
            out.push_back(x < width ? (x + y) % colours : 0);
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT_FILE\n", argv[0]);
        return 2;
    }
    Bytes data = bitmap_file();
    FILE* file = fopen(argv[1], "wb");
    if (!file || fwrite(data.data(), 1, data.size(), file) != data.size() || fclose(file) != 0) {
        perror(argv[1]);
        return 1;
    }
    return 0;
}
