#include "gdi/dib_format.h"

#include <climits>
#include <cstring>

namespace winapi::gdi {

namespace {

bool supported_depth(int bpp) {
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

// Colour table entries that follow the header: all of them for the palette depths unless
// the header names fewer; none for the direct-colour depths (any entries there are only an
// optimisation hint and play no part in the pixels).
int palette_entries(int bpp, DWORD used) {
    if (bpp > 8) return 0;
    int full = 1 << bpp;
    return (used == 0 || used > static_cast<DWORD>(full)) ? full : static_cast<int>(used);
}

bool parse_core_header(const uint8_t* bytes, DibFormat& format) {
    BITMAPCOREHEADER core;
    std::memcpy(&core, bytes, sizeof core);
    format.width = core.bcWidth;
    format.height = core.bcHeight;
    format.top_down = false;
    format.bpp = core.bcBitCount;
    format.compression = BI_RGB;
    if (!supported_depth(format.bpp)) return false;
    int entries = palette_entries(format.bpp, 0);
    const uint8_t* colors = bytes + sizeof core;
    for (int i = 0; i < entries; ++i) {
        const uint8_t* c = colors + i * 3;
        format.palette.push_back((uint32_t(c[2]) << 16) | (uint32_t(c[1]) << 8) | c[0]);
    }
    format.header_size = sizeof core + static_cast<size_t>(entries) * 3;
    return true;
}

bool read_masks(const uint8_t* bytes, DibFormat& format) {
    std::memcpy(format.masks, bytes + sizeof(BITMAPINFOHEADER), sizeof format.masks);
    if (format.bpp == 32) {
        // Only the standard layout is drawn; other 32-bit layouts are refused, not garbled.
        return format.masks[0] == 0xff0000u && format.masks[1] == 0xff00u &&
               format.masks[2] == 0xffu;
    }
    return format.bpp == 16 && format.masks[0] && format.masks[1] && format.masks[2];
}

bool parse_info_header(const uint8_t* bytes, DibFormat& format) {
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);
    if (header.biHeight == INT_MIN) return false;
    format.width = header.biWidth;
    format.top_down = header.biHeight < 0;
    format.height = format.top_down ? -header.biHeight : header.biHeight;
    format.bpp = header.biBitCount;
    format.compression = header.biCompression;
    if (!supported_depth(format.bpp)) return false;

    size_t masks_size = 0;
    if (format.compression == BI_BITFIELDS) {
        if (!read_masks(bytes, format)) return false;
        // The masks follow a BITMAPINFOHEADER; longer headers hold them at the same place.
        if (header.biSize == sizeof(BITMAPINFOHEADER)) masks_size = sizeof format.masks;
    } else if (format.compression == BI_RGB) {
        if (format.bpp == 16) {
            format.masks[0] = 0x7c00;
            format.masks[1] = 0x03e0;
            format.masks[2] = 0x001f;
        } else if (format.bpp == 32) {
            format.masks[0] = 0xff0000;
            format.masks[1] = 0xff00;
            format.masks[2] = 0xff;
        }
    } else {
        return false;
    }

    int entries = palette_entries(format.bpp, header.biClrUsed);
    const uint8_t* colors = bytes + header.biSize + masks_size;
    for (int i = 0; i < entries; ++i) {
        RGBQUAD q;
        std::memcpy(&q, colors + i * sizeof(RGBQUAD), sizeof q);
        format.palette.push_back((uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) |
                                 q.rgbBlue);
    }
    // Direct-colour DIBs may still carry a colour table; it takes room before the bits.
    size_t table_entries = format.bpp > 8 ? header.biClrUsed : static_cast<size_t>(entries);
    format.header_size = header.biSize + masks_size + table_entries * sizeof(RGBQUAD);
    return true;
}

} // namespace

bool parse_dib_info(const BITMAPINFO* info, UINT usage, DibFormat& format) {
    format = DibFormat{};
    if (info == nullptr || usage != DIB_RGB_COLORS) return false;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(info);
    DWORD size;
    std::memcpy(&size, bytes, sizeof size);
    bool parsed = false;
    if (size == sizeof(BITMAPCOREHEADER)) {
        parsed = parse_core_header(bytes, format);
    } else if (size >= sizeof(BITMAPINFOHEADER)) {
        parsed = parse_info_header(bytes, format);
    }
    if (!parsed || format.width <= 0 || format.height <= 0) return false;
    if (format.width > (1 << 24) || format.height > (1 << 24)) return false;
    format.stride = dib_stride(format.width, format.bpp);
    if (format.image_size() / static_cast<size_t>(format.stride) !=
            static_cast<size_t>(format.height) ||
        format.image_size() > kMaxBitmapBytes)
        return false;
    return true;
}

PixelBuffer DibFormat::view(const void* bits) const {
    PixelBuffer buffer;
    uint8_t* base = static_cast<uint8_t*>(const_cast<void*>(bits));
    buffer.width = width;
    buffer.height = height;
    buffer.bpp = bpp;
    if (top_down) {
        buffer.top = base;
        buffer.pitch = stride;
    } else {
        buffer.top = base + static_cast<ptrdiff_t>(height - 1) * stride;
        buffer.pitch = -static_cast<ptrdiff_t>(stride);
    }
    buffer.palette = palette.data();
    buffer.palette_size = static_cast<int>(palette.size());
    if (bpp == 16) {
        buffer.red = ChannelMask::from(masks[0]);
        buffer.green = ChannelMask::from(masks[1]);
        buffer.blue = ChannelMask::from(masks[2]);
    }
    return buffer;
}

} // namespace winapi::gdi
