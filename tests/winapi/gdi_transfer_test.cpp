// Bit-block transfers: BitBlt and StretchBlt between contexts, StretchDIBits and
// SetDIBitsToDevice from DIBs in memory.
#include "gdi_test_support.h"

#include "gdi/surface_dc.h"

using namespace gdi_test;

namespace {

// Paints a 2 x 2 source: red, green / blue, black.
void paint_quad(HDC dc) {
    SetPixel(dc, 0, 0, kRed);
    SetPixel(dc, 1, 0, kGreen);
    SetPixel(dc, 0, 1, kBlue);
    SetPixel(dc, 1, 1, kBlack);
}

// The colours of a block as letters: r, g, b, k (black), w (white), ? otherwise.
std::string letters(HDC dc, int x0, int y0, int width, int height) {
    std::string out;
    for (int y = y0; y < y0 + height; ++y) {
        if (y != y0) out += '/';
        for (int x = x0; x < x0 + width; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            out += c == kRed     ? 'r'
                   : c == kGreen ? 'g'
                   : c == kBlue  ? 'b'
                   : c == kBlack ? 'k'
                   : c == kWhite ? 'w'
                                 : '?';
        }
    }
    return out;
}

} // namespace

TEST(GdiTransfers, BitBltCopiesBetweenMemoryContexts) {
    Canvas source(2, 2);
    paint_quad(source.dc);
    Canvas dest(4, 4);
    EXPECT_TRUE(BitBlt(dest.dc, 1, 2, 2, 2, source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ("wwww/wwww/wrgw/wbkw", letters(dest.dc, 0, 0, 4, 4));
    // A source rectangle partly outside the source copies only what exists.
    dest.clear(kWhite);
    EXPECT_TRUE(BitBlt(dest.dc, 0, 0, 3, 3, source.dc, 1, 1, SRCCOPY));
    EXPECT_EQ("kww/www/www", letters(dest.dc, 0, 0, 3, 3));
}

TEST(GdiTransfers, BitBltCombinesWithTheDestination) {
    Canvas source(1, 1);
    SetPixel(source.dc, 0, 0, RGB(0xf0, 0x0f, 0x55));
    Canvas dest(1, 1);
    SetPixel(dest.dc, 0, 0, RGB(0xff, 0x00, 0x0f));
    EXPECT_TRUE(BitBlt(dest.dc, 0, 0, 1, 1, source.dc, 0, 0, SRCINVERT));
    EXPECT_TRUE(pixel_is(dest.dc, 0, 0, RGB(0x0f, 0x0f, 0x5a)));
    EXPECT_TRUE(BitBlt(dest.dc, 0, 0, 1, 1, source.dc, 0, 0, SRCAND));
    EXPECT_TRUE(pixel_is(dest.dc, 0, 0, RGB(0x00, 0x0f, 0x50)));
    EXPECT_TRUE(BitBlt(dest.dc, 0, 0, 1, 1, nullptr, 0, 0, WHITENESS));
    EXPECT_TRUE(pixel_is(dest.dc, 0, 0, kWhite));
    EXPECT_TRUE(BitBlt(dest.dc, 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_TRUE(pixel_is(dest.dc, 0, 0, kBlack));
    SelectObject(dest.dc, GetStockObject(LTGRAY_BRUSH));
    EXPECT_TRUE(BitBlt(dest.dc, 0, 0, 1, 1, nullptr, 0, 0, PATCOPY));
    EXPECT_TRUE(pixel_is(dest.dc, 0, 0, RGB(192, 192, 192)));
    // An operation that reads a source needs one.
    SetLastError(0);
    EXPECT_FALSE(BitBlt(dest.dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

TEST(GdiTransfers, BitBltWithinOneContextMovesOverlappingAreasIntact) {
    Canvas canvas(5, 1);
    for (int x = 0; x < 5; ++x)
        SetPixel(canvas.dc, x, 0, RGB(x * 10, 0, 0));
    EXPECT_TRUE(BitBlt(canvas.dc, 1, 0, 4, 1, canvas.dc, 0, 0, SRCCOPY));
    const COLORREF expected[] = {RGB(0, 0, 0), RGB(0, 0, 0), RGB(10, 0, 0), RGB(20, 0, 0),
                                 RGB(30, 0, 0)};
    for (int x = 0; x < 5; ++x)
        EXPECT_TRUE(pixel_is(canvas.dc, x, 0, expected[x]));
}

TEST(GdiTransfers, StretchBltScalesUpAndDownByNearestPixel) {
    Canvas source(2, 2);
    paint_quad(source.dc);
    Canvas big(4, 4);
    EXPECT_TRUE(StretchBlt(big.dc, 0, 0, 4, 4, source.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ("rrgg/rrgg/bbkk/bbkk", letters(big.dc, 0, 0, 4, 4));
    Canvas small(1, 1);
    EXPECT_TRUE(StretchBlt(small.dc, 0, 0, 1, 1, big.dc, 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ("k", letters(small.dc, 0, 0, 1, 1)); // the centre sample of a 4 x 4 block
    Canvas wide(6, 2);
    EXPECT_TRUE(StretchBlt(wide.dc, 0, 0, 6, 1, source.dc, 0, 0, 2, 2, SRCCOPY));
    // One row out of two: the sample at the row's centre is the second row.
    EXPECT_EQ("bbbkkk/wwwwww", letters(wide.dc, 0, 0, 6, 2));
}

TEST(GdiTransfers, StretchBltMirrorsWhenExtentSignsDiffer) {
    Canvas source(2, 2);
    paint_quad(source.dc);
    struct Case {
        const char* what;
        int x, y, width, height, sx, sy, swidth, sheight;
        const char* expected;
    } cases[] = {
        {"plain", 0, 0, 2, 2, 0, 0, 2, 2, "rg/bk"},
        {"negative destination width", 2, 0, -2, 2, 0, 0, 2, 2, "gr/kb"},
        {"negative source height", 0, 0, 2, 2, 0, 2, 2, -2, "bk/rg"},
        {"both negative on one axis", 2, 0, -2, 2, 2, 0, -2, 2, "rg/bk"},
        {"both axes", 2, 2, -2, -2, 0, 0, 2, 2, "kb/gr"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas dest(2, 2);
        EXPECT_TRUE(StretchBlt(dest.dc, c.x, c.y, c.width, c.height, source.dc, c.sx, c.sy,
                               c.swidth, c.sheight, SRCCOPY));
        EXPECT_EQ(c.expected, letters(dest.dc, 0, 0, 2, 2));
    }
}

TEST(GdiTransfers, StretchBltModesAreAcceptedAndRemembered) {
    Canvas canvas(1, 1);
    EXPECT_EQ(BLACKONWHITE, GetStretchBltMode(canvas.dc));
    EXPECT_EQ(BLACKONWHITE, SetStretchBltMode(canvas.dc, HALFTONE));
    EXPECT_EQ(HALFTONE, SetStretchBltMode(canvas.dc, COLORONCOLOR));
    EXPECT_EQ(0, SetStretchBltMode(canvas.dc, 9));
    POINT old{-1, -1};
    EXPECT_TRUE(SetBrushOrgEx(canvas.dc, 3, 4, &old));
    EXPECT_EQ(0, old.x);
    EXPECT_TRUE(SetBrushOrgEx(canvas.dc, 0, 0, &old));
    EXPECT_EQ(4, old.y);
}

// An 8-bit DIB as a resource or a decoder hands it over: colour table, bottom-up rows padded
// from 3 to 4 bytes.
TEST(GdiTransfers, StretchDIBitsDrawsAPalettedBottomUpDib) {
    PackedDib dib = make_dib(3, 2, 8, false, {kRed, kGreen, kBlue, kBlue, kBlack, kRed},
                             {kBlack, kRed, kGreen, kBlue});
    ASSERT_EQ(8u, dib.bits.size());
    Canvas dest(3, 2);
    EXPECT_EQ(2, StretchDIBits(dest.dc, 0, 0, 3, 2, 0, 0, 3, 2, dib.bits.data(), dib.info(),
                               DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ("rgb/bkr", letters(dest.dc, 0, 0, 3, 2));
}

TEST(GdiTransfers, StretchDIBitsDrawsTwentyFourBitRowsWithPadding) {
    // 3 pixels of 24 bits: 9 bytes of pixels and 3 of padding in every row.
    PackedDib dib = make_dib(3, 2, 24, false, {kRed, kGreen, kBlue, kBlack, kWhite, kRed});
    ASSERT_EQ(24u, dib.bits.size());
    Canvas dest(6, 4);
    EXPECT_EQ(2, StretchDIBits(dest.dc, 0, 0, 6, 4, 0, 0, 3, 2, dib.bits.data(), dib.info(),
                               DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ("rrggbb/rrggbb/kkwwrr/kkwwrr", letters(dest.dc, 0, 0, 6, 4));
}

TEST(GdiTransfers, StretchDIBitsSourceRowsCountFromTheBottomOfABottomUpDib) {
    // Three rows: red (top), green, blue (bottom).
    PackedDib bottom_up = make_dib(1, 3, 32, false, {kRed, kGreen, kBlue});
    PackedDib top_down = make_dib(1, 3, 32, true, {kRed, kGreen, kBlue});
    Canvas dest(1, 1);
    // ySrc 0 with one row is the bottom row of a bottom-up DIB...
    StretchDIBits(dest.dc, 0, 0, 1, 1, 0, 0, 1, 1, bottom_up.bits.data(), bottom_up.info(),
                  DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ("b", letters(dest.dc, 0, 0, 1, 1));
    // ...and the top row of a top-down one.
    StretchDIBits(dest.dc, 0, 0, 1, 1, 0, 0, 1, 1, top_down.bits.data(), top_down.info(),
                  DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ("r", letters(dest.dc, 0, 0, 1, 1));
    // A negative destination height turns a movie frame upside down.
    Canvas flipped(1, 3);
    StretchDIBits(flipped.dc, 0, 3, 1, -3, 0, 0, 1, 3, top_down.bits.data(), top_down.info(),
                  DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ("b/g/r", letters(flipped.dc, 0, 0, 1, 3));
}

// A 32-bit picture shown at its own size is copied row by row; the copy must still start at
// the source offset, skip what lies outside the source and stay inside the destination.
TEST(GdiTransfers, StretchDIBitsAtEqualSizeCopiesFromTheSourceOffset) {
    PackedDib dib = make_dib(3, 2, 32, true, {kRed, kGreen, kBlue, kBlack, kWhite, kRed});
    Canvas dest(4, 3);
    EXPECT_EQ(2, StretchDIBits(dest.dc, 1, 1, 3, 2, 0, 0, 3, 2, dib.bits.data(), dib.info(),
                               DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ("wwww/wrgb/wkwr", letters(dest.dc, 0, 0, 4, 3));
    dest.clear(kWhite);
    // From the second column on: the last destination column has no source pixel.
    EXPECT_EQ(2, StretchDIBits(dest.dc, 0, 0, 3, 2, 1, 0, 3, 2, dib.bits.data(), dib.info(),
                               DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ("gbww/wrww/wwww", letters(dest.dc, 0, 0, 4, 3));
    dest.clear(kWhite);
    // Reaching past the destination's right edge: only what fits is written.
    EXPECT_EQ(2, StretchDIBits(dest.dc, 2, 0, 3, 2, 0, 0, 3, 2, dib.bits.data(), dib.info(),
                               DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ("wwrg/wwkw/wwww", letters(dest.dc, 0, 0, 4, 3));
}

TEST(GdiTransfers, StretchDIBitsRefusesBadInput) {
    Canvas dest(2, 2);
    PackedDib dib = make_dib(1, 1, 32, false, {kRed});
    SetLastError(0);
    EXPECT_EQ(0, StretchDIBits(dest.dc, 0, 0, 1, 1, 0, 0, 1, 1, nullptr, dib.info(), DIB_RGB_COLORS,
                               SRCCOPY));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, StretchDIBits(dest.dc, 0, 0, 1, 1, 0, 0, 1, 1, dib.bits.data(), nullptr,
                               DIB_RGB_COLORS, SRCCOPY));
    dib.info()->bmiHeader.biBitCount = 12;
    EXPECT_EQ(0, StretchDIBits(dest.dc, 0, 0, 1, 1, 0, 0, 1, 1, dib.bits.data(), dib.info(),
                               DIB_RGB_COLORS, SRCCOPY));
    dib.info()->bmiHeader.biBitCount = 32;
    EXPECT_EQ(0, StretchDIBits(nullptr, 0, 0, 1, 1, 0, 0, 1, 1, dib.bits.data(), dib.info(),
                               DIB_RGB_COLORS, SRCCOPY));
    EXPECT_TRUE(pixel_is(dest.dc, 0, 0, kWhite));
}

TEST(GdiTransfers, SetDIBitsToDeviceDrawsWholeDibsAndBands) {
    PackedDib dib = make_dib(2, 3, 24, false, {kRed, kGreen, kBlue, kBlack, kGreen, kRed});
    Canvas dest(3, 4);
    EXPECT_EQ(3, SetDIBitsToDevice(dest.dc, 1, 1, 2, 3, 0, 0, 0, 3, dib.bits.data(), dib.info(),
                                   DIB_RGB_COLORS));
    EXPECT_EQ("www/wrg/wbk/wgr", letters(dest.dc, 0, 0, 3, 4));
    // One band: scan 1 (the middle row) alone, its bits holding just that row.
    dest.clear(kWhite);
    const uint8_t* middle = dib.bits.data() + 8; // second row in memory, rows of 8 bytes
    EXPECT_EQ(
        1, SetDIBitsToDevice(dest.dc, 0, 0, 2, 3, 0, 0, 1, 1, middle, dib.info(), DIB_RGB_COLORS));
    EXPECT_EQ("ww/bk/ww", letters(dest.dc, 0, 0, 2, 3));
    // The source origin is the lower-left corner: ySrc 1 skips the bottom row.
    dest.clear(kWhite);
    SetDIBitsToDevice(dest.dc, 0, 0, 2, 2, 0, 1, 0, 3, dib.bits.data(), dib.info(), DIB_RGB_COLORS);
    EXPECT_EQ("rg/bk/ww", letters(dest.dc, 0, 0, 2, 3));
}

TEST(GdiTransfers, TransfersHonourTheDestinationMappingAndClip) {
    Canvas source(2, 2);
    paint_quad(source.dc);
    Canvas dest(4, 4);
    SetViewportOrgEx(dest.dc, 2, 2, nullptr);
    EXPECT_TRUE(BitBlt(dest.dc, -1, -1, 2, 2, source.dc, 0, 0, SRCCOPY));
    SetViewportOrgEx(dest.dc, 0, 0, nullptr);
    EXPECT_EQ("wwww/wrgw/wbkw/wwww", letters(dest.dc, 0, 0, 4, 4));
    // Pixels that would land outside the bitmap are dropped.
    dest.clear(kWhite);
    SetViewportOrgEx(dest.dc, 2, 2, nullptr);
    EXPECT_TRUE(BitBlt(dest.dc, 1, 1, 2, 2, source.dc, 0, 0, SRCCOPY));
    SetViewportOrgEx(dest.dc, 0, 0, nullptr);
    EXPECT_EQ("wwww/wwww/wwww/wwwr", letters(dest.dc, 0, 0, 4, 4));
}

// Movie frames reach windows this way: scaled, opaque, and never past the window's clip.
TEST(GdiTransfers, StretchDIBitsIntoAWindowContextStaysInsideItsClip) {
    winapi::Surface surface;
    surface.resize(6, 4, 0xff000000u);
    HDC dc = winapi::gdi::open_surface_dc(&surface, POINT{1, 1}, RECT{1, 1, 4, 3});
    PackedDib dib = make_dib(1, 1, 32, false, {kRed});
    EXPECT_EQ(1, StretchDIBits(dc, -5, -5, 20, 20, 0, 0, 1, 1, dib.bits.data(), dib.info(),
                               DIB_RGB_COLORS, SRCCOPY));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(inside ? 0xffff0000u : 0xff000000u, surface.pixels[size_t(y) * 6 + x])
                << "surface pixel (" << x << ", " << y << ")";
        }
    }
    winapi::gdi::close_surface_dc(dc);
}

TEST(GdiTransfers, BadContextsFailTransfers) {
    Canvas canvas(2, 2);
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    SetLastError(0);
    EXPECT_FALSE(BitBlt(canvas.dc, 0, 0, 1, 1, gone, 0, 0, SRCCOPY));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_FALSE(BitBlt(gone, 0, 0, 1, 1, canvas.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(StretchBlt(canvas.dc, 0, 0, 2, 2, reinterpret_cast<HDC>(canvas.bitmap), 0, 0, 1, 1,
                            SRCCOPY));
    EXPECT_TRUE(pixel_is(canvas.dc, 1, 1, kWhite));
}
