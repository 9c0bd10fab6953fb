// Writers of the bitmap and cursor file formats.
#include "image_files.h"

#include <cstdio>

namespace art {
namespace {

constexpr uint32_t kInfoHeaderSize = 40; // BITMAPINFOHEADER
constexpr uint32_t kFileHeaderSize = 14; // BITMAPFILEHEADER
constexpr int kPaletteEntries = 256;

void put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(Bytes& out, uint32_t value) {
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

// A BITMAPINFOHEADER without compression; `height` is what the header states.
void put_info_header(Bytes& out, int width, int height, int bits, uint32_t image_size,
                     uint32_t colours_used) {
    put32(out, kInfoHeaderSize);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1); // planes
    put16(out, static_cast<unsigned>(bits));
    put32(out, 0); // BI_RGB
    put32(out, image_size);
    put32(out, 2835); // 72 dots per inch, in dots per metre
    put32(out, 2835);
    put32(out, colours_used);
    put32(out, 0); // every colour is important
}

// An RGBQUAD: blue, green, red, reserved.
void put_colour(Bytes& out, Rgb colour) {
    out.insert(out.end(), {colour.blue, colour.green, colour.red, 0});
}

int padded_stride(int bytes_per_row) {
    return (bytes_per_row + 3) / 4 * 4;
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
    const uint32_t bits_offset = kFileHeaderSize + kInfoHeaderSize + kPaletteEntries * 4;
    Bytes out;
    put16(out, 0x4d42); // "BM"
    put32(out, bits_offset + image_size);
    put32(out, 0);
    put32(out, bits_offset);
    put_info_header(out, image.width, image.height, 8, image_size, kPaletteEntries);
    for (int entry = 0; entry < kPaletteEntries; ++entry)
        put_colour(out,
                   entry < static_cast<int>(image.palette.size()) ? image.palette[entry] : Rgb{});
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = image.indices.data() + static_cast<size_t>(y) * image.width;
        out.insert(out.end(), row, row + image.width);
        out.insert(out.end(), static_cast<size_t>(stride - image.width), 0);
    }
    return out;
}

Bytes cursor_file(const MonochromeCursor& cursor) {
    const uint32_t plane_size = static_cast<uint32_t>(cursor.width / 8 * cursor.height);
    Bytes image;
    put_info_header(image, cursor.width, cursor.height * 2, 1, 2 * plane_size, 2);
    put_colour(image, Rgb{0, 0, 0});
    put_colour(image, Rgb{255, 255, 255});
    put_cursor_plane(image, cursor, false);
    put_cursor_plane(image, cursor, true);

    Bytes out;
    put16(out, 0); // reserved
    put16(out, 2); // a cursor file
    put16(out, 1); // one image
    out.push_back(static_cast<uint8_t>(cursor.width));
    out.push_back(static_cast<uint8_t>(cursor.height));
    out.push_back(0); // colour count: none stated
    out.push_back(0);
    put16(out, static_cast<unsigned>(cursor.hot_x));
    put16(out, static_cast<unsigned>(cursor.hot_y));
    put32(out, static_cast<uint32_t>(image.size()));
    put32(out, 6 + 16); // the image follows the directory
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

bool write_file(const std::string& path, const Bytes& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

} // namespace art
