// GDI objects: creation, description, selection rules, deletion and bad handles.
#include "gdi_test_support.h"

#include "gdi/surface_dc.h"

#include <cstring>

using namespace gdi_test;

TEST(GdiObjects, StockObjectsDescribeThemselvesAndSurviveDeleteObject) {
    HGDIOBJ brush = GetStockObject(DKGRAY_BRUSH);
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(brush, GetStockObject(DKGRAY_BRUSH));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(brush));
    EXPECT_TRUE(DeleteObject(brush)); // documented as harmless
    LOGBRUSH log{};
    EXPECT_EQ(static_cast<int>(sizeof log), GetObjectA(brush, sizeof log, &log));
    EXPECT_EQ(static_cast<UINT>(BS_SOLID), log.lbStyle);
    EXPECT_EQ(RGB(64, 64, 64), log.lbColor);

    GetObjectA(GetStockObject(NULL_BRUSH), sizeof log, &log);
    EXPECT_EQ(static_cast<UINT>(BS_NULL), log.lbStyle);
    EXPECT_EQ(GetStockObject(NULL_BRUSH), GetStockObject(HOLLOW_BRUSH));

    LOGPEN pen{};
    EXPECT_EQ(static_cast<int>(sizeof pen), GetObjectA(GetStockObject(NULL_PEN), sizeof pen, &pen));
    EXPECT_EQ(static_cast<UINT>(PS_NULL), pen.lopnStyle);
    GetObjectA(GetStockObject(WHITE_PEN), sizeof pen, &pen);
    EXPECT_EQ(kWhite, pen.lopnColor);

    const int fonts[] = {SYSTEM_FONT, DEFAULT_GUI_FONT, ANSI_VAR_FONT};
    for (int index : fonts) {
        SCOPED_TRACE("stock font " + std::to_string(index));
        EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(GetStockObject(index)));
    }
    SetLastError(0);
    EXPECT_EQ(nullptr, GetStockObject(99));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST(GdiObjects, PensDescribeThemselvesAsLogpenOrExtlogpen) {
    HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
    LOGPEN log{};
    EXPECT_EQ(static_cast<int>(sizeof log), GetObjectA(pen, sizeof log, &log));
    EXPECT_EQ(static_cast<UINT>(PS_DASH), log.lopnStyle);
    EXPECT_EQ(1, log.lopnWidth.x);
    EXPECT_EQ(RGB(1, 2, 3), log.lopnColor);
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), GetObjectType(pen));
    EXPECT_EQ(0, GetObjectA(pen, 4, &log)); // too small
    DeleteObject(pen);

    LOGBRUSH brush{BS_SOLID, RGB(9, 8, 7), 0};
    HPEN ext = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 5, &brush, 0, nullptr);
    ASSERT_NE(ext, nullptr);
    EXPECT_EQ(static_cast<DWORD>(OBJ_EXTPEN), GetObjectType(ext));
    EXTLOGPEN elp{};
    int size = GetObjectA(ext, 0, nullptr);
    EXPECT_GE(size, static_cast<int>(sizeof(DWORD) * 4));
    EXPECT_EQ(size, GetObjectA(ext, sizeof elp, &elp));
    EXPECT_EQ(static_cast<DWORD>(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT), elp.elpPenStyle);
    EXPECT_EQ(5u, elp.elpWidth);
    EXPECT_EQ(RGB(9, 8, 7), elp.elpColor);
    EXPECT_EQ(0u, elp.elpNumEntries);
    DeleteObject(ext);
}

