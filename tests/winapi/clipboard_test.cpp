// The clipboard: opening and closing, ownership of the memory handed to it, formats.
#include "window_test_util.h"

#include <cstring>

using namespace window_test;
namespace desktop = winapi::desktop;

namespace {

class Clipboard : public DesktopFixture {
  protected:
    static HGLOBAL make_block(const void* bytes, size_t size) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
        void* p = GlobalLock(block);
        std::memcpy(p, bytes, size);
        GlobalUnlock(block);
        return block;
    }
    static std::string block_text(HANDLE block) {
        const char* p = static_cast<const char*>(GlobalLock(block));
        std::string text = p ? std::string(p) : std::string("<unlockable>");
        GlobalUnlock(block);
        return text;
    }
};

TEST_F(Clipboard, TextPlacedAsOemTextIsOnlyThere) {
    HWND owner = make_top(0, 0, 10, 10);
    ASSERT_TRUE(OpenClipboard(owner));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL block = make_block("http://example.com/movie.mov", 29);
    EXPECT_EQ(SetClipboardData(CF_OEMTEXT, block), block);
    ASSERT_TRUE(CloseClipboard());

    EXPECT_TRUE(IsClipboardFormatAvailable(CF_OEMTEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_EQ(CountClipboardFormats(), 1);
    EXPECT_EQ(GetClipboardOwner(), owner);

    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE held = GetClipboardData(CF_OEMTEXT);
    EXPECT_EQ(held, block) << "the clipboard keeps the very block it was given";
    EXPECT_EQ(block_text(held), "http://example.com/movie.mov");
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    EXPECT_EQ(EnumClipboardFormats(0), static_cast<UINT>(CF_OEMTEXT));
    EXPECT_EQ(EnumClipboardFormats(CF_OEMTEXT), 0u);
    CloseClipboard();
}

TEST_F(Clipboard, EmptyingFreesTheBlocksAndTellsTheOwner) {
    HWND first = make_top(0, 0, 10, 10);
    HWND second = make_top(20, 0, 10, 10);
    OpenClipboard(first);
    EmptyClipboard();
    HGLOBAL block = make_block("abc", 4);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    clear_log();

    OpenClipboard(second);
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(messages_named({WM_DESTROYCLIPBOARD}).size(), 1u);
    EXPECT_EQ(messages_named({WM_DESTROYCLIPBOARD})[0].hwnd, first);
    EXPECT_EQ(GlobalSize(block), 0u) << "the clipboard freed the block it owned";
    EXPECT_EQ(GetClipboardOwner(), second);
    CloseClipboard();
}

TEST_F(Clipboard, ReplacingAFormatFreesTheOldBlock) {
    OpenClipboard(nullptr);
    EmptyClipboard();
    HGLOBAL old_block = make_block("old", 4);
    HGLOBAL new_block = make_block("new", 4);
    SetClipboardData(CF_TEXT, old_block);
    SetClipboardData(CF_TEXT, new_block);
    EXPECT_EQ(GlobalSize(old_block), 0u);
    EXPECT_EQ(block_text(GetClipboardData(CF_TEXT)), "new");
    EXPECT_EQ(CountClipboardFormats(), 1);
    CloseClipboard();
}

TEST_F(Clipboard, DibBytesComeBackUnchanged) {
    std::vector<unsigned char> dib(40 + 4, 0);
    dib[0] = 40; // biSize
    dib[4] = 1;  // width 1
    dib[8] = 1;  // height 1
    dib[12] = 1; // planes
    dib[14] = 32;
    dib[40] = 0x11;
    dib[41] = 0x22;
    dib[42] = 0x33;
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(CF_DIB, make_block(dib.data(), dib.size()));
    CloseClipboard();
    OpenClipboard(nullptr);
    HANDLE held = GetClipboardData(CF_DIB);
    ASSERT_NE(held, nullptr);
    ASSERT_EQ(GlobalSize(held), dib.size());
    auto* p = static_cast<unsigned char*>(GlobalLock(held));
    EXPECT_TRUE(std::equal(dib.begin(), dib.end(), p));
    GlobalUnlock(held);
    CloseClipboard();
}

TEST_F(Clipboard, RulesOfOpening) {
    SetLastError(0);
    EXPECT_EQ(SetClipboardData(CF_TEXT, make_block("x", 2)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr)) << "the clipboard is open already";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    HGLOBAL block = make_block("x", 2);
    EXPECT_EQ(SetClipboardData(CF_TEXT, block), nullptr)
        << "only the program that emptied the clipboard may fill it";
    EXPECT_EQ(SetClipboardData(CF_TEXT, reinterpret_cast<HANDLE>(0x4321)), nullptr);
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_TEXT, block), block);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr) << "reading needs the clipboard open";
}

TEST_F(Clipboard, ResetEmptiesTheClipboard) {
    OpenClipboard(nullptr);
    EmptyClipboard();
    HGLOBAL block = make_block("x", 2);
    SetClipboardData(CF_TEXT, block);
    desktop::reset();
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_TRUE(OpenClipboard(nullptr)) << "the reset closed the clipboard";
    CloseClipboard();
}

} // namespace
