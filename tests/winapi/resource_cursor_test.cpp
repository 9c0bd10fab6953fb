// LoadCursorA and DestroyCursor: module cursors decoded to pixels, system cursors, sharing.
#include <windows.h>

#include "lxmod_resource_fixture.h"
#include "resource/cursor.h"
#include "resource/cursor_image.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <set>
#include <vector>

using winapi::resource::Cursor;
using winapi::resource::find_cursor;

namespace {

using ResourceCursor = lxtest::ResourceModuleTest;

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", value);
    return text;
}

struct PixelCase {
    int x;
    int y;
    uint32_t expected; // 0xAARRGGBB
};

void expect_pixels(const Cursor& cursor, std::initializer_list<PixelCase> cases) {
    for (const PixelCase& c : cases) {
        SCOPED_TRACE("pixel (" + std::to_string(c.x) + ", " + std::to_string(c.y) + ")");
        EXPECT_EQ(hex(cursor.pixel(c.x, c.y)), hex(c.expected));
    }
}

TEST_F(ResourceCursor, DecodesAMonochromeCursor) {
    HCURSOR handle = LoadCursorA(m_module, MAKEINTRESOURCEA(LXMOD_POINTER));
    ASSERT_NE(handle, nullptr) << "error " << GetLastError();
    const Cursor* cursor = find_cursor(handle);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->width, 32);
    EXPECT_EQ(cursor->height, 32);
    EXPECT_EQ(cursor->hot_spot.x, 13);
    EXPECT_EQ(cursor->hot_spot.y, 9);
    // The image: a white rectangle x 8..19, y 4..27 with a black border and a black hot spot;
    // transparent around it, except one screen-inverting pixel at (30, 30).
    expect_pixels(*cursor, {{0, 0, 0x00000000},
                            {7, 4, 0x00000000},
                            {8, 4, 0xff000000},
                            {19, 27, 0xff000000},
                            {10, 10, 0xffffffff},
                            {18, 26, 0xffffffff},
                            {13, 9, 0xff000000},
                            {20, 10, 0x00000000},
                            {10, 28, 0x00000000},
                            {30, 30, 0xff000000},
                            {31, 31, 0x00000000}});
}

TEST_F(ResourceCursor, ChoosesTheStandardSizeAndKeepsAlpha) {
    HCURSOR handle = LoadCursorA(m_module, MAKEINTRESOURCEA(LXMOD_GLOW));
    ASSERT_NE(handle, nullptr) << "error " << GetLastError();
    const Cursor* cursor = find_cursor(handle);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->width, 32) << "expected the 32x32 image of the two";
    EXPECT_EQ(cursor->height, 32);
    EXPECT_EQ(cursor->hot_spot.x, 5);
    EXPECT_EQ(cursor->hot_spot.y, 6);
    // Pixel (x, y): alpha 8x, red 0x80, green 8y, blue 0x40, alpha not premultiplied.
    expect_pixels(*cursor, {{0, 0, 0x00800040}, {4, 2, 0x20801040}, {31, 31, 0xf880f840}});
}

TEST_F(ResourceCursor, SameResourceSameHandle) {
    HCURSOR first = LoadCursorA(m_module, MAKEINTRESOURCEA(LXMOD_POINTER));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(LoadCursorA(m_module, MAKEINTRESOURCEA(LXMOD_POINTER)), first);
    EXPECT_EQ(LoadCursorA(m_module, "#128"), first);

    HCURSOR named = LoadCursorA(m_module, "glow");
    ASSERT_NE(named, nullptr) << "error " << GetLastError();
    EXPECT_EQ(LoadCursorA(m_module, "GLOW"), named);
    EXPECT_NE(named, LoadCursorA(m_module, MAKEINTRESOURCEA(LXMOD_GLOW)))
        << "another resource with the same image is another cursor";
}