TEST(GdiObjects, ExtCreatePenRejectsWhatItDoesNotSupport) {
    LOGBRUSH solid{BS_SOLID, 0, 0};
    LOGBRUSH hatched{BS_HATCHED, 0, 0};
    DWORD dashes[] = {2, 2};
    struct Case {
        const char* what;
        DWORD style;
        DWORD width;
        const LOGBRUSH* brush;
        DWORD count;
        const DWORD* entries;
    } cases[] = {
        {"cosmetic pen wider than one pixel", PS_COSMETIC | PS_SOLID, 2, &solid, 0, nullptr},
        {"no brush", PS_COSMETIC | PS_SOLID, 1, nullptr, 0, nullptr},
        {"user style", PS_COSMETIC | PS_USERSTYLE, 1, &solid, 2, dashes},
        {"entries without user style", PS_COSMETIC | PS_SOLID, 1, &solid, 2, dashes},
        {"hatched geometric brush", PS_GEOMETRIC | PS_SOLID, 3, &hatched, 0, nullptr},
        {"unknown type", 0x00020000, 1, &solid, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(0);
        EXPECT_EQ(nullptr, ExtCreatePen(c.style, c.width, c.brush, c.count, c.entries));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    }
    EXPECT_EQ(nullptr, CreatePen(42, 1, 0));
}

TEST(GdiObjects, FontsKeepTheirLogfont) {
    LOGFONTA in{};
    in.lfHeight = -17;
    in.lfWeight = FW_BOLD;
    in.lfItalic = TRUE;
    std::strcpy(in.lfFaceName, "MS Sans Serif");
    HFONT font = CreateFontIndirectA(&in);
    ASSERT_NE(font, nullptr);
    LOGFONTA out{};
    EXPECT_EQ(static_cast<int>(sizeof out), GetObjectA(font, sizeof out, &out));
    EXPECT_EQ(-17, out.lfHeight);
    EXPECT_EQ(FW_BOLD, out.lfWeight);
    EXPECT_EQ(TRUE, out.lfItalic);
    EXPECT_STREQ("MS Sans Serif", out.lfFaceName);
    DeleteObject(font);

    HFONT made =
        CreateFontA(20, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    GetObjectA(made, sizeof out, &out);
    EXPECT_EQ(20, out.lfHeight);
    EXPECT_EQ(TRUE, out.lfUnderline);
    EXPECT_STREQ("Arial", out.lfFaceName);
    DeleteObject(made);
    EXPECT_EQ(nullptr, CreateFontIndirectA(nullptr));
}

TEST(GdiObjects, SelectObjectReturnsThePreviousObjectOfTheSameKind) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ default_brush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ default_pen = GetCurrentObject(dc, OBJ_PEN);
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), default_brush);
    EXPECT_EQ(GetStockObject(BLACK_PEN), default_pen);
    EXPECT_EQ(GetStockObject(SYSTEM_FONT), GetCurrentObject(dc, OBJ_FONT));
    HGDIOBJ default_bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    BITMAP bm{};
    ASSERT_EQ(static_cast<int>(sizeof bm), GetObjectA(default_bitmap, sizeof bm, &bm));
    EXPECT_EQ(1, bm.bmWidth);
    EXPECT_EQ(1, bm.bmHeight);
    EXPECT_EQ(1, bm.bmBitsPixel);

    HBRUSH red = CreateSolidBrush(kRed);
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    EXPECT_EQ(default_brush, SelectObject(dc, red));
    EXPECT_EQ(default_pen, SelectObject(dc, pen));
    EXPECT_EQ(red, SelectObject(dc, GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), GetCurrentObject(dc, OBJ_BRUSH));
    EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN));
    SelectObject(dc, default_pen);
    SelectObject(dc, default_brush);
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(nullptr, GetCurrentObject(dc, 1234));
    DeleteDC(dc);
}

