// Drawing with brushes and pens, checked pixel by pixel on tiny surfaces.
#include "gdi_test_support.h"

#include "gdi/surface_dc.h"

using namespace gdi_test;

TEST(GdiDrawing, FillRectCoversLeftAndTopButNotRightAndBottom) {
    Canvas canvas(8, 8);
    HBRUSH red = CreateSolidBrush(kRed);
    RECT rect{2, 3, 6, 5};
    EXPECT_NE(FillRect(canvas.dc, &rect, red), 0);
    for (int y = 0; y < 8; ++y) {
        SCOPED_TRACE("row " + std::to_string(y));
        std::string expected = (y == 3 || y == 4) ? "..####.." : "........";
        EXPECT_EQ(expected, row(canvas.dc, y, 0, 8, kRed));
    }
    DeleteObject(red);
}

TEST(GdiDrawing, FillRectWithInvertedRectangleFillsTheSameArea) {
    Canvas canvas(6, 6);
    RECT rect{4, 4, 1, 1};
    FillRect(canvas.dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(".###..", row(canvas.dc, 2, 0, 6, kBlack));
    EXPECT_EQ("......", row(canvas.dc, 4, 0, 6, kBlack));
}

TEST(GdiDrawing, FillRectWithNullBrushDrawsNothing) {
    Canvas canvas(4, 4);
    RECT rect{0, 0, 4, 4};
    EXPECT_NE(FillRect(canvas.dc, &rect, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 0);
    EXPECT_TRUE(pixel_is(canvas.dc, 1, 1, kWhite));
}

TEST(GdiDrawing, StockBrushesHaveTheirDocumentedGreys) {
    struct Case {
        int index;
        COLORREF color;
    } cases[] = {{WHITE_BRUSH, RGB(255, 255, 255)},
                 {LTGRAY_BRUSH, RGB(192, 192, 192)},
                 {GRAY_BRUSH, RGB(128, 128, 128)},
                 {DKGRAY_BRUSH, RGB(64, 64, 64)},
                 {BLACK_BRUSH, RGB(0, 0, 0)}};
    Canvas canvas(2, 2);
    canvas.clear(RGB(1, 2, 3));
    RECT rect{0, 0, 1, 1};
    for (const Case& c : cases) {
        SCOPED_TRACE("stock brush " + std::to_string(c.index));
        FillRect(canvas.dc, &rect, static_cast<HBRUSH>(GetStockObject(c.index)));
        EXPECT_TRUE(pixel_is(canvas.dc, 0, 0, c.color));
    }
}

TEST(GdiDrawing, FrameRectDrawsAOnePixelBorderInsideTheRectangle) {
    Canvas canvas(7, 7);
    RECT rect{1, 1, 6, 5};
    EXPECT_NE(FrameRect(canvas.dc, &rect, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH))), 0);
    COLORREF grey = RGB(64, 64, 64);
    const char* expected[] = {".......", ".#####.", ".#...#.", ".#...#.",
                              ".#####.", ".......", "......."};
    for (int y = 0; y < 7; ++y) {
        SCOPED_TRACE("row " + std::to_string(y));
        EXPECT_EQ(expected[y], row(canvas.dc, y, 0, 7, grey));
    }
}