TEST_F(ResourceCursor, ReportsMissingCursors) {
    struct Case {
        HINSTANCE instance;
        LPCSTR name;
        DWORD error;
    } cases[] = {
        {m_module, MAKEINTRESOURCEA(999), ERROR_RESOURCE_NAME_NOT_FOUND},
        {m_module, "nothing", ERROR_RESOURCE_NAME_NOT_FOUND},
        {m_module, nullptr, ERROR_RESOURCE_NAME_NOT_FOUND},
        {m_plain, MAKEINTRESOURCEA(LXMOD_POINTER), ERROR_RESOURCE_DATA_NOT_FOUND},
        {reinterpret_cast<HINSTANCE>(0x1234), MAKEINTRESOURCEA(LXMOD_POINTER),
         ERROR_INVALID_HANDLE},
        {nullptr, MAKEINTRESOURCEA(32700), ERROR_RESOURCE_NAME_NOT_FOUND}, // no such system cursor
        {nullptr, "IDC_ARROW", ERROR_RESOURCE_NAME_NOT_FOUND},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(index++);
        SetLastError(0);
        EXPECT_EQ(LoadCursorA(c.instance, c.name), nullptr);
        EXPECT_EQ(GetLastError(), c.error)
            << "expected error " << c.error << ", got " << GetLastError();
    }
}

TEST(ResourceSystemCursor, ProvidesTheStandardCursors) {
    LPCSTR ids[] = {IDC_ARROW, IDC_IBEAM,   IDC_WAIT, IDC_CROSS,
                    IDC_HAND,  IDC_SIZEALL, IDC_NO,   IDC_APPSTARTING};
    std::set<HCURSOR> handles;
    for (LPCSTR id : ids) {
        SCOPED_TRACE(LOWORD(id));
        HCURSOR handle = LoadCursorA(nullptr, id);
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(LoadCursorA(nullptr, id), handle) << "system cursors are shared";
        handles.insert(handle);
        const Cursor* cursor = find_cursor(handle);
        ASSERT_NE(cursor, nullptr);
        EXPECT_GT(cursor->width, 0);
        EXPECT_LE(cursor->width, 32);
        EXPECT_LE(cursor->height, 32);
        EXPECT_LT(cursor->hot_spot.x, cursor->width);
        EXPECT_LT(cursor->hot_spot.y, cursor->height);
    }
    EXPECT_EQ(handles.size(), std::size(ids)) << "expected one cursor per id";
    // The arrow points with its black tip at the hot spot.
    const Cursor* arrow = find_cursor(LoadCursorA(nullptr, IDC_ARROW));
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->hot_spot.x, 0);
    EXPECT_EQ(arrow->hot_spot.y, 0);
    EXPECT_EQ(hex(arrow->pixel(0, 0)), hex(0xff000000));
    EXPECT_EQ(hex(arrow->pixel(1, 2)), hex(0xffffffff));
    EXPECT_EQ(hex(arrow->pixel(arrow->width - 1, 0)), hex(0));
}

TEST_F(ResourceCursor, DestroyLeavesSharedCursorsAlive) {
    HCURSOR cursors[] = {LoadCursorA(nullptr, IDC_ARROW),
                         LoadCursorA(m_module, MAKEINTRESOURCEA(LXMOD_POINTER))};
    for (HCURSOR cursor : cursors) {
        ASSERT_NE(cursor, nullptr);
        EXPECT_TRUE(DestroyCursor(cursor));
        EXPECT_NE(find_cursor(cursor), nullptr) << "shared cursors outlive DestroyCursor";
    }
    HCURSOR bogus[] = {nullptr, reinterpret_cast<HCURSOR>(0x1234)};
    for (HCURSOR cursor : bogus) {
        SetLastError(0);
        EXPECT_FALSE(DestroyCursor(cursor));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_CURSOR_HANDLE));
    }
}

// Builds a cursor image resource: hot spot, a 40-byte header stating twice the height, the
// colour table, the colour rows and the mask rows, all given bottom row first.
std::vector<uint8_t> cursor_resource(int width, int height, int bits,
                                     const std::vector<uint32_t>& colours,
                                     const std::vector<uint8_t>& colour_rows,
                                     const std::vector<uint8_t>& mask_rows) {
    std::vector<uint8_t> out;
    auto put16 = [&](unsigned v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xffff);
        put16(v >> 16);
    };
    put16(1);
    put16(0);
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height * 2));
    put16(1);
    put16(static_cast<unsigned>(bits));
    for (int i = 0; i < 4; ++i)
        put32(0);
    put32(static_cast<uint32_t>(colours.size()));
    put32(0);
    for (uint32_t colour : colours)
        put32(colour);
    out.insert(out.end(), colour_rows.begin(), colour_rows.end());
    out.insert(out.end(), mask_rows.begin(), mask_rows.end());
    return out;
}

