// Text: font metrics, measuring, TextOutA and DrawTextA placement, colours and background.
#include "gdi_test_support.h"

#include <cstdlib>
#include <cstring>

using namespace gdi_test;

namespace {

TEXTMETRICA metrics_of(HDC dc) {
    TEXTMETRICA tm{};
    EXPECT_TRUE(GetTextMetricsA(dc, &tm));
    return tm;
}

SIZE extent_of(HDC dc, const char* text) {
    SIZE size{-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size));
    return size;
}

HFONT make_font(LONG height, LONG weight, bool underline = false) {
    LOGFONTA log{};
    log.lfHeight = height;
    log.lfWeight = weight;
    log.lfUnderline = underline ? TRUE : FALSE;
    std::strcpy(log.lfFaceName, "Arial");
    return CreateFontIndirectA(&log);
}

} // namespace

TEST(GdiText, DefaultFontIsAThirteenPixelProportionalSans) {
    Canvas canvas(1, 1);
    TEXTMETRICA tm = metrics_of(canvas.dc);
    EXPECT_EQ(13, tm.tmHeight);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GE(tm.tmInternalLeading, 0);
    EXPECT_GE(tm.tmAveCharWidth, 4);
    EXPECT_LE(tm.tmAveCharWidth, 8);
    EXPECT_GT(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(FW_NORMAL, tm.tmWeight);
    EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);
    EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH); // set means variable pitch
    // Proportional: narrow letters take less room than wide ones.
    EXPECT_LT(extent_of(canvas.dc, "iiii").cx, extent_of(canvas.dc, "WWWW").cx);
}

TEST(GdiText, ExtentsAddUpAndHaveTheCellHeight) {
    Canvas canvas(1, 1);
    TEXTMETRICA tm = metrics_of(canvas.dc);
    SIZE empty{-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32A(canvas.dc, "", 0, &empty));
    EXPECT_EQ(0, empty.cx);
    EXPECT_EQ(tm.tmHeight, empty.cy);
    SIZE left = extent_of(canvas.dc, "Play");
    SIZE right = extent_of(canvas.dc, " Movie");
    SIZE whole = extent_of(canvas.dc, "Play Movie");
    EXPECT_EQ(left.cx + right.cx, whole.cx);
    EXPECT_EQ(tm.tmHeight, whole.cy);
    // Only the given length is measured.
    SIZE part{};
    GetTextExtentPoint32A(canvas.dc, "Play Movie", 4, &part);
    EXPECT_EQ(left.cx, part.cx);
}

TEST(GdiText, FontHeightsFollowTheirSign) {
    Canvas canvas(1, 1);
    HFONT cell = make_font(20, FW_NORMAL);
    HFONT character = make_font(-20, FW_NORMAL);
    HGDIOBJ old = SelectObject(canvas.dc, cell);
    TEXTMETRICA by_cell = metrics_of(canvas.dc);
    SelectObject(canvas.dc, character);
    TEXTMETRICA by_character = metrics_of(canvas.dc);
    SelectObject(canvas.dc, old);
    // A positive height is the cell height; a negative one the character height, which
    // leaves the internal leading on top.
    EXPECT_NEAR(20, by_cell.tmHeight, 1);
    EXPECT_NEAR(20, by_character.tmHeight - by_character.tmInternalLeading, 1);
    EXPECT_GT(by_character.tmHeight, by_cell.tmHeight);
    DeleteObject(cell);
    DeleteObject(character);
}

TEST(GdiText, BoldFontsAreWider) {
    Canvas canvas(1, 1);
    HFONT normal = make_font(-12, FW_NORMAL);
    HFONT bold = make_font(-12, FW_BOLD);
    HGDIOBJ old = SelectObject(canvas.dc, normal);
    LONG normal_width = extent_of(canvas.dc, "Lanternix Movie").cx;
    SelectObject(canvas.dc, bold);
    LONG bold_width = extent_of(canvas.dc, "Lanternix Movie").cx;
    EXPECT_EQ(FW_BOLD, metrics_of(canvas.dc).tmWeight);
    SelectObject(canvas.dc, old);
    EXPECT_GT(bold_width, normal_width);
    DeleteObject(normal);
    DeleteObject(bold);
}

