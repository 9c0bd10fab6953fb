// Mapping modes: logical to device coordinates and back, and drawing through the mapping.
#include "gdi_test_support.h"

using namespace gdi_test;

TEST(GdiMapping, TextModeIsTheIdentityPlusOrigins) {
    Canvas canvas(1, 1);
    EXPECT_EQ(MM_TEXT, GetMapMode(canvas.dc));
    POINT points[] = {{0, 0}, {5, -7}, {-300, 1200}};
    POINT copy[3];
    std::copy(points, points + 3, copy);
    EXPECT_TRUE(LPtoDP(canvas.dc, copy, 3));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("point " + std::to_string(i));
        EXPECT_EQ(points[i].x, copy[i].x);
        EXPECT_EQ(points[i].y, copy[i].y);
    }
    SetWindowOrgEx(canvas.dc, 10, 20, nullptr);
    SetViewportOrgEx(canvas.dc, 1, 2, nullptr);
    POINT p{10, 20};
    LPtoDP(canvas.dc, &p, 1);
    EXPECT_EQ(1, p.x);
    EXPECT_EQ(2, p.y);
    DPtoLP(canvas.dc, &p, 1);
    EXPECT_EQ(10, p.x);
    EXPECT_EQ(20, p.y);
}

TEST(GdiMapping, LoEnglishIsAHundredthOfAnInchWithYUp) {
    Canvas canvas(1, 1);
    EXPECT_EQ(MM_TEXT, SetMapMode(canvas.dc, MM_LOENGLISH));
    EXPECT_EQ(MM_LOENGLISH, GetMapMode(canvas.dc));
    // One inch is 100 logical units and 96 pixels; y grows upwards.
    POINT p{100, -100};
    EXPECT_TRUE(LPtoDP(canvas.dc, &p, 1));
    EXPECT_EQ(96, p.x);
    EXPECT_EQ(96, p.y);
    POINT d{48, 48};
    EXPECT_TRUE(DPtoLP(canvas.dc, &d, 1));
    EXPECT_EQ(50, d.x);
    EXPECT_EQ(-50, d.y);
}

TEST(GdiMapping, DeviceToLogicalToDeviceRoundTripsInTextAndLoEnglish) {
    Canvas canvas(1, 1);
    for (int mode : {MM_TEXT, MM_LOENGLISH}) {
        SetMapMode(canvas.dc, mode);
        for (int x = -300; x <= 300; x += 7) {
            SCOPED_TRACE("mode " + std::to_string(mode) + ", x " + std::to_string(x));
            POINT p{x, x / 2};
            DPtoLP(canvas.dc, &p, 1);
            LPtoDP(canvas.dc, &p, 1);
            EXPECT_EQ(x, p.x);
            EXPECT_EQ(x / 2, p.y);
        }
    }
}

TEST(GdiMapping, FixedModesHaveTheirDocumentedScales) {
    Canvas canvas(1, 1);
    struct Case {
        int mode;
        int units_per_inch;
    } cases[] = {{MM_LOMETRIC, 254},
                 {MM_HIMETRIC, 2540},
                 {MM_LOENGLISH, 100},
                 {MM_HIENGLISH, 1000},
                 {MM_TWIPS, 1440}};
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        SetMapMode(canvas.dc, c.mode);
        POINT inch{c.units_per_inch, -2 * c.units_per_inch};
        LPtoDP(canvas.dc, &inch, 1);
        EXPECT_EQ(96, inch.x);
        EXPECT_EQ(192, inch.y);
        // Extents cannot be changed in fixed modes; the call is accepted and ignored.
        EXPECT_TRUE(SetWindowExtEx(canvas.dc, 1, 1, nullptr));
        SIZE extent{};
        GetWindowExtEx(canvas.dc, &extent);
        EXPECT_EQ(c.units_per_inch, extent.cx);
    }
    EXPECT_EQ(0, SetMapMode(canvas.dc, 0));
    EXPECT_EQ(0, SetMapMode(canvas.dc, 9));
}

