#include "resource/cursor_image.h"

#include "resource/byte_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace winapi::resource {

namespace {

constexpr size_t group_header_size = 6; // reserved, type, count
constexpr size_t group_entry_size = 14; // width, height, planes, bit count, bytes, id
constexpr uint16_t group_type_cursor = 2;
constexpr int standard_cursor_size = 32;
constexpr int largest_cursor_size = 256;

// The fields of the bitmap header a cursor needs, checked for sense.
struct ImageLayout {
    int width = 0;
    int height = 0; // of the image, half the header's height
    bool bottom_up = true;
    int bit_count = 0;
    size_t colours = 0; // entries in the colour table
    size_t table_offset = 0;
    size_t colour_stride = 0;
    size_t mask_stride = 0;
};

std::optional<ImageLayout> read_layout(const uint8_t* data, size_t size) {
    if (size < 40) return std::nullopt;
    const ByteReader bytes(data, size);
    auto [header_size, width, height, bit_count, compression, used] = read_info_header(bytes);
    if (header_size < 40 || header_size > size || compression != 0) return std::nullopt;
    if (bit_count != 1 && bit_count != 4 && bit_count != 8 && bit_count != 24 && bit_count != 32)
        return std::nullopt;
    if (width <= 0 || width > largest_cursor_size || height == 0 ||
        std::abs(height) > 2 * largest_cursor_size || std::abs(height) % 2 != 0)
        return std::nullopt;
    ImageLayout layout;
    layout.width = width;
    layout.height = std::abs(height) / 2;
    layout.bottom_up = height > 0;
    layout.bit_count = bit_count;
    size_t palette_limit = bit_count <= 8 ? size_t(1) << bit_count : 0;
    layout.colours = used && used < palette_limit ? used : palette_limit;
    layout.table_offset = header_size;
    layout.colour_stride = ((static_cast<size_t>(width) * bit_count + 31) / 32) * 4;
    layout.mask_stride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    return layout;
}

// The colour of pixel x of a colour row, as 0xAARRGGBB; alpha only from 32-bit images.
uint32_t colour_at(const ImageLayout& layout, const uint8_t* table, const uint8_t* row, int x) {
    auto from_table = [&](size_t index) -> uint32_t {
        if (index >= layout.colours) return 0;
        return ByteReader(table, layout.colours * 4).u32(index * 4) & 0x00ffffff;
    };
    switch (layout.bit_count) {
    case 1:
        return from_table((row[x / 8] >> (7 - x % 8)) & 1);
    case 4:
        return from_table((row[x / 2] >> (x % 2 ? 0 : 4)) & 0xf);
    case 8:
        return from_table(row[x]);
    case 24:
        return row[x * 3] | row[x * 3 + 1] << 8 | row[x * 3 + 2] << 16;
    default:
        return ByteReader(row, layout.colour_stride).u32(static_cast<size_t>(x) * 4);
    }
}

// Combines colour and mask as a display without screen inversion shows them.
uint32_t combine(uint32_t colour, bool masked, bool has_alpha) {
    if (has_alpha) return colour;
    if (!masked) return colour | 0xff000000;
    return (colour & 0x00ffffff) == 0 ? 0 : 0xff000000;
}

} // namespace

std::optional<uint16_t> choose_cursor_image(const uint8_t* data, size_t size) {
    const ByteReader bytes(data, size);
    if (size < group_header_size || bytes.u16(0) != 0 || bytes.u16(2) != group_type_cursor)
        return std::nullopt;
    size_t count = bytes.u16(4);
    std::optional<uint16_t> chosen;
    int best_distance = 0;
    int best_bits = 0;
    for (size_t i = 0; i < count; ++i) {
        size_t offset = group_header_size + i * group_entry_size;
        if (offset > size || size - offset < group_entry_size) break;
        int distance = std::abs(static_cast<int>(bytes.u16(offset)) - standard_cursor_size);
        int bits = bytes.u16(offset + 6);
        if (chosen &&
            (distance > best_distance || (distance == best_distance && bits <= best_bits)))
            continue;
        chosen = bytes.u16(offset + 12);
        best_distance = distance;
        best_bits = bits;
    }
    return chosen;
}

std::optional<Cursor> decode_cursor_bitmap(const uint8_t* data, size_t size) {
    std::optional<ImageLayout> layout = read_layout(data, size);
    if (!layout) return std::nullopt;
    size_t colour_offset = layout->table_offset + layout->colours * 4;
    size_t colour_size = layout->colour_stride * layout->height;
    size_t mask_size = layout->mask_stride * layout->height;
    if (colour_offset > size || size - colour_offset < colour_size + mask_size) return std::nullopt;
    const uint8_t* colours = data + colour_offset;
    const uint8_t* mask = colours + colour_size;

    Cursor cursor;
    cursor.width = layout->width;
    cursor.height = layout->height;
    cursor.pixels.resize(static_cast<size_t>(cursor.width) * cursor.height);
    bool has_alpha = false;
    for (int y = 0; y < cursor.height; ++y) {
        int stored = layout->bottom_up ? cursor.height - 1 - y : y;
        const uint8_t* colour_row = colours + stored * layout->colour_stride;
        for (int x = 0; x < cursor.width; ++x) {
            uint32_t colour = colour_at(*layout, data + layout->table_offset, colour_row, x);
            has_alpha = has_alpha || (colour >> 24) != 0;
            cursor.pixels[static_cast<size_t>(y) * cursor.width + x] = colour;
        }
    }
    for (int y = 0; y < cursor.height; ++y) {
        int stored = layout->bottom_up ? cursor.height - 1 - y : y;
        const uint8_t* mask_row = mask + stored * layout->mask_stride;
        for (int x = 0; x < cursor.width; ++x) {
            uint32_t& pixel = cursor.pixels[static_cast<size_t>(y) * cursor.width + x];
            pixel = combine(pixel, (mask_row[x / 8] >> (7 - x % 8)) & 1, has_alpha);
        }
    }
    return cursor;
}

std::optional<Cursor> decode_cursor_resource(const uint8_t* data, size_t size) {
    if (size < 4) return std::nullopt;
    const ByteReader bytes(data, size);
    std::optional<Cursor> cursor = decode_cursor_bitmap(data + 4, size - 4);
    if (!cursor) return std::nullopt;
    // A hot spot outside the image is kept on its edge, where the pointer can still be.
    cursor->hot_spot = {std::min<LONG>(bytes.u16(0), cursor->width - 1),
                        std::min<LONG>(bytes.u16(2), cursor->height - 1)};
    return cursor;
}

} // namespace winapi::resource
