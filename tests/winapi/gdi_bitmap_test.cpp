// Bitmaps: DIB sections shared with the caller, device-dependent bitmaps, and moving pixels
// between bitmaps and DIBs.
#include "gdi_test_support.h"

#include "gdi/surface_dc.h"

using namespace gdi_test;

namespace {

// A memory context with a bitmap selected, released in reverse order.
struct Selected {
    Selected(HBITMAP bitmap) : bitmap(bitmap) {
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, bitmap);
    }
    ~Selected() {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ previous;
};

// A 3 x 2 picture in four colours.
const std::vector<COLORREF> kPalette = {kBlack, kRed, kGreen, kBlue};
const std::vector<COLORREF> kPicture = {kRed, kGreen, kBlue, kBlue, kBlack, kRed};

} // namespace

TEST(GdiBitmaps, TopDownDibSectionSharesItsBitsWithDrawing) {
    BITMAPINFO info = dib_info(4, -3, 32);
    void* bits = nullptr;
    Selected s(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_NE(s.bitmap, nullptr);
    ASSERT_NE(bits, nullptr);
    auto* pixels = static_cast<uint32_t*>(bits);
    EXPECT_EQ(0u, pixels[5]); // a new section is black
    SetPixel(s.dc, 1, 0, kRed);
    EXPECT_EQ(0x00ff0000u, pixels[1]);
    pixels[2 * 4 + 3] = 0x0000ff00u; // written by the caller, seen by GDI
    EXPECT_TRUE(pixel_is(s.dc, 3, 2, kGreen));
}

TEST(GdiBitmaps, BottomUpDibSectionKeepsTheTopRowLastWithPaddedRows) {
    // 3 pixels of 24 bits need 9 bytes; rows are padded to 12.
    BITMAPINFO info = dib_info(3, 2, 24);
    void* bits = nullptr;
    Selected s(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_NE(s.bitmap, nullptr);
    auto* bytes = static_cast<uint8_t*>(bits);
    RECT top_row{0, 0, 3, 1};
    HBRUSH brush = CreateSolidBrush(RGB(0x11, 0x22, 0x33));
    FillRect(s.dc, &top_row, brush);
    DeleteObject(brush);
    // The top row is the second row in memory; bytes are blue, green, red.
    EXPECT_EQ(0x33, bytes[12 + 6]);
    EXPECT_EQ(0x22, bytes[12 + 7]);
    EXPECT_EQ(0x11, bytes[12 + 8]);
    EXPECT_EQ(0, bytes[0]);
    bytes[3] = 0xff; // second pixel of the bottom row: blue
    EXPECT_TRUE(pixel_is(s.dc, 1, 1, kBlue));
    BITMAP bm{};
    GetObjectA(s.bitmap, sizeof bm, &bm);
    EXPECT_EQ(12, bm.bmWidthBytes);
    EXPECT_EQ(2, bm.bmHeight);
    EXPECT_EQ(bits, bm.bmBits);
}

TEST(GdiBitmaps, PalettedDibSectionStoresTheNearestColourIndex) {
    PackedDib dib = make_dib(4, 1, 8, true, {kBlack, kBlack, kBlack, kBlack}, kPalette);
    void* bits = nullptr;
    Selected s(CreateDIBSection(nullptr, dib.info(), DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_NE(s.bitmap, nullptr);
    auto* indexes = static_cast<uint8_t*>(bits);
    EXPECT_EQ(kRed, SetPixel(s.dc, 0, 0, RGB(250, 10, 10)));
    EXPECT_EQ(1, indexes[0]);
    indexes[2] = 3;
    EXPECT_TRUE(pixel_is(s.dc, 2, 0, kBlue));
    RECT all{0, 0, 4, 1};
    HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
    FillRect(s.dc, &all, green);
    DeleteObject(green);
    EXPECT_EQ(2, indexes[3]);
}

TEST(GdiBitmaps, OneBitDibSectionUsesTheHighBitFirst) {
    PackedDib dib = make_dib(8, 1, 1, false, std::vector<COLORREF>(8, kBlack), {kBlack, kWhite});
    void* bits = nullptr;
    Selected s(CreateDIBSection(nullptr, dib.info(), DIB_RGB_COLORS, &bits, nullptr, 0));
    SetPixel(s.dc, 0, 0, kWhite);
    SetPixel(s.dc, 6, 0, kWhite);
    EXPECT_EQ(0x82, static_cast<uint8_t*>(bits)[0]);
}

TEST(GdiBitmaps, SixteenBitDibSectionWithMasksStores565) {
    struct {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    } info{};
    info.header = dib_info(2, -1, 16).bmiHeader;
    info.header.biCompression = BI_BITFIELDS;
    info.masks[0] = 0xf800;
    info.masks[1] = 0x07e0;
    info.masks[2] = 0x001f;
    void* bits = nullptr;
    Selected s(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                &bits, nullptr, 0));
    ASSERT_NE(s.bitmap, nullptr);
    EXPECT_EQ(RGB(255, 0, 0), SetPixel(s.dc, 0, 0, kRed));
    EXPECT_EQ(0xf800, static_cast<uint16_t*>(bits)[0]);
    static_cast<uint16_t*>(bits)[1] = 0x07e0;
    EXPECT_TRUE(pixel_is(s.dc, 1, 0, kGreen));
    DIBSECTION ds{};
    EXPECT_EQ(static_cast<int>(sizeof ds), GetObjectA(s.bitmap, sizeof ds, &ds));
    EXPECT_EQ(0x07e0u, ds.dsBitfields[1]);
}

TEST(GdiBitmaps, GetObjectDescribesADibSectionAsBitmapOrDibsection) {
    BITMAPINFO info = dib_info(5, 3, 8);
    info.bmiHeader.biClrUsed = 1; // the one colour BITMAPINFO has room for
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(static_cast<int>(sizeof(DIBSECTION)), GetObjectA(bitmap, 0, nullptr));
    BITMAP bm{};
    EXPECT_EQ(static_cast<int>(sizeof bm), GetObjectA(bitmap, sizeof bm, &bm));
    EXPECT_EQ(8, bm.bmWidthBytes);
    DIBSECTION ds{};
    EXPECT_EQ(static_cast<int>(sizeof ds), GetObjectA(bitmap, sizeof ds, &ds));
    EXPECT_EQ(5, ds.dsBm.bmWidth);
    EXPECT_EQ(bits, ds.dsBm.bmBits);
    EXPECT_EQ(3, ds.dsBmih.biHeight);
    EXPECT_EQ(8, ds.dsBmih.biBitCount);
    EXPECT_EQ(24u, ds.dsBmih.biSizeImage);
    EXPECT_EQ(nullptr, ds.dshSection);
    DeleteObject(bitmap);
}

TEST(GdiBitmaps, CreateCompatibleBitmapFollowsTheContext) {
    HDC memory = CreateCompatibleDC(nullptr);
    BITMAP bm{};
    // A fresh memory context holds a monochrome bitmap, so its compatible bitmaps are too.
    HBITMAP mono = CreateCompatibleBitmap(memory, 4, 4);
    GetObjectA(mono, sizeof bm, &bm);
    EXPECT_EQ(1, bm.bmBitsPixel);
    EXPECT_EQ(2, bm.bmWidthBytes); // monochrome rows are padded to 16 bits

    winapi::Surface surface;
    surface.resize(4, 4);
    HDC window = winapi::gdi::open_surface_dc(&surface, POINT{0, 0}, RECT{0, 0, 4, 4});
    HBITMAP colour = CreateCompatibleBitmap(window, 3, 2);
    GetObjectA(colour, sizeof bm, &bm);
    EXPECT_EQ(32, bm.bmBitsPixel);
    EXPECT_EQ(3, bm.bmWidth);
    EXPECT_EQ(12, bm.bmWidthBytes);
    EXPECT_EQ(nullptr, bm.bmBits);
    HGDIOBJ old = SelectObject(memory, colour);
    HBITMAP colour_too = CreateCompatibleBitmap(memory, 2, 2);
    GetObjectA(colour_too, sizeof bm, &bm);
    EXPECT_EQ(32, bm.bmBitsPixel);

    HBITMAP empty = CreateCompatibleBitmap(window, 0, 5);
    GetObjectA(empty, sizeof bm, &bm);
    EXPECT_EQ(1, bm.bmWidth);
    EXPECT_EQ(1, bm.bmHeight);
    EXPECT_EQ(1, bm.bmBitsPixel);
    SetLastError(0);
    EXPECT_EQ(nullptr, CreateCompatibleBitmap(window, -1, 5));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(nullptr, CreateCompatibleBitmap(nullptr, 2, 2));

    SelectObject(memory, old);
    for (HBITMAP b : {mono, colour, colour_too, empty})
        EXPECT_TRUE(DeleteObject(b));
    DeleteDC(memory);
    winapi::gdi::close_surface_dc(window);
}

// A monochrome bitmap meets colour through the destination's colours: 0 bits take the text
// colour, 1 bits the background colour.
TEST(GdiBitmaps, MonochromeBitmapBlitsInTextAndBackgroundColours) {
    const uint8_t rows[] = {0xa0, 0x00, 0x40, 0x00}; // 1 0 1 0 / 0 1 0 0, rows of 16 bits
    Selected mono(CreateBitmap(4, 2, 1, 1, rows));
    ASSERT_NE(mono.bitmap, nullptr);
    Canvas canvas(4, 2);
    SetTextColor(canvas.dc, kRed);
    SetBkColor(canvas.dc, kBlue);
    EXPECT_TRUE(BitBlt(canvas.dc, 0, 0, 4, 2, mono.dc, 0, 0, SRCCOPY));
    EXPECT_EQ("#.#.", row(canvas.dc, 0, 0, 4, kBlue));
    EXPECT_EQ(".#.#", row(canvas.dc, 0, 0, 4, kRed));
    EXPECT_EQ(".#..", row(canvas.dc, 1, 0, 4, kBlue));
    // Colour to monochrome: the source's background colour becomes 1 (white), all else 0.
    canvas.clear(kGreen);
    SetPixel(canvas.dc, 2, 1, kRed);
    SetBkColor(canvas.dc, kRed);
    EXPECT_TRUE(BitBlt(mono.dc, 0, 0, 4, 2, canvas.dc, 0, 0, SRCCOPY));
    EXPECT_EQ("..#.", row(mono.dc, 1, 0, 4, kWhite));
    EXPECT_EQ("....", row(mono.dc, 0, 0, 4, kWhite));
}

TEST(GdiBitmaps, CreateBitmapRejectsUnsupportedDepthsAndPlanes) {
    SetLastError(0);
    EXPECT_EQ(nullptr, CreateBitmap(4, 4, 1, 8, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(nullptr, CreateBitmap(4, 4, 2, 32, nullptr));
    EXPECT_EQ(nullptr, CreateBitmap(-4, 4, 1, 32, nullptr));
    const uint32_t pixels[] = {0x00ff0000, 0x000000ff};
    Selected colour(CreateBitmap(2, 1, 1, 32, pixels));
    EXPECT_TRUE(pixel_is(colour.dc, 0, 0, kRed));
    EXPECT_TRUE(pixel_is(colour.dc, 1, 0, kBlue));
}

// CreateDIBitmap is how bitmap resources become bitmaps: every depth, both orientations.
TEST(GdiBitmaps, CreateDIBitmapReadsEveryDepthAndOrientation) {
    HDC screen = CreateCompatibleDC(nullptr);
    for (int bpp : {1, 4, 8, 24, 32}) {
        for (bool top_down : {false, true}) {
            SCOPED_TRACE(std::to_string(bpp) + " bits, " + (top_down ? "top-down" : "bottom-up"));
            std::vector<COLORREF> palette = kPalette;
            std::vector<COLORREF> picture = kPicture;
            if (bpp == 1) {
                palette = {kBlack, kWhite};
                picture = {kWhite, kBlack, kWhite, kBlack, kBlack, kWhite};
            }
            PackedDib dib = make_dib(3, 2, bpp, top_down, picture,
                                     bpp <= 8 ? palette : std::vector<COLORREF>{});
            // A null context asks for a bitmap of the display's colour format.
            HBITMAP bitmap = CreateDIBitmap(nullptr, &dib.info()->bmiHeader, CBM_INIT,
                                            dib.bits.data(), dib.info(), DIB_RGB_COLORS);
            ASSERT_NE(bitmap, nullptr);
            BITMAP bm{};
            GetObjectA(bitmap, sizeof bm, &bm);
            EXPECT_EQ(32, bm.bmBitsPixel);
            HGDIOBJ old = SelectObject(screen, bitmap);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 3; ++x)
                    EXPECT_TRUE(pixel_is(screen, x, y, picture[static_cast<size_t>(y * 3 + x)]));
            SelectObject(screen, old);
            DeleteObject(bitmap);
        }
    }
    DeleteDC(screen);
}

TEST(GdiBitmaps, CreateDIBitmapWithoutInitLeavesTheBitsAlone) {
    BITMAPINFO info = dib_info(2, 2, 24);
    Selected s(CreateDIBitmap(nullptr, &info.bmiHeader, 0, nullptr, nullptr, DIB_RGB_COLORS));
    ASSERT_NE(s.bitmap, nullptr);
    EXPECT_TRUE(pixel_is(s.dc, 1, 1, kBlack));
    EXPECT_EQ(nullptr,
              CreateDIBitmap(nullptr, &info.bmiHeader, CBM_INIT, nullptr, &info, DIB_RGB_COLORS));
    EXPECT_EQ(nullptr, CreateDIBitmap(nullptr, nullptr, 0, nullptr, nullptr, DIB_RGB_COLORS));
}

TEST(GdiBitmaps, GetDIBitsDescribesTheBitmapWhenAskedWithoutBits) {
    Canvas canvas(5, 3);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    EXPECT_NE(0, GetDIBits(canvas.dc, canvas.bitmap, 0, 3, nullptr, &info, DIB_RGB_COLORS));
    EXPECT_EQ(5, info.bmiHeader.biWidth);
    EXPECT_EQ(3, info.bmiHeader.biHeight);
    EXPECT_EQ(32, info.bmiHeader.biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), info.bmiHeader.biCompression);
    EXPECT_EQ(60u, info.bmiHeader.biSizeImage);
    info.bmiHeader.biBitCount = 24;
    EXPECT_NE(0, GetDIBits(canvas.dc, canvas.bitmap, 0, 3, nullptr, &info, DIB_RGB_COLORS));
    EXPECT_EQ(48u, info.bmiHeader.biSizeImage); // 15 bytes padded to 16, three rows
}

TEST(GdiBitmaps, GetDIBitsWritesBottomUpTwentyFourBitRows) {
    Canvas canvas(3, 2);
    SetPixel(canvas.dc, 0, 0, RGB(1, 2, 3)); // top left
    SetPixel(canvas.dc, 2, 1, RGB(4, 5, 6)); // bottom right
    BITMAPINFO info = dib_info(3, 2, 24);
    std::vector<uint8_t> bits(24, 0xee);
    EXPECT_EQ(2, GetDIBits(canvas.dc, canvas.bitmap, 0, 2, bits.data(), &info, DIB_RGB_COLORS));
    // Bottom row first: its last pixel at bytes 6..8 (blue, green, red).
    EXPECT_EQ(6, bits[6]);
    EXPECT_EQ(5, bits[7]);
    EXPECT_EQ(4, bits[8]);
    // Top row second, starting at byte 12.
    EXPECT_EQ(3, bits[12]);
    EXPECT_EQ(2, bits[13]);
    EXPECT_EQ(1, bits[14]);
    EXPECT_EQ(255, bits[15]); // white
}

TEST(GdiBitmaps, GetDIBitsWritesTopDownThirtyTwoBitRowsAndPartialScans) {
    Canvas canvas(2, 3);
    SetPixel(canvas.dc, 1, 0, kRed);
    SetPixel(canvas.dc, 0, 2, kBlue);
    BITMAPINFO info = dib_info(2, -3, 32);
    uint32_t bits[6] = {};
    EXPECT_EQ(3, GetDIBits(canvas.dc, canvas.bitmap, 0, 3, bits, &info, DIB_RGB_COLORS));
    EXPECT_EQ(0x00ff0000u, bits[1]);
    EXPECT_EQ(0x000000ffu, bits[4]);
    // Scans of a bottom-up DIB count from the bottom: scan 0 is the bottom row.
    info = dib_info(2, 3, 32);
    uint32_t one_row[2] = {};
    EXPECT_EQ(1, GetDIBits(canvas.dc, canvas.bitmap, 0, 1, one_row, &info, DIB_RGB_COLORS));
    EXPECT_EQ(0x000000ffu, one_row[0]);
    EXPECT_EQ(1, GetDIBits(canvas.dc, canvas.bitmap, 2, 5, one_row, &info, DIB_RGB_COLORS));
    EXPECT_EQ(0x00ff0000u, one_row[1]);
}

TEST(GdiBitmaps, SetDIBitsWritesRowsIntoABitmap) {
    Canvas canvas(3, 2);
    PackedDib dib = make_dib(3, 2, 8, false, kPicture, kPalette);
    EXPECT_EQ(
        2, SetDIBits(canvas.dc, canvas.bitmap, 0, 2, dib.bits.data(), dib.info(), DIB_RGB_COLORS));
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(pixel_is(canvas.dc, i % 3, i / 3, kPicture[size_t(i)]));
}

TEST(GdiBitmaps, UnsupportedDibsAreRefused) {
    struct Case {
        const char* what;
        int bpp;
        DWORD compression;
        UINT usage;
        int width;
    } cases[] = {
        {"run-length encoded", 8, BI_RLE8, DIB_RGB_COLORS, 4},
        {"odd depth", 7, BI_RGB, DIB_RGB_COLORS, 4},
        {"palette indexes", 8, BI_RGB, DIB_PAL_COLORS, 4},
        {"zero width", 32, BI_RGB, DIB_RGB_COLORS, 0},
        {"absurd width", 32, BI_RGB, DIB_RGB_COLORS, 0x7fffffff},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BITMAPINFO info = dib_info(c.width, 4, c.bpp);
        info.bmiHeader.biCompression = c.compression;
        void* bits = reinterpret_cast<void*>(1);
        SetLastError(0);
        EXPECT_EQ(nullptr, CreateDIBSection(nullptr, &info, c.usage, &bits, nullptr, 0));
        EXPECT_EQ(nullptr, bits);
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    }
    BITMAPINFO info = dib_info(2, 2, 32);
    void* bits = nullptr;
    EXPECT_EQ(nullptr, CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0));
    EXPECT_EQ(nullptr, CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits,
                                        reinterpret_cast<HANDLE>(5), 0));
}

TEST(GdiBitmaps, DibFunctionsRejectBadHandles) {
    Canvas canvas(2, 2);
    BITMAPINFO info = dib_info(2, 2, 32);
    uint32_t bits[4] = {};
    HBITMAP gone = CreateBitmap(2, 2, 1, 32, nullptr);
    DeleteObject(gone);
    SetLastError(0);
    EXPECT_EQ(0, GetDIBits(canvas.dc, gone, 0, 2, bits, &info, DIB_RGB_COLORS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(0, GetDIBits(nullptr, canvas.bitmap, 0, 2, bits, &info, DIB_RGB_COLORS));
    EXPECT_EQ(0, GetDIBits(canvas.dc, canvas.bitmap, 0, 2, bits, nullptr, DIB_RGB_COLORS));
    EXPECT_EQ(0, SetDIBits(canvas.dc, reinterpret_cast<HBITMAP>(canvas.dc), 0, 2, bits, &info,
                           DIB_RGB_COLORS));
    // Asking for a palette the bitmap does not have is refused rather than invented.
    BITMAPINFO eight = dib_info(2, 2, 8);
    EXPECT_EQ(0, GetDIBits(canvas.dc, canvas.bitmap, 0, 2, bits, &eight, DIB_RGB_COLORS));
}