TEST(GdiMapping, AnisotropicTakesBothExtentsAndIsotropicKeepsUnitsSquare) {
    Canvas canvas(1, 1);
    SetMapMode(canvas.dc, MM_ANISOTROPIC);
    SetWindowExtEx(canvas.dc, 10, 10, nullptr);
    SetViewportExtEx(canvas.dc, 40, 20, nullptr);
    POINT p{5, 5};
    LPtoDP(canvas.dc, &p, 1);
    EXPECT_EQ(20, p.x);
    EXPECT_EQ(10, p.y);

    SetMapMode(canvas.dc, MM_ISOTROPIC);
    SetWindowExtEx(canvas.dc, 10, 10, nullptr);
    SetViewportExtEx(canvas.dc, 40, -20, nullptr);
    SIZE viewport{};
    GetViewportExtEx(canvas.dc, &viewport);
    EXPECT_EQ(20, viewport.cx); // shrunk to the smaller scale
    EXPECT_EQ(-20, viewport.cy);
    p = POINT{5, 5};
    LPtoDP(canvas.dc, &p, 1);
    EXPECT_EQ(10, p.x);
    EXPECT_EQ(-10, p.y);
    EXPECT_FALSE(SetViewportExtEx(canvas.dc, 0, 5, nullptr));
}

TEST(GdiMapping, DrawingGoesThroughTheMapping) {
    Canvas canvas(30, 30);
    SetMapMode(canvas.dc, MM_LOENGLISH);
    // A quarter of an inch right and down (y up, so down is negative): 24 x 24 pixels.
    RECT rect{0, 0, 25, -25};
    FillRect(canvas.dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetMapMode(canvas.dc, MM_TEXT);
    EXPECT_TRUE(pixel_is(canvas.dc, 0, 0, kBlack));
    EXPECT_TRUE(pixel_is(canvas.dc, 23, 23, kBlack));
    EXPECT_TRUE(pixel_is(canvas.dc, 24, 23, kWhite));
    EXPECT_TRUE(pixel_is(canvas.dc, 23, 24, kWhite));
    // Lines too: one inch of LineTo is 96 pixels minus the excluded last one.
    Canvas line(100, 2);
    SetMapMode(line.dc, MM_LOENGLISH);
    MoveToEx(line.dc, 0, 0, nullptr);
    LineTo(line.dc, 100, 0);
    SetMapMode(line.dc, MM_TEXT);
    EXPECT_TRUE(pixel_is(line.dc, 94, 0, kBlack));
    EXPECT_TRUE(pixel_is(line.dc, 95, 0, kBlack));
    EXPECT_TRUE(pixel_is(line.dc, 96, 0, kWhite));
}

TEST(GdiMapping, ConversionsRejectBadArguments) {
    Canvas canvas(1, 1);
    POINT p{1, 1};
    EXPECT_FALSE(DPtoLP(nullptr, &p, 1));
    EXPECT_FALSE(LPtoDP(canvas.dc, nullptr, 1));
    EXPECT_FALSE(LPtoDP(canvas.dc, &p, -1));
    EXPECT_TRUE(LPtoDP(canvas.dc, nullptr, 0));
    EXPECT_EQ(0, GetMapMode(nullptr));
    EXPECT_FALSE(SetWindowOrgEx(nullptr, 0, 0, nullptr));
}

TEST(GdiMapping, DeviceCapsDescribeA96DpiTrueColourDisplay) {
    Canvas canvas(1, 1);
    EXPECT_EQ(32, GetDeviceCaps(canvas.dc, BITSPIXEL));
    EXPECT_EQ(1, GetDeviceCaps(canvas.dc, PLANES));
    EXPECT_EQ(96, GetDeviceCaps(canvas.dc, LOGPIXELSX));
    EXPECT_EQ(96, GetDeviceCaps(canvas.dc, LOGPIXELSY));
    EXPECT_EQ(DT_RASDISPLAY, GetDeviceCaps(canvas.dc, TECHNOLOGY));
    int raster = GetDeviceCaps(canvas.dc, RASTERCAPS);
    EXPECT_TRUE(raster & RC_BITBLT);
    EXPECT_TRUE(raster & RC_STRETCHBLT);
    EXPECT_TRUE(raster & RC_STRETCHDIB);
    EXPECT_GT(GetDeviceCaps(canvas.dc, HORZRES), 0);
    EXPECT_GT(GetDeviceCaps(canvas.dc, VERTRES), 0);
    EXPECT_EQ(0, GetDeviceCaps(nullptr, BITSPIXEL));
}
