#include "dib_writer.h"

#include <cstdio>

namespace dib {

namespace {

constexpr uint32_t file_header_size = 14; // BITMAPFILEHEADER
constexpr uint32_t info_header_size = 40; // BITMAPINFOHEADER
constexpr uint32_t directory_header_size = 6;
constexpr uint32_t directory_entry_size = 16;

} // namespace

void put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(Bytes& out, uint32_t value) {
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

void put_info_header(Bytes& out, int width, int height, int bits, uint32_t image_size,
                     uint32_t colours_used, uint32_t pixels_per_metre) {
    put32(out, info_header_size);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1); // planes
    put16(out, static_cast<unsigned>(bits));
    put32(out, 0); // BI_RGB
    put32(out, image_size);
    put32(out, pixels_per_metre);
    put32(out, pixels_per_metre);
    put32(out, colours_used);
    put32(out, 0); // every colour is important
}

void put_colour(Bytes& out, uint8_t red, uint8_t green, uint8_t blue) {
    out.insert(out.end(), {blue, green, red, 0});
}

Bytes bitmap_file(const Bytes& info, uint32_t table_entries) {
    Bytes out;
    put16(out, 0x4d42); // "BM"
    put32(out, static_cast<uint32_t>(file_header_size + info.size()));
    put32(out, 0);
    put32(out, file_header_size + info_header_size + table_entries * 4);
    out.insert(out.end(), info.begin(), info.end());
    return out;
}

Bytes cursor_file(const std::vector<CursorImage>& images) {
    Bytes out;
    put16(out, 0); // reserved
    put16(out, 2); // a cursor file
    put16(out, static_cast<unsigned>(images.size()));
    auto offset =
        static_cast<uint32_t>(directory_header_size + directory_entry_size * images.size());
    for (const CursorImage& image : images) {
        out.push_back(static_cast<uint8_t>(image.width));
        out.push_back(static_cast<uint8_t>(image.height));
        out.push_back(0); // colour count: none stated
        out.push_back(0);
        put16(out, static_cast<unsigned>(image.hot_x));
        put16(out, static_cast<unsigned>(image.hot_y));
        put32(out, static_cast<uint32_t>(image.bitmap.size()));
        put32(out, offset);
        offset += static_cast<uint32_t>(image.bitmap.size());
    }
    for (const CursorImage& image : images)
        out.insert(out.end(), image.bitmap.begin(), image.bitmap.end());
    return out;
}

bool write_file(const std::string& path, const Bytes& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

} // namespace dib