TEST(GdiText, TextOutDrawsInTheTextColourWithinTheTextCell) {
    Canvas canvas(60, 20);
    SetBkMode(canvas.dc, TRANSPARENT);
    SetTextColor(canvas.dc, kRed);
    EXPECT_TRUE(TextOutA(canvas.dc, 3, 2, "Hi", 2));
    SIZE size = extent_of(canvas.dc, "Hi");
    RECT ink;
    ASSERT_TRUE(ink_bounds(canvas.dc, RECT{0, 0, 60, 20}, kWhite, ink));
    EXPECT_GE(ink.left, 3);
    EXPECT_GE(ink.top, 2);
    EXPECT_LE(ink.right, 3 + size.cx);
    EXPECT_LE(ink.bottom, 2 + size.cy);
    // The stems of the H are fully covered, so pure text-colour pixels exist.
    bool pure = false;
    for (int y = ink.top; y < ink.bottom; ++y)
        for (int x = ink.left; x < ink.right; ++x)
            pure = pure || GetPixel(canvas.dc, x, y) == kRed;
    EXPECT_TRUE(pure);
    // Antialiased edges are mixtures of red and white: red stays full, the others equal.
    for (int y = ink.top; y < ink.bottom; ++y)
        for (int x = ink.left; x < ink.right; ++x) {
            COLORREF c = GetPixel(canvas.dc, x, y);
            ASSERT_EQ(255, GetRValue(c)) << "pixel (" << x << ", " << y << ")";
            ASSERT_EQ(GetGValue(c), GetBValue(c)) << "pixel (" << x << ", " << y << ")";
        }
}

TEST(GdiText, OpaqueModeFillsTheTextCellWithTheBackgroundColour) {
    Canvas canvas(60, 20);
    SetBkColor(canvas.dc, kBlue);
    EXPECT_EQ(OPAQUE, GetBkMode(canvas.dc));
    TextOutA(canvas.dc, 2, 3, "ab", 2);
    SIZE size = extent_of(canvas.dc, "ab");
    RECT ink;
    ASSERT_TRUE(ink_bounds(canvas.dc, RECT{0, 0, 60, 20}, kWhite, ink));
    EXPECT_EQ(2, ink.left);
    EXPECT_EQ(3, ink.top);
    EXPECT_EQ(2 + size.cx, ink.right);
    EXPECT_EQ(3 + size.cy, ink.bottom);
    EXPECT_TRUE(pixel_is(canvas.dc, 2, 3, kBlue)); // top-left of the cell holds no glyph
    // Default colours: black text.
    bool black = false;
    for (int y = ink.top; y < ink.bottom; ++y)
        for (int x = ink.left; x < ink.right; ++x)
            black = black || GetPixel(canvas.dc, x, y) == kBlack;
    EXPECT_TRUE(black);
}