TEST(GdiObjects, DeleteObjectFailsWhileTheObjectIsSelected) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(kBlue);
    HGDIOBJ previous = SelectObject(dc, brush);
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(brush)); // still alive
    SelectObject(dc, previous);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(0u, GetObjectType(brush));

    // Deleting the context lets go of what it held.
    HPEN pen = CreatePen(PS_SOLID, 2, kRed);
    SelectObject(dc, pen);
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(GdiObjects, ABitmapGoesIntoOneMemoryContextAtATime) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(first);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    HGDIOBJ first_default = SelectObject(first, bitmap);
    ASSERT_NE(first_default, nullptr);
    EXPECT_EQ(nullptr, SelectObject(second, bitmap));
    EXPECT_EQ(bitmap, SelectObject(first, bitmap)); // again into the same one is fine
    EXPECT_FALSE(DeleteObject(bitmap));
    SelectObject(first, first_default);
    EXPECT_NE(nullptr, SelectObject(second, bitmap));
    // The shared default bitmap may sit in any number of contexts.
    EXPECT_EQ(first_default, GetCurrentObject(first, OBJ_BITMAP));
    DeleteDC(second);
    EXPECT_TRUE(DeleteObject(bitmap));
    DeleteDC(first);
}

TEST(GdiObjects, BitmapsDoNotGoIntoWindowContexts) {
    winapi::Surface surface;
    surface.resize(2, 2);
    HDC dc = winapi::gdi::open_surface_dc(&surface, POINT{0, 0}, RECT{0, 0, 2, 2});
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    EXPECT_EQ(nullptr, SelectObject(dc, bitmap));
    EXPECT_EQ(nullptr, GetCurrentObject(dc, OBJ_BITMAP));
    winapi::gdi::close_surface_dc(dc);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiObjects, SaveDcAndRestoreDcBringBackObjectsAndAttributes) {
    Canvas canvas(2, 2);
    HBRUSH red = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(canvas.dc, red);
    SetTextColor(canvas.dc, kBlue);
    int level = SaveDC(canvas.dc);
    EXPECT_EQ(1, level);
    SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    SetTextColor(canvas.dc, kGreen);
    SetMapMode(canvas.dc, MM_LOENGLISH);
    // The saved state still holds the brush.
    EXPECT_FALSE(DeleteObject(red));
    EXPECT_TRUE(RestoreDC(canvas.dc, -1));
    EXPECT_EQ(red, GetCurrentObject(canvas.dc, OBJ_BRUSH));
    EXPECT_EQ(kBlue, GetTextColor(canvas.dc));
    EXPECT_EQ(MM_TEXT, GetMapMode(canvas.dc));
    EXPECT_FALSE(RestoreDC(canvas.dc, -1)); // nothing saved any more
    EXPECT_FALSE(RestoreDC(canvas.dc, 3));
    SelectObject(canvas.dc, old);
    EXPECT_TRUE(DeleteObject(red));
}

TEST(GdiObjects, GetObjectTypeTellsContextsApart) {
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(memory));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(GetCurrentObject(memory, OBJ_BITMAP)));
    DeleteDC(memory);
    SetLastError(0);
    EXPECT_EQ(0u, GetObjectType(memory));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(0u, GetObjectType(nullptr));
}

TEST(GdiObjects, BadHandlesGetTheDocumentedFailures) {
    HBRUSH gone = CreateSolidBrush(kRed);
    EXPECT_TRUE(DeleteObject(gone));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ bogus = reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(0x47fffff0));
    struct Case {
        const char* what;
        HGDIOBJ handle;
    } cases[] = {{"null", nullptr}, {"deleted", gone}, {"never made", bogus}, {"a context", dc}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(0);
        EXPECT_FALSE(DeleteObject(c.handle));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
        LOGBRUSH log{};
        EXPECT_EQ(0, GetObjectA(c.handle, sizeof log, &log));
        EXPECT_EQ(nullptr, SelectObject(dc, c.handle));
    }
    EXPECT_EQ(nullptr, SelectObject(nullptr, GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(nullptr, SelectObject(reinterpret_cast<HDC>(gone), GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(nullptr, CreateCompatibleDC(reinterpret_cast<HDC>(bogus)));
    SetLastError(0);
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(bogus)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(0, SaveDC(dc));
    EXPECT_EQ(nullptr, GetCurrentObject(dc, OBJ_PEN));
}