TEST(GdiDrawing, FrameRectOfAnEmptyRectangleDrawsNothing) {
    Canvas canvas(4, 4);
    const RECT empty[] = {{2, 1, 2, 3}, {0, 2, 4, 2}};
    for (const RECT& rect : empty) {
        FrameRect(canvas.dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        RECT bounds;
        EXPECT_FALSE(ink_bounds(canvas.dc, RECT{0, 0, 4, 4}, kWhite, bounds))
            << "rect " << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    }
}

TEST(GdiDrawing, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
    Canvas canvas(8, 7);
    HPEN red_pen = CreatePen(PS_SOLID, 1, kRed);
    HBRUSH blue = CreateSolidBrush(kBlue);
    HGDIOBJ old_pen = SelectObject(canvas.dc, red_pen);
    HGDIOBJ old_brush = SelectObject(canvas.dc, blue);
    EXPECT_TRUE(Rectangle(canvas.dc, 1, 1, 7, 6));
    // Outline on the outermost pixels (right and bottom edges excluded), fill inside.
    EXPECT_EQ(".######.", row(canvas.dc, 1, 0, 8, kRed));
    EXPECT_EQ(".#....#.", row(canvas.dc, 3, 0, 8, kRed));
    EXPECT_EQ("..####..", row(canvas.dc, 3, 0, 8, kBlue));
    EXPECT_EQ(".######.", row(canvas.dc, 5, 0, 8, kRed));
    EXPECT_EQ("........", row(canvas.dc, 6, 0, 8, kRed));
    SelectObject(canvas.dc, old_pen);
    SelectObject(canvas.dc, old_brush);
    DeleteObject(red_pen);
    DeleteObject(blue);
}

TEST(GdiDrawing, RectangleWithTheNullPenIsOnePixelSmaller) {
    Canvas canvas(6, 6);
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    Rectangle(canvas.dc, 1, 1, 5, 5);
    EXPECT_EQ(".###..", row(canvas.dc, 1, 0, 6, kBlack));
    EXPECT_EQ(".###..", row(canvas.dc, 3, 0, 6, kBlack));
    EXPECT_EQ("......", row(canvas.dc, 4, 0, 6, kBlack));
}

TEST(GdiDrawing, LineToLeavesOutTheLastPixelAndMovesThePosition) {
    Canvas canvas(8, 8);
    POINT previous{-1, -1};
    EXPECT_TRUE(MoveToEx(canvas.dc, 1, 2, &previous));
    EXPECT_EQ(0, previous.x);
    EXPECT_EQ(0, previous.y);
    EXPECT_TRUE(LineTo(canvas.dc, 6, 2));
    EXPECT_EQ(".#####..", row(canvas.dc, 2, 0, 8, kBlack));
    // The next segment starts where the last one ended, so the corner pixel is drawn once.
    EXPECT_TRUE(LineTo(canvas.dc, 6, 6));
    EXPECT_EQ("..####..", column(canvas.dc, 6, 0, 8, kBlack));
    MoveToEx(canvas.dc, 0, 0, &previous);
    EXPECT_EQ(6, previous.x);
    EXPECT_EQ(6, previous.y);
}

TEST(GdiDrawing, DiagonalLinesStepOnePixelPerRow) {
    Canvas canvas(6, 6);
    MoveToEx(canvas.dc, 5, 0, nullptr);
    LineTo(canvas.dc, 0, 5);
    for (int y = 0; y < 6; ++y) {
        SCOPED_TRACE("row " + std::to_string(y));
        std::string expected(6, '.');
        if (y < 5) expected[static_cast<size_t>(5 - y)] = '#';
        EXPECT_EQ(expected, row(canvas.dc, y, 0, 6, kBlack));
    }
}

TEST(GdiDrawing, CosmeticExtPenDrawsInItsBrushColour) {
    Canvas canvas(6, 3);
    LOGBRUSH brush{BS_SOLID, kGreen, 0};
    HPEN pen = ExtCreatePen(PS_COSMETIC | PS_SOLID, 1, &brush, 0, nullptr);
    ASSERT_NE(pen, nullptr);
    SelectObject(canvas.dc, pen);
    MoveToEx(canvas.dc, 0, 1, nullptr);
    LineTo(canvas.dc, 6, 1);
    EXPECT_EQ("######", row(canvas.dc, 1, 0, 6, kGreen));
    EXPECT_EQ("......", row(canvas.dc, 0, 0, 6, kGreen));
    SelectObject(canvas.dc, GetStockObject(BLACK_PEN));
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(GdiDrawing, WidePenCoversItsWidthAcrossTheLine) {
    Canvas canvas(12, 9);
    HPEN pen = CreatePen(PS_SOLID, 3, kBlue);
    SelectObject(canvas.dc, pen);
    MoveToEx(canvas.dc, 3, 4, nullptr);
    LineTo(canvas.dc, 8, 4);
    EXPECT_EQ("...###...", column(canvas.dc, 5, 0, 9, kBlue));
    SelectObject(canvas.dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(GdiDrawing, DashedPenLeavesGapsThatOpaqueModeFillsWithTheBackground) {
    Canvas canvas(30, 2);
    HPEN pen = CreatePen(PS_DASH, 1, kBlack);
    SelectObject(canvas.dc, pen);
    SetBkColor(canvas.dc, kRed);
    SetBkMode(canvas.dc, TRANSPARENT);
    MoveToEx(canvas.dc, 0, 0, nullptr);
    LineTo(canvas.dc, 30, 0);
    std::string line = row(canvas.dc, 0, 0, 30, kBlack);
    EXPECT_NE(std::string::npos, line.find('.')) << line;
    EXPECT_EQ(std::string(30, '.'), row(canvas.dc, 0, 0, 30, kRed));
    SetBkMode(canvas.dc, OPAQUE);
    MoveToEx(canvas.dc, 0, 1, nullptr);
    LineTo(canvas.dc, 30, 1);
    for (int x = 0; x < 30; ++x) {
        COLORREF c = GetPixel(canvas.dc, x, 1);
        EXPECT_TRUE(c == kBlack || c == kRed) << "x " << x << ": got " << hex(c);
    }
    EXPECT_EQ(line, row(canvas.dc, 1, 0, 30, kBlack));
    SelectObject(canvas.dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(GdiDrawing, PolygonFillsTheInteriorAndOutlinesEveryEdge) {
    Canvas canvas(12, 12);
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    HBRUSH blue = CreateSolidBrush(kBlue);
    SelectObject(canvas.dc, blue);
    const POINT square[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
    EXPECT_TRUE(Polygon(canvas.dc, square, 4));
    // Pixel centres decide: columns and rows 2 to 7 are inside.
    EXPECT_EQ("..######....", row(canvas.dc, 2, 0, 12, kBlue));
    EXPECT_EQ("..######....", row(canvas.dc, 7, 0, 12, kBlue));
    EXPECT_EQ("............", row(canvas.dc, 8, 0, 12, kBlue));
    // With a pen the outline is added on the polygon's edges, corners included.
    SelectObject(canvas.dc, GetStockObject(BLACK_PEN));
    canvas.clear(kWhite);
    Polygon(canvas.dc, square, 4);
    EXPECT_EQ("..#######...", row(canvas.dc, 2, 0, 12, kBlack));
    EXPECT_EQ("..#.....#...", row(canvas.dc, 5, 0, 12, kBlack));
    EXPECT_EQ("...#####....", row(canvas.dc, 5, 0, 12, kBlue));
    EXPECT_EQ("..#######...", row(canvas.dc, 8, 0, 12, kBlack));
    SelectObject(canvas.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(blue);
}

TEST(GdiDrawing, PolygonAlternateModeLeavesOverlapsEmptyAndWindingFillsThem) {
    Canvas canvas(10, 4);
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    // One outline that goes round the outer box and then round an inner box the same way.
    const POINT shape[] = {{0, 0}, {10, 0}, {10, 4}, {0, 4}, {0, 0},
                           {3, 0}, {7, 0},  {7, 4},  {3, 4}, {3, 0}};
    EXPECT_EQ(ALTERNATE, GetPolyFillMode(canvas.dc));
    Polygon(canvas.dc, shape, 10);
    EXPECT_EQ("###....###", row(canvas.dc, 1, 0, 10, kBlack));
    canvas.clear(kWhite);
    EXPECT_EQ(ALTERNATE, SetPolyFillMode(canvas.dc, WINDING));
    Polygon(canvas.dc, shape, 10);
    EXPECT_EQ("##########", row(canvas.dc, 1, 0, 10, kBlack));
}

TEST(GdiDrawing, PolygonRejectsTooFewPoints) {
    Canvas canvas(4, 4);
    const POINT one[] = {{1, 1}};
    EXPECT_FALSE(Polygon(canvas.dc, one, 1));
    EXPECT_FALSE(Polygon(canvas.dc, nullptr, 3));
}

TEST(GdiDrawing, SetPixelAndGetPixelInsideAndOutsideTheBitmap) {
    Canvas canvas(3, 3);
    EXPECT_EQ(RGB(10, 20, 30), SetPixel(canvas.dc, 2, 1, RGB(10, 20, 30)));
    EXPECT_TRUE(pixel_is(canvas.dc, 2, 1, RGB(10, 20, 30)));
    EXPECT_EQ(0x0a141eu, canvas.at(2, 1)); // stored as 0x00RRGGBB
    EXPECT_EQ(CLR_INVALID, GetPixel(canvas.dc, 3, 0));
    EXPECT_EQ(CLR_INVALID, GetPixel(canvas.dc, -1, 0));
    EXPECT_EQ(CLR_INVALID, SetPixel(canvas.dc, 0, 3, kRed));
}

TEST(GdiDrawing, PatBltAppliesPatternRasterOperations) {
    Canvas canvas(4, 1);
    SelectObject(canvas.dc, GetStockObject(GRAY_BRUSH));
    EXPECT_TRUE(PatBlt(canvas.dc, 0, 0, 1, 1, PATCOPY));
    EXPECT_TRUE(PatBlt(canvas.dc, 1, 0, 1, 1, BLACKNESS));
    EXPECT_TRUE(PatBlt(canvas.dc, 2, 0, 1, 1, DSTINVERT));
    SetPixel(canvas.dc, 3, 0, RGB(0x0f, 0xf0, 0x00));
    EXPECT_TRUE(PatBlt(canvas.dc, 3, 0, 1, 1, PATINVERT));
    EXPECT_TRUE(pixel_is(canvas.dc, 0, 0, RGB(128, 128, 128)));
    EXPECT_TRUE(pixel_is(canvas.dc, 1, 0, kBlack));
    EXPECT_TRUE(pixel_is(canvas.dc, 2, 0, kBlack));
    EXPECT_TRUE(pixel_is(canvas.dc, 3, 0, RGB(0x8f, 0x70, 0x80)));
    // An operation that needs a source is not a pattern operation.
    EXPECT_FALSE(PatBlt(canvas.dc, 0, 0, 1, 1, SRCCOPY));
}

// A window context draws into its surface at its origin and never outside its clip.
TEST(GdiDrawing, SurfaceContextDrawsAtItsOriginWithinItsClip) {
    winapi::Surface surface;
    surface.resize(10, 8, 0xff000000u);
    HDC dc = winapi::gdi::open_surface_dc(&surface, POINT{2, 1}, RECT{2, 1, 6, 5});
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(static_cast<DWORD>(OBJ_DC), GetObjectType(dc));
    RECT all{-10, -10, 20, 20};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 2 && x < 6 && y >= 1 && y < 5;
            uint32_t expected = inside ? 0xffffffffu : 0xff000000u;
            ASSERT_EQ(expected, surface.pixels[static_cast<size_t>(y) * 10 + x])
                << "surface pixel (" << x << ", " << y << ")";
        }
    }
    // Logical (0, 0) is surface (2, 1); pixels outside the clip read as CLR_INVALID.
    EXPECT_EQ(RGB(255, 0, 0), SetPixel(dc, 1, 1, RGB(255, 0, 0)));
    EXPECT_EQ(0xffff0000u, surface.pixels[2 * 10 + 3]);
    EXPECT_EQ(CLR_INVALID, GetPixel(dc, 4, 0));
    EXPECT_EQ(CLR_INVALID, GetPixel(dc, -1, 0));
    // Window contexts belong to whoever opened them: DeleteDC refuses them.
    EXPECT_FALSE(DeleteDC(dc));
    winapi::gdi::close_surface_dc(dc);
    EXPECT_EQ(0u, GetObjectType(dc));
    EXPECT_EQ(CLR_INVALID, GetPixel(dc, 0, 0));
}

TEST(GdiDrawing, DrawingWithBadHandlesFailsWithoutCrashing) {
    HDC bogus = reinterpret_cast<HDC>(static_cast<uintptr_t>(0x12345678));
    RECT rect{0, 0, 2, 2};
    SetLastError(0);
    EXPECT_EQ(0, FillRect(nullptr, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(0, FillRect(bogus, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    EXPECT_FALSE(LineTo(bogus, 1, 1));
    EXPECT_FALSE(Rectangle(nullptr, 0, 0, 1, 1));
    EXPECT_EQ(CLR_INVALID, GetPixel(bogus, 0, 0));
    EXPECT_FALSE(PatBlt(bogus, 0, 0, 1, 1, PATCOPY));

    Canvas canvas(2, 2);
    HBRUSH gone = CreateSolidBrush(kRed);
    DeleteObject(gone);
    SetLastError(0);
    EXPECT_EQ(0, FillRect(canvas.dc, &rect, gone));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(0, FrameRect(canvas.dc, &rect, reinterpret_cast<HBRUSH>(canvas.dc)));
    EXPECT_EQ(0, FillRect(canvas.dc, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    EXPECT_TRUE(pixel_is(canvas.dc, 0, 0, kWhite));
}

TEST(GdiDrawing, FarAwayCoordinatesAreClippedQuickly) {
    Canvas canvas(4, 4);
    MoveToEx(canvas.dc, -2000000000, -2000000000, nullptr);
    EXPECT_TRUE(LineTo(canvas.dc, 2000000000, 2000000000));
    EXPECT_EQ("#...", row(canvas.dc, 0, 0, 4, kBlack));
    EXPECT_EQ("...#", row(canvas.dc, 3, 0, 4, kBlack));
    RECT huge{-2147483647, -2147483647, 2147483647, 2147483647};
    EXPECT_NE(0, FillRect(canvas.dc, &huge, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH))));
    EXPECT_TRUE(pixel_is(canvas.dc, 3, 3, RGB(128, 128, 128)));
    // Text and origins at the ends of the coordinate range draw nothing and do not overflow.
    canvas.clear(kWhite);
    EXPECT_TRUE(TextOutA(canvas.dc, 2147483647 - 2, -2147483647, "abc", 3));
    EXPECT_NE(0, DrawTextA(canvas.dc, "abc", 3, &huge, DT_CENTER | DT_VCENTER | DT_SINGLELINE));
    SetViewportOrgEx(canvas.dc, 2147483647, 0, nullptr);
    MoveToEx(canvas.dc, 2147483647, 0, nullptr);
    EXPECT_TRUE(LineTo(canvas.dc, 0, 3));
    EXPECT_TRUE(Rectangle(canvas.dc, 0, 0, 2147483647, 2147483647));
    SetViewportOrgEx(canvas.dc, 0, 0, nullptr);
    EXPECT_TRUE(pixel_is(canvas.dc, 0, 0, kWhite));
    EXPECT_TRUE(pixel_is(canvas.dc, 3, 3, kWhite));
}
