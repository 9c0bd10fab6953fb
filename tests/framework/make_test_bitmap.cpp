// Writes the bitmap file of the framework test resources: POSTER_WIDTH x POSTER_HEIGHT
// pixels at 8 bits per pixel with a four-entry palette (black, red, green, blue); pixel
// (x, y), y counted from the top, uses entry (x + y) % 4.
// Usage: framework_make_bitmap OUTPUT_FILE
#include "dib_writer.h"
#include "framework_test_ids.h"

#include <cstdint>
#include <cstdio>

namespace {

using dib::Bytes;

Bytes bitmap_file() {
    const int width = POSTER_WIDTH, height = POSTER_HEIGHT, colours = 4;
    const int stride = (width + 3) / 4 * 4; // rows are padded to 4 bytes
    Bytes info;
    dib::put_info_header(info, width, height, 8, stride * height, colours, 2835);
    // The palette's entries as RGB values, written in the file's blue-green-red order.
    const uint32_t palette[colours] = {0x000000, 0xff0000, 0x00ff00, 0x0000ff};
    for (uint32_t rgb : palette)
        dib::put_colour(info, rgb & 0xff, (rgb >> 8) & 0xff, rgb >> 16);
    // Rows bottom-up.
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < stride; ++x)
            info.push_back(x < width ? (x + y) % colours : 0);
    }
    return dib::bitmap_file(info, colours);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT_FILE\n", argv[0]);
        return 2;
    }
    if (!dib::write_file(argv[1], bitmap_file())) {
        perror(argv[1]);
        return 1;
    }
    return 0;
}
