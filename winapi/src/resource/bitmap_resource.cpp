#include "resource/bitmap_resource.h"

#include "resource/byte_reader.h"

#include <cstdlib>

namespace winapi::resource {

namespace {

constexpr uint32_t info_header_size = 40;
constexpr uint32_t compression_rgb = 0;
constexpr uint32_t compression_bitfields = 3;
constexpr int32_t largest_dimension = 1 << 15;

bool valid_depth(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

std::optional<size_t> bitmap_bits_offset(const uint8_t* data, size_t size) {
    if (size < info_header_size) return std::nullopt;
    const ByteReader bytes(data, size);
    auto [header_size, width, height, bits, compression, used] = read_info_header(bytes);
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
