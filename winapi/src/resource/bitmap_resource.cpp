#include "resource/bitmap_resource.h"

#include <cstdlib>

namespace winapi::resource {

namespace {

constexpr uint32_t info_header_size = 40;
constexpr uint32_t compression_rgb = 0;
constexpr uint32_t compression_bitfields = 3;
constexpr int32_t largest_dimension = 1 << 15;

uint16_t read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool valid_depth(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

std::optional<size_t> bitmap_bits_offset(const uint8_t* data, size_t size) {
    if (size < info_header_size) return std::nullopt;
    uint32_t header_size = read32(data);
    auto width = static_cast<int32_t>(read32(data + 4));
    auto height = static_cast<int32_t>(read32(data + 8));
    uint16_t bits = read16(data + 14);
    uint32_t compression = read32(data + 16);
    uint32_t used = read32(data + 32);
    if (header_size < info_header_size || header_size > size || !valid_depth(bits))
        return std::nullopt;
    if (width <= 0 || width > largest_dimension || height == 0 || height < -largest_dimension ||
        height > largest_dimension)
        return std::nullopt;
    bool masks = compression == compression_bitfields;
    if (compression != compression_rgb && !(masks && (bits == 16 || bits == 32)))
        return std::nullopt;

    size_t offset = header_size;
    // The three colour masks follow a plain info header; later headers hold them inside.
    if (masks && header_size == info_header_size) offset += 12;
    size_t palette_limit = bits <= 8 ? size_t(1) << bits : 256;
    size_t colours = bits <= 8 && used == 0 ? palette_limit : used;
    if (colours > palette_limit) return std::nullopt;
    offset += colours * 4;
    size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    size_t rows = static_cast<size_t>(std::abs(height));
    if (offset > size || (size - offset) / stride < rows) return std::nullopt;
    return offset;
}

} // namespace winapi::resource
