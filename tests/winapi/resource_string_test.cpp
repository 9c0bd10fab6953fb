// LoadStringA: string tables, conversion to the ANSI code page, truncation and missing strings.
#include <windows.h>

#include "lxmod_resource_fixture.h"
#include "resource/string_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using ResourceString = lxtest::ResourceModuleTest;

TEST_F(ResourceString, LoadsStringsOfEveryBlock) {
    struct Case {
        UINT id;
        const char* text;
    } cases[] = {
        {15, "Last of the first block"},
        {16, "First of the second block"},
        {4001, "&About Lanternix..."},
        {4005, "http://lanternix.example/about"},
        {4012, "Can not load the plug-in."},
        {6021, "Copy this Link Location"},
        {6023, "Open this Link"},
        // Latin-1 letters keep their code page 1252 bytes.
        {4013, "Caf\xe9 cr\xe8me br\xfbl\xe9"
               "e"},
        // The euro sign has a byte in code page 1252; the others become '?', a pair one '?'.
        {4014, "Euro \x80, A with macron ?, pair ?."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        char buffer[256];
        int length = LoadStringA(m_module, c.id, buffer, sizeof buffer);
        EXPECT_EQ(length, static_cast<int>(std::strlen(c.text)));
        EXPECT_STREQ(buffer, c.text);
    }
}

TEST_F(ResourceString, CutsToTheBuffer) {
    struct Case {
        int size;
        int result;
        const char* text;
    } cases[] = {
        {1, 0, ""},
        {2, 1, "&"},
        {5, 4, "&Abo"},
        {19, 18, "&About Lanternix.."},
        {20, 19, "&About Lanternix..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::vector<char> buffer(static_cast<size_t>(c.size) + 1, '#');
        EXPECT_EQ(LoadStringA(m_module, 4001, buffer.data(), c.size), c.result);
        EXPECT_STREQ(buffer.data(), c.text);
        EXPECT_EQ(buffer[static_cast<size_t>(c.size)], '#') << "wrote past the buffer";
    }
    char untouched[4] = "abc";
    EXPECT_EQ(LoadStringA(m_module, 4001, untouched, 0), 0);
    EXPECT_STREQ(untouched, "abc") << "a zero-sized buffer must not be written";
    EXPECT_EQ(LoadStringA(m_module, 4001, nullptr, 10), 0);
}

TEST_F(ResourceString, MissingStringsGiveAnEmptyBuffer) {
    struct Case {
        HINSTANCE instance;
        UINT id;
        DWORD error;
    } cases[] = {
        {m_module, 4002, ERROR_RESOURCE_NAME_NOT_FOUND}, // empty place in an existing block
        {m_module, 7000, ERROR_RESOURCE_NAME_NOT_FOUND}, // no such block
        {m_module, 0xffff, ERROR_RESOURCE_NAME_NOT_FOUND},
        {m_plain, 4001, ERROR_RESOURCE_DATA_NOT_FOUND},
        {reinterpret_cast<HINSTANCE>(0x1234), 4001, ERROR_INVALID_HANDLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        char buffer[16] = "leftover";
        SetLastError(0);
        EXPECT_EQ(LoadStringA(c.instance, c.id, buffer, sizeof buffer), 0);
        EXPECT_STREQ(buffer, "");
        EXPECT_EQ(GetLastError(), c.error)
            << "expected error " << c.error << ", got " << GetLastError();
    }
}

// A block with "A" at position 0, nothing at 1 and "xyz" at 2, then the end of the data.
std::vector<uint8_t> sample_block() {
    return {1, 0, 'A', 0, 0, 0, 3, 0, 'x', 0, 'y', 0, 'z', 0};
}

TEST(ResourceStringBlock, ReadsPositionsAndStopsAtTheEnd) {
    std::vector<uint8_t> block = sample_block();
    using winapi::resource::string_from_block;
    EXPECT_EQ(string_from_block(block.data(), block.size(), 0), "A");
    EXPECT_EQ(string_from_block(block.data(), block.size(), 1), std::nullopt);
    EXPECT_EQ(string_from_block(block.data(), block.size(), 2), "xyz");
    EXPECT_EQ(string_from_block(block.data(), block.size(), 3), std::nullopt);
}

TEST(ResourceStringBlock, TruncatedBlocksAreReadSafely) {
    std::vector<uint8_t> full = sample_block();
    for (size_t size = 0; size <= full.size(); ++size) {
        SCOPED_TRACE(size);
        // An exact-size copy, so that a read past the end is caught by the sanitizer.
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(size));
        std::optional<std::string> last =
            winapi::resource::string_from_block(cut.data(), cut.size(), 2);
        if (size == full.size())
            EXPECT_EQ(last, "xyz");
        else
            EXPECT_EQ(last, std::nullopt);
    }
}

} // namespace
