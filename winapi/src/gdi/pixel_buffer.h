// One view type for every kind of pixel storage GDI draws into or reads from: window
// surfaces, device-dependent bitmaps, DIB sections of any supported depth and the packed
// DIBs that callers hand to StretchDIBits. The rasteriser only ever talks to this view, so
// drawing into a DIB section changes the caller-visible bits directly, and bits the caller
// wrote are what the next transfer reads.
#pragma once

#include <windef.h>

#include <cstddef>
#include <cstdint>

namespace winapi::gdi {

// Colours inside the rasteriser are 0x00RRGGBB, the layout of a 32-bit pixel; COLORREF is
// 0x00BBGGRR. These two convert between them (the flag byte of a COLORREF is dropped).
inline uint32_t rgb_from_colorref(COLORREF c) {
    return ((c & 0xffu) << 16) | (c & 0xff00u) | ((c >> 16) & 0xffu);
}
inline COLORREF colorref_from_rgb(uint32_t rgb) {
    return ((rgb & 0xffu) << 16) | (rgb & 0xff00u) | ((rgb >> 16) & 0xffu);
}

// Where one colour channel sits in a 16-bit pixel.
struct ChannelMask {
    uint32_t mask = 0;
    int shift = 0; // position of the lowest mask bit
    int bits = 0;  // number of mask bits

    static constexpr ChannelMask from(uint32_t mask) {
        ChannelMask m;
        m.mask = mask;
        if (mask == 0) return m;
        while (((mask >> m.shift) & 1u) == 0)
            ++m.shift;
        while (m.shift + m.bits < 32 && ((mask >> (m.shift + m.bits)) & 1u) != 0)
            ++m.bits;
        return m;
    }
    uint32_t extract(uint32_t pixel) const; // the channel scaled to 0..255
    uint32_t insert(uint32_t value) const;  // a 0..255 value placed in the channel
};

struct PixelBuffer {
    uint8_t* top = nullptr; // first byte of the top row
    ptrdiff_t pitch = 0;    // bytes from one row to the row below it; negative when bottom-up
    int width = 0;
    int height = 0;
    int bpp = 32; // 1, 4, 8, 16, 24 or 32

    // Colour table of 1, 4 and 8 bits per pixel, 0x00RRGGBB entries.
    const uint32_t* palette = nullptr;
    int palette_size = 0;

    // Channel layout of 16 bits per pixel (5-5-5 unless set otherwise).
    ChannelMask red = ChannelMask::from(0x7c00);
    ChannelMask green = ChannelMask::from(0x03e0);
    ChannelMask blue = ChannelMask::from(0x001f);

    // Or'ed into every 32-bit pixel written: window surfaces are opaque, bitmaps keep 0 there.
    uint32_t alpha = 0;

    // A monochrome device-dependent bitmap: bit-block transfers to and from colour map it
    // through the text and background colours instead of its colour table.
    bool monochrome = false;

    uint8_t* row(int y) const { return top + static_cast<ptrdiff_t>(y) * pitch; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    // The colour at (x, y), which must lie inside the buffer.
    uint32_t get(int x, int y) const;
    // Stores the nearest representable colour at (x, y), which must lie inside the buffer.
    void put(int x, int y, uint32_t rgb) const;

    // The colour table index at (x, y) of a 1, 4 or 8-bit buffer, and storing one.
    uint32_t get_index(int x, int y) const;
    void put_index(int x, int y, uint32_t index) const;

    // The colour a write of `rgb` actually stores: itself for 24 and 32 bits, the nearest
    // entry of the colour table, or the 16-bit rounding.
    uint32_t representable(uint32_t rgb) const;

  private:
    uint32_t nearest_index(uint32_t rgb) const;
    mutable uint32_t m_last_rgb = 0xffffffffu;
    mutable uint32_t m_last_index = 0;
};

// Bytes per row of a DIB: rows are padded to a multiple of four bytes.
inline int dib_stride(int width, int bpp) {
    return static_cast<int>(((static_cast<int64_t>(width) * bpp + 31) / 32) * 4);
}

} // namespace winapi::gdi