TEST(GdiText, DrawTextCalcRectMeasuresLikeGetTextExtent) {
    Canvas canvas(1, 1);
    TEXTMETRICA tm = metrics_of(canvas.dc);
    RECT rect{10, 20, 10, 20};
    int height = DrawTextA(canvas.dc, "Streaming movie...", -1, &rect, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(tm.tmHeight, height);
    EXPECT_EQ(10 + extent_of(canvas.dc, "Streaming movie...").cx, rect.right);
    EXPECT_EQ(20 + tm.tmHeight, rect.bottom);
    EXPECT_EQ(10, rect.left);
    EXPECT_TRUE(pixel_is(canvas.dc, 0, 0, kWhite)); // measuring draws nothing

    RECT lines{0, 0, 0, 0};
    EXPECT_EQ(2 * tm.tmHeight, DrawTextA(canvas.dc, "one\r\nthree", -1, &lines, DT_CALCRECT));
    EXPECT_EQ(extent_of(canvas.dc, "three").cx, lines.right);
}

TEST(GdiText, DrawTextWordBreakWrapsAtSpaces) {
    Canvas canvas(1, 1);
    TEXTMETRICA tm = metrics_of(canvas.dc);
    LONG word = extent_of(canvas.dc, "Downloading").cx;
    RECT rect{0, 0, word + 2, 0};
    int height =
        DrawTextA(canvas.dc, "Downloading the movie now", -1, &rect, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GE(height, 2 * tm.tmHeight);
    EXPECT_EQ(height, rect.bottom);
    EXPECT_LE(rect.right, word + 2);
    RECT wide{0, 0, 1000, 0};
    EXPECT_EQ(tm.tmHeight, DrawTextA(canvas.dc, "Downloading the movie now", -1, &wide,
                                     DT_WORDBREAK | DT_CALCRECT));
}

TEST(GdiText, DrawTextPrefixesUnderlineAndDoubleAmpersandsShowOne) {
    Canvas canvas(1, 1);
    RECT rect{0, 0, 0, 0};
    DrawTextA(canvas.dc, "&Play", -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(extent_of(canvas.dc, "Play").cx, rect.right);
    rect = RECT{0, 0, 0, 0};
    DrawTextA(canvas.dc, "&Play", -1, &rect, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(extent_of(canvas.dc, "&Play").cx, rect.right);
    rect = RECT{0, 0, 0, 0};
    DrawTextA(canvas.dc, "A&&B", -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(extent_of(canvas.dc, "A&B").cx, rect.right);

    // The prefixed letter gets a line under it, below the baseline.
    Canvas plain(40, 20), marked(40, 20);
    RECT box{0, 0, 40, 20};
    DrawTextA(plain.dc, "Play", -1, &box, DT_SINGLELINE);
    DrawTextA(marked.dc, "&Play", -1, &box, DT_SINGLELINE);
    TEXTMETRICA tm = metrics_of(plain.dc);
    LONG p_width = extent_of(plain.dc, "P").cx;
    int differing = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            if (plain.at(x, y) != marked.at(x, y)) {
                ++differing;
                EXPECT_LT(x, p_width) << "difference at (" << x << ", " << y << ")";
                EXPECT_GT(y, tm.tmAscent - 1) << "difference at (" << x << ", " << y << ")";
            }
    EXPECT_GT(differing, 0);
}

TEST(GdiText, DrawTextPlacesInkWhereTheFormatSays) {
    const RECT rect{10, 5, 110, 45};
    struct Case {
        const char* what;
        UINT format;
    } cases[] = {
        {"left top", DT_SINGLELINE},
        {"centre", DT_SINGLELINE | DT_CENTER | DT_VCENTER},
        {"right bottom", DT_SINGLELINE | DT_RIGHT | DT_BOTTOM},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas(120, 50);
        SetBkMode(canvas.dc, TRANSPARENT);
        TEXTMETRICA tm = metrics_of(canvas.dc);
        SIZE size = extent_of(canvas.dc, "Movie");
        RECT r = rect;
        int result = DrawTextA(canvas.dc, "Movie", -1, &r, c.format);
        RECT ink;
        ASSERT_TRUE(ink_bounds(canvas.dc, RECT{0, 0, 120, 50}, kWhite, ink));
        // Where the text cell should be, horizontally and vertically.
        LONG cell_left = rect.left, cell_top = rect.top;
        if (c.format & DT_CENTER) cell_left = rect.left + (100 - size.cx) / 2;
        if (c.format & DT_RIGHT) cell_left = rect.right - size.cx;
        if (c.format & DT_VCENTER) cell_top = rect.top + (40 - tm.tmHeight) / 2;
        if (c.format & DT_BOTTOM) cell_top = rect.bottom - tm.tmHeight;
        EXPECT_GE(ink.left, cell_left);
        EXPECT_LE(ink.left, cell_left + 2);
        EXPECT_LE(ink.right, cell_left + size.cx);
        EXPECT_GE(ink.right, cell_left + size.cx - 2);
        EXPECT_GE(ink.top, cell_top);
        EXPECT_LE(ink.top, cell_top + tm.tmInternalLeading + 2);
        EXPECT_LE(ink.bottom, cell_top + tm.tmAscent + 1);
        // With DT_BOTTOM or DT_VCENTER the result is the offset from the top to the text's
        // bottom; otherwise the text height.
        if (c.format & (DT_BOTTOM | DT_VCENTER))
            EXPECT_EQ(cell_top + tm.tmHeight - rect.top, result);
        else
            EXPECT_EQ(tm.tmHeight, result);
    }
}

TEST(GdiText, DrawTextClipsToItsRectangleUnlessAskedNotTo) {
    Canvas canvas(80, 20);
    RECT small{2, 2, 12, 18};
    DrawTextA(canvas.dc, "Lanternix", -1, &small, DT_SINGLELINE);
    RECT ink;
    ASSERT_TRUE(ink_bounds(canvas.dc, RECT{0, 0, 80, 20}, kWhite, ink));
    EXPECT_LE(ink.right, 12);
    canvas.clear(kWhite);
    DrawTextA(canvas.dc, "Lanternix", -1, &small, DT_SINGLELINE | DT_NOCLIP);
    ASSERT_TRUE(ink_bounds(canvas.dc, RECT{0, 0, 80, 20}, kWhite, ink));
    EXPECT_GT(ink.right, 12);
}

TEST(GdiText, UnderlinedFontsDrawALineUnderTheWholeText) {
    Canvas canvas(60, 20);
    HFONT font = make_font(-11, FW_NORMAL, true);
    SelectObject(canvas.dc, font);
    SetBkMode(canvas.dc, TRANSPARENT);
    TextOutA(canvas.dc, 0, 0, "a b", 3);
    TEXTMETRICA tm = metrics_of(canvas.dc);
    SIZE size = extent_of(canvas.dc, "a b");
    bool found = false;
    for (int y = tm.tmAscent; y < tm.tmHeight && !found; ++y)
        found =
            row(canvas.dc, y, 0, size.cx, kBlack) == std::string(static_cast<size_t>(size.cx), '#');
    EXPECT_TRUE(found) << "no full-width underline row below the baseline";
    SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST(GdiText, TextFunctionsRejectBadArguments) {
    Canvas canvas(4, 4);
    RECT rect{0, 0, 4, 4};
    SIZE size{};
    TEXTMETRICA tm{};
    SetLastError(0);
    EXPECT_EQ(0, DrawTextA(nullptr, "x", -1, &rect, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(0, DrawTextA(canvas.dc, nullptr, -1, &rect, 0));
    EXPECT_EQ(0, DrawTextA(canvas.dc, "x", -1, nullptr, 0));
    EXPECT_EQ(0, DrawTextA(canvas.dc, "x", -5, &rect, 0));
    EXPECT_FALSE(TextOutA(canvas.dc, 0, 0, "x", -1));
    EXPECT_FALSE(TextOutA(canvas.dc, 0, 0, nullptr, 3));
    EXPECT_TRUE(TextOutA(canvas.dc, 0, 0, nullptr, 0));
    EXPECT_FALSE(GetTextExtentPoint32A(canvas.dc, "x", 1, nullptr));
    EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "x", 1, &size));
    EXPECT_FALSE(GetTextMetricsA(canvas.dc, nullptr));
    EXPECT_FALSE(GetTextMetricsA(nullptr, &tm));
    EXPECT_FALSE(TextOutA(reinterpret_cast<HDC>(canvas.bitmap), 0, 0, "x", 1));
    EXPECT_TRUE(pixel_is(canvas.dc, 0, 0, kWhite));
}