// 2x2 images. Top row: entries 1, 2; bottom row: entries 3, 0. The mask makes the bottom right
// pixel transparent. Colour table: 0 black, 1 red, 2 green, 3 blue.
const std::vector<uint32_t> four_colours = {0x000000, 0xff0000, 0x00ff00, 0x0000ff};
const std::vector<uint8_t> two_mask_rows = {0x40, 0, 0, 0, 0x00, 0, 0, 0}; // bottom, top

TEST(ResourceCursorImage, DecodesFourAndEightBitImages) {
    struct Case {
        const char* name;
        std::vector<uint8_t> data;
    } cases[] = {
        {"4 bits",
         cursor_resource(2, 2, 4, four_colours, {0x30, 0, 0, 0, 0x12, 0, 0, 0}, two_mask_rows)},
        {"8 bits", cursor_resource(2, 2, 8, four_colours, {3, 0, 0, 0, 1, 2, 0, 0}, two_mask_rows)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<Cursor> cursor =
            winapi::resource::decode_cursor_resource(c.data.data(), c.data.size());
        ASSERT_TRUE(cursor.has_value());
        EXPECT_EQ(cursor->hot_spot.x, 1);
        EXPECT_EQ(cursor->hot_spot.y, 0);
        expect_pixels(*cursor,
                      {{0, 0, 0xffff0000}, {1, 0, 0xff00ff00}, {0, 1, 0xff0000ff}, {1, 1, 0}});
    }
}

TEST(ResourceCursorImage, RejectsDamagedImagesAtAnyLength) {
    std::vector<uint8_t> full =
        cursor_resource(2, 2, 8, four_colours, {3, 0, 0, 0, 1, 2, 0, 0}, two_mask_rows);
    for (size_t size = 0; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(size));
        EXPECT_FALSE(winapi::resource::decode_cursor_resource(cut.data(), cut.size()).has_value());
    }
    struct Case {
        const char* name;
        size_t offset; // into the data, after the hot spot
        uint8_t value;
    } damage[] = {
        {"header size", 4, 12}, {"width", 8, 0},        {"odd height", 12, 3},
        {"bit count", 18, 7},   {"compression", 20, 1},
    };
    for (const Case& c : damage) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bad = full;
        bad[c.offset] = c.value;
        EXPECT_FALSE(winapi::resource::decode_cursor_resource(bad.data(), bad.size()).has_value());
    }
}

TEST(ResourceCursorImage, ChoosesFromAGroup) {
    // Entries: width, height, planes, bit count, bytes, id.
    auto group = [](std::initializer_list<std::array<unsigned, 4>> entries, unsigned type) {
        std::vector<uint8_t> out = {0, 0, uint8_t(type), 0, uint8_t(entries.size()), 0};
        for (const auto& e : entries) {
            unsigned width = e[0], height = e[1] * 2, bits = e[2], id = e[3];
            out.insert(out.end(), {uint8_t(width), 0, uint8_t(height), 0, 1, 0, uint8_t(bits), 0, 0,
                                   1, 0, 0, uint8_t(id), 0});
        }
        return out;
    };
    std::vector<uint8_t> good =
        group({{16, 16, 8, 7}, {32, 32, 1, 8}, {32, 32, 32, 9}, {48, 48, 32, 10}}, 2);
    EXPECT_EQ(winapi::resource::choose_cursor_image(good.data(), good.size()), 9);
    std::vector<uint8_t> icons = group({{32, 32, 32, 9}}, 1);
    EXPECT_EQ(winapi::resource::choose_cursor_image(icons.data(), icons.size()), std::nullopt);
    std::vector<uint8_t> empty = group({}, 2);
    EXPECT_EQ(winapi::resource::choose_cursor_image(empty.data(), empty.size()), std::nullopt);
    // A count larger than the entries present: only whole entries are considered.
    good[4] = 9;
    EXPECT_EQ(winapi::resource::choose_cursor_image(good.data(), good.size()), 9);
}

} // namespace
