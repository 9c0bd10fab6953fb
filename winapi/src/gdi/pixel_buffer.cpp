#include "gdi/pixel_buffer.h"

#include <cstring>

namespace winapi::gdi {

uint32_t ChannelMask::extract(uint32_t pixel) const {
    if (bits == 0) return 0;
    uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return (value >> (bits - 8)) & 0xffu;
    // Repeat the channel's bits downwards so that the largest value becomes 255.
    uint32_t result = value << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits)
        result |= result >> bits;
    return result & 0xffu;
}

uint32_t ChannelMask::insert(uint32_t value) const {
    if (bits == 0) return 0;
    uint32_t scaled = bits >= 8 ? value << (bits - 8) : value >> (8 - bits);
    return (scaled << shift) & mask;
}

uint32_t PixelBuffer::get_index(int x, int y) const {
    const uint8_t* p = row(y);
    switch (bpp) {
    case 8:
        return p[x];
    case 4:
        return (x & 1) ? (p[x / 2] & 0x0fu) : (p[x / 2] >> 4);
    case 1:
        return (p[x / 8] >> (7 - (x & 7))) & 1u;
    default:
        return 0;
    }
}

void PixelBuffer::put_index(int x, int y, uint32_t index) const {
    uint8_t* p = row(y);
    switch (bpp) {
    case 8:
        p[x] = static_cast<uint8_t>(index);
        break;
    case 4: {
        uint8_t& byte = p[x / 2];
        byte = (x & 1) ? static_cast<uint8_t>((byte & 0xf0u) | (index & 0x0fu))
                       : static_cast<uint8_t>((byte & 0x0fu) | ((index & 0x0fu) << 4));
        break;
    }
    case 1: {
        uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
        uint8_t& byte = p[x / 8];
        byte = (index & 1u) ? static_cast<uint8_t>(byte | bit) : static_cast<uint8_t>(byte & ~bit);
        break;
    }
    default:
        break;
    }
}

uint32_t PixelBuffer::get(int x, int y) const {
    const uint8_t* p = row(y);
    switch (bpp) {
    case 32: {
        uint32_t value;
        std::memcpy(&value, p + static_cast<ptrdiff_t>(x) * 4, 4);
        return value & 0xffffffu;
    }
    case 24: {
        const uint8_t* q = p + static_cast<ptrdiff_t>(x) * 3;
        return (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0];
    }
    case 16: {
        uint16_t value;
        std::memcpy(&value, p + static_cast<ptrdiff_t>(x) * 2, 2);
        return (red.extract(value) << 16) | (green.extract(value) << 8) | blue.extract(value);
    }
    default: {
        uint32_t index = get_index(x, y);
        return index < static_cast<uint32_t>(palette_size) ? palette[index] : 0;
    }
    }
}

void PixelBuffer::put(int x, int y, uint32_t rgb) const {
    uint8_t* p = row(y);
    switch (bpp) {
    case 32: {
        uint32_t value = (rgb & 0xffffffu) | alpha;
        std::memcpy(p + static_cast<ptrdiff_t>(x) * 4, &value, 4);
        break;
    }
    case 24: {
        uint8_t* q = p + static_cast<ptrdiff_t>(x) * 3;
        q[0] = static_cast<uint8_t>(rgb);
        q[1] = static_cast<uint8_t>(rgb >> 8);
        q[2] = static_cast<uint8_t>(rgb >> 16);
        break;
    }
    case 16: {
        uint16_t value =
            static_cast<uint16_t>(red.insert((rgb >> 16) & 0xffu) |
                                  green.insert((rgb >> 8) & 0xffu) | blue.insert(rgb & 0xffu));
        std::memcpy(p + static_cast<ptrdiff_t>(x) * 2, &value, 2);
        break;
    }
    default:
        put_index(x, y, nearest_index(rgb));
        break;
    }
}

uint32_t PixelBuffer::representable(uint32_t rgb) const {
    rgb &= 0xffffffu;
    switch (bpp) {
    case 32:
    case 24:
        return rgb;
    case 16: {
        uint32_t r = red.extract(red.insert((rgb >> 16) & 0xffu));
        uint32_t g = green.extract(green.insert((rgb >> 8) & 0xffu));
        uint32_t b = blue.extract(blue.insert(rgb & 0xffu));
        return (r << 16) | (g << 8) | b;
    }
    default:
        return palette_size > 0 ? palette[nearest_index(rgb)] : 0;
    }
}

uint32_t PixelBuffer::nearest_index(uint32_t rgb) const {
    rgb &= 0xffffffu;
    if (rgb == m_last_rgb) return m_last_index;
    uint32_t best = 0;
    uint32_t best_distance = 0xffffffffu;
    for (int i = 0; i < palette_size; ++i) {
        int dr = int((palette[i] >> 16) & 0xff) - int((rgb >> 16) & 0xff);
        int dg = int((palette[i] >> 8) & 0xff) - int((rgb >> 8) & 0xff);
        int db = int(palette[i] & 0xff) - int(rgb & 0xff);
        uint32_t distance = static_cast<uint32_t>(dr * dr + dg * dg + db * db);
        if (distance < best_distance) {
            best_distance = distance;
            best = static_cast<uint32_t>(i);
            if (distance == 0) break;
        }
    }
    m_last_rgb = rgb;
    m_last_index = best;
    return best;
}

} // namespace winapi::gdi
