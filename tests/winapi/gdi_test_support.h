// Helpers shared by the GDI tests: a small 32-bit drawing surface behind a memory device
// context, and pixel checks that fail with "expected X, got Y".
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace gdi_test {

inline std::string hex(COLORREF c) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06x", static_cast<unsigned>(c));
    return text;
}

// GetPixel(x, y) equals the expected colour.
inline ::testing::AssertionResult pixel_is(HDC dc, int x, int y, COLORREF expected) {
    COLORREF got = GetPixel(dc, x, y);
    if (got == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << "): expected "
                                         << hex(expected) << ", got " << hex(got);
}

// Pixels [x0, x1) of row y as characters: '#' for `ink`, '.' for anything else. Comparing
// these strings shows the whole row when a check fails.
inline std::string row(HDC dc, int y, int x0, int x1, COLORREF ink) {
    std::string out;
    for (int x = x0; x < x1; ++x)
        out += GetPixel(dc, x, y) == ink ? '#' : '.';
    return out;
}

// The same for column x, rows [y0, y1).
inline std::string column(HDC dc, int x, int y0, int y1, COLORREF ink) {
    std::string out;
    for (int y = y0; y < y1; ++y)
        out += GetPixel(dc, x, y) == ink ? '#' : '.';
    return out;
}

// Whether any pixel of the rectangle differs from `background`, and the bounding box of
// those that do.
inline bool ink_bounds(HDC dc, RECT area, COLORREF background, RECT& bounds) {
    bounds = RECT{area.right, area.bottom, area.left, area.top};
    bool any = false;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (GetPixel(dc, x, y) != background) {
                any = true;
                if (x < bounds.left) bounds.left = x;
                if (y < bounds.top) bounds.top = y;
                if (x + 1 > bounds.right) bounds.right = x + 1;
                if (y + 1 > bounds.bottom) bounds.bottom = y + 1;
            }
    return any;
}

inline BITMAPINFO dib_info(int width, int height, int bpp) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A memory device context with a top-down 32-bit DIB section selected, every pixel white.
// `bits` are the section's pixels, 0x00RRGGBB, row by row from the top.
class Canvas {
  public:
    Canvas(int width, int height) : m_width(width), m_height(height) {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info = dib_info(width, height, 32);
        info.bmiHeader.biHeight = -height;
        void* pixels = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        bits = static_cast<uint32_t*>(pixels);
        m_previous = SelectObject(dc, bitmap);
        clear(RGB(255, 255, 255));
    }
    ~Canvas() {
        SelectObject(dc, m_previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void clear(COLORREF color) {
        uint32_t rgb = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
        for (int i = 0; i < m_width * m_height; ++i)
            bits[i] = rgb;
    }
    uint32_t at(int x, int y) const { return bits[y * m_width + x] & 0xffffffu; }

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    uint32_t* bits = nullptr;

  private:
    int m_width;
    int m_height;
    HGDIOBJ m_previous = nullptr;
};

// A packed DIB built by the test: BITMAPINFO (header and colour table) and the pixel rows,
// rows padded to four bytes, bottom row first unless top-down.
struct PackedDib {
    std::vector<uint8_t> info_bytes;
    std::vector<uint8_t> bits;
    const BITMAPINFO* info() const {
        return reinterpret_cast<const BITMAPINFO*>(info_bytes.data());
    }
    BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(info_bytes.data()); }
};

// `pixels` lists colours row by row from the top. Depths up to 8 bits store the index of
// each colour in `palette`, which must hold it.
inline PackedDib make_dib(int width, int height, int bpp, bool top_down,
                          const std::vector<COLORREF>& pixels,
                          const std::vector<COLORREF>& palette = {}) {
    PackedDib dib;
    dib.info_bytes.resize(sizeof(BITMAPINFOHEADER) + palette.size() * sizeof(RGBQUAD));
    BITMAPINFO info = dib_info(width, top_down ? -height : height, bpp);
    info.bmiHeader.biClrUsed = static_cast<DWORD>(palette.size());
    std::memcpy(dib.info_bytes.data(), &info.bmiHeader, sizeof info.bmiHeader);
    for (size_t i = 0; i < palette.size(); ++i) {
        RGBQUAD q{GetBValue(palette[i]), GetGValue(palette[i]), GetRValue(palette[i]), 0};
        std::memcpy(dib.info_bytes.data() + sizeof(BITMAPINFOHEADER) + i * 4, &q, 4);
    }
    int stride = ((width * bpp + 31) / 32) * 4;
    dib.bits.assign(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* line =
            dib.bits.data() + static_cast<size_t>(top_down ? y : height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            COLORREF c = pixels[static_cast<size_t>(y * width + x)];
            if (bpp <= 8) {
                unsigned index = 0;
                while (index < palette.size() && palette[index] != c)
                    ++index;
                int bit = x * bpp;
                line[bit / 8] |= static_cast<uint8_t>(index << (8 - bpp - bit % 8));
            } else {
                uint8_t* p = line + x * (bpp / 8);
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        }
    }
    return dib;
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

} // namespace gdi_test
