// The plug-in's images in the bitmap and cursor file formats.
#include "image_files.h"

namespace art {
namespace {

constexpr uint32_t kPaletteEntries = 256;
constexpr uint32_t kPixelsPerMetre = 2835; // 72 dots per inch

int padded_stride(int bytes_per_row) {
    return (bytes_per_row + 3) / 4 * 4;
}

void put_colour(Bytes& out, Rgb colour) {
    dib::put_colour(out, colour.red, colour.green, colour.blue);
}

// The 1-bit rows of the cursor, bottom-up: bit 7 of the first byte is the leftmost pixel.
void put_cursor_plane(Bytes& out, const MonochromeCursor& cursor, bool mask) {
    for (int y = cursor.height - 1; y >= 0; --y) {
        for (int x0 = 0; x0 < cursor.width; x0 += 8) {
            uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                CursorPixel pixel = cursor.pixels[static_cast<size_t>(y) * cursor.width + x0 + bit];
                bool set = mask ? pixel == CursorPixel::Transparent : pixel == CursorPixel::White;
                if (set) bits |= static_cast<uint8_t>(0x80 >> bit);
            }
            out.push_back(bits);
        }
    }
}

} // namespace

Bytes bitmap_file(const IndexedImage& image) {
    const int stride = padded_stride(image.width);
    const uint32_t image_size = static_cast<uint32_t>(stride * image.height);
    Bytes info;
    dib::put_info_header(info, image.width, image.height, 8, image_size, kPaletteEntries,
                         kPixelsPerMetre);
    for (uint32_t entry = 0; entry < kPaletteEntries; ++entry)
        put_colour(info, entry < image.palette.size() ? image.palette[entry] : Rgb{});
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = image.indices.data() + static_cast<size_t>(y) * image.width;
        info.insert(info.end(), row, row + image.width);
        info.insert(info.end(), static_cast<size_t>(stride - image.width), 0);
    }
    return dib::bitmap_file(info, kPaletteEntries);
}

Bytes cursor_file(const MonochromeCursor& cursor) {
    const uint32_t plane_size = static_cast<uint32_t>(cursor.width / 8 * cursor.height);
    Bytes image;
    dib::put_info_header(image, cursor.width, cursor.height * 2, 1, 2 * plane_size, 2,
                         kPixelsPerMetre);
    put_colour(image, Rgb{0, 0, 0});
    put_colour(image, Rgb{255, 255, 255});
    put_cursor_plane(image, cursor, false);
    put_cursor_plane(image, cursor, true);
    return dib::cursor_file({{cursor.width, cursor.height, cursor.hot_x, cursor.hot_y, image}});
}

} // namespace art
