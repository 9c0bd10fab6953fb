// LoadBitmapA: a bitmap resource becomes a screen bitmap with the resource's pixels.
#include <windows.h>

#include "lxmod_resource_fixture.h"
#include "resource/bitmap_resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

using ResourceBitmap = lxtest::ResourceModuleTest;

std::string colour(COLORREF value) {
    char text[32];
    std::snprintf(text, sizeof text, "RGB(%u, %u, %u)", GetRValue(value), GetGValue(value),
                  GetBValue(value));
    return text;
}

TEST_F(ResourceBitmap, LoadsTheBitmapsPixels) {
    HBITMAP bitmap = LoadBitmapA(m_module, MAKEINTRESOURCEA(LXMOD_SWATCH));
    ASSERT_NE(bitmap, nullptr) << "error " << GetLastError();
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 5);
    EXPECT_EQ(info.bmHeight, 3);

    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    // Pixel (x, y) uses palette entry (x + y) % 4: red, green, blue, white. The rows are
    // stored bottom-up, so the first row read from the resource is the last one shown.
    const COLORREF palette[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
    const POINT points[] = {{0, 0}, {1, 0}, {3, 0}, {4, 0}, {0, 2}, {4, 2}, {2, 1}};
    for (POINT p : points) {
        SCOPED_TRACE("pixel (" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")");
        EXPECT_EQ(colour(GetPixel(dc, p.x, p.y)), colour(palette[(p.x + p.y) % 4]));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(ResourceBitmap, ReportsMissingBitmaps) {
    struct Case {
        HINSTANCE instance;
        LPCSTR name;
        DWORD error;
    } cases[] = {
        {m_module, MAKEINTRESOURCEA(4001), ERROR_RESOURCE_NAME_NOT_FOUND},
        {m_module, MAKEINTRESOURCEA(LXMOD_MENU + 1), ERROR_RESOURCE_NAME_NOT_FOUND},
        {m_plain, MAKEINTRESOURCEA(LXMOD_SWATCH), ERROR_RESOURCE_DATA_NOT_FOUND},
        {nullptr, MAKEINTRESOURCEA(32754), ERROR_RESOURCE_NAME_NOT_FOUND}, // system bitmaps
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(index++);
        SetLastError(0);
        EXPECT_EQ(LoadBitmapA(c.instance, c.name), nullptr);
        EXPECT_EQ(GetLastError(), c.error)
            << "expected error " << c.error << ", got " << GetLastError();
    }
}

TEST_F(ResourceBitmap, ChecksTheDataBeforeUsingIt) {
    HRSRC resource = FindResourceA(m_module, MAKEINTRESOURCEA(LXMOD_SWATCH), RT_BITMAP);
    ASSERT_NE(resource, nullptr);
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(m_module, resource)));
    std::vector<uint8_t> full(data, data + SizeofResource(m_module, resource));
    // Header, four colours, three rows of eight bytes.
    ASSERT_EQ(full.size(), 40u + 16 + 24);
    using winapi::resource::bitmap_bits_offset;
    EXPECT_EQ(bitmap_bits_offset(full.data(), full.size()), 56u);
    for (size_t size = 0; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(size));
        EXPECT_EQ(bitmap_bits_offset(cut.data(), cut.size()), std::nullopt);
    }
    struct Damage {
        const char* name;
        size_t offset;
        uint8_t value;
    } damage[] = {{"header size", 0, 12}, {"width", 4, 0},        {"height", 8, 0},
                  {"bit count", 14, 7},   {"compression", 16, 1}, {"colours used", 32, 255}};
    for (const Damage& d : damage) {
        SCOPED_TRACE(d.name);
        std::vector<uint8_t> bad = full;
        bad[d.offset] = d.value;
        EXPECT_EQ(bitmap_bits_offset(bad.data(), bad.size()), std::nullopt);
    }
}

} // namespace
