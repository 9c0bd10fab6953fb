// Menus built from templates in memory: the standard format that resource compilers write
// for MENU and the extended one they write for MENUEX.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes a template the way a resource compiler lays it out: little-endian words, UTF-16
// texts, DWORD alignment from the template's start.
class TemplateWriter {
  public:
    TemplateWriter& word(WORD value) {
        m_bytes.push_back(static_cast<BYTE>(value & 0xff));
        m_bytes.push_back(static_cast<BYTE>(value >> 8));
        return *this;
    }
    TemplateWriter& dword(DWORD value) { return word(value & 0xffff).word(value >> 16); }
    TemplateWriter& text(const char* value) {
        for (const char* c = value; *c; ++c)
            word(static_cast<BYTE>(*c));
        return word(0);
    }
    TemplateWriter& align() {
        while (m_bytes.size() % 4)
            m_bytes.push_back(0);
        return *this;
    }
    // Standard items: a command item, and a pop-up item whose children follow it.
    TemplateWriter& item(WORD flags, WORD id, const char* label) {
        return word(flags).word(id).text(label);
    }
    TemplateWriter& popup(WORD flags, const char* label) {
        return word(flags | MF_POPUP).text(label);
    }
    // Extended items start on a DWORD boundary; a pop-up carries a help id.
    TemplateWriter& item_ex(DWORD type, DWORD state, DWORD id, WORD res_info, const char* label) {
        align().dword(type).dword(state).dword(id).word(res_info).text(label).align();
        if (res_info & 0x01) dword(0);
        return *this;
    }
    const void* data() const { return m_bytes.data(); }

  private:
    std::vector<BYTE> m_bytes;
};

std::string item_text(HMENU menu, int position) {
    char text[64] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

// The plug-in's context menu resource: one pop-up "Lanternix" with three commands.
TEST(MenuTemplate, StandardTemplateWithOnePopup) {
    TemplateWriter t;
    t.word(0).word(0);
    t.popup(MF_END, "Lanternix");
    t.item(0, 3, "Preferences");
    t.item(0, 2, "QuickTime Guide");
    t.item(MF_END, 1, "About Lanternix(tm) Plug-in");

    HMENU bar = LoadMenuIndirectA(t.data());
    ASSERT_NE(nullptr, bar);
    ASSERT_EQ(1, GetMenuItemCount(bar));
    EXPECT_EQ("Lanternix", item_text(bar, 0));
    HMENU popup = GetSubMenu(bar, 0);
    ASSERT_NE(nullptr, popup);
    ASSERT_EQ(3, GetMenuItemCount(popup));
    const struct {
        UINT id;
        const char* text;
    } expected[] = {{3, "Preferences"}, {2, "QuickTime Guide"}, {1, "About Lanternix(tm) Plug-in"}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].id, GetMenuItemID(popup, i));
        EXPECT_EQ(expected[i].text, item_text(popup, i));
        EXPECT_EQ(0u, GetMenuState(popup, i, MF_BYPOSITION)) << "MF_END must not stay in the flags";
    }
    EXPECT_TRUE(DestroyMenu(bar));
    EXPECT_FALSE(IsMenu(popup));
}

TEST(MenuTemplate, StandardTemplateSeparatorsStatesAndLevels) {
    // As a resource compiler writes:
    //   POPUP "&File" { MENUITEM "&Open", 10; MENUITEM SEPARATOR; MENUITEM "E&xit", 11, GRAYED }
    //   MENUITEM "&Help", 20
    TemplateWriter t;
    t.word(0).word(0);
    t.popup(0, "&File");
    t.item(0, 10, "&Open");
    t.item(0, 0, "");
    t.item(MF_END | MF_GRAYED, 11, "E&xit");
    t.item(MF_END | MF_CHECKED, 20, "&Help\tF1");

    HMENU bar = LoadMenuIndirectA(t.data());
    ASSERT_NE(nullptr, bar);
    ASSERT_EQ(2, GetMenuItemCount(bar));
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(static_cast<UINT>((3 << 8) | MF_POPUP), GetMenuState(bar, 0, MF_BYPOSITION));
    EXPECT_EQ("&Help\tF1", item_text(bar, 1));
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), GetMenuState(bar, 20, MF_BYCOMMAND));

    const struct {
        UINT id;
        UINT state;
        const char* text;
    } expected[] = {{10, 0, "&Open"}, {0, MF_SEPARATOR, ""}, {11, MF_GRAYED, "E&xit"}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].id, GetMenuItemID(file, i));
        EXPECT_EQ(expected[i].state, GetMenuState(file, i, MF_BYPOSITION))
            << "expected state 0x" << std::hex << expected[i].state << ", got 0x"
            << GetMenuState(file, i, MF_BYPOSITION);
        EXPECT_EQ(expected[i].text, item_text(file, i));
    }
    DestroyMenu(bar);
}

TEST(MenuTemplate, HeaderOffsetSkipsExtraBytes) {
    TemplateWriter t;
    t.word(0).word(4).dword(0xdeadbeef);
    t.item(MF_END, 7, "Only");
    HMENU bar = LoadMenuIndirectA(t.data());
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(1, GetMenuItemCount(bar));
    EXPECT_EQ(7u, GetMenuItemID(bar, 0));
    DestroyMenu(bar);
}

TEST(MenuTemplate, ExtendedTemplate) {
    // As a resource compiler writes:
    //   MENUEX { POPUP "&Edit", 30 { MENUITEM "Cu&t", 31, MFT_STRING, MFS_CHECKED
    //                                MENUITEM "", 0, MFT_SEPARATOR
    //                                MENUITEM "&Paste", 32, MFT_STRING, MFS_GRAYED } }
    TemplateWriter t;
    t.word(1).word(4).dword(0);
    t.item_ex(MFT_STRING, 0, 30, 0x81, "&Edit");
    t.item_ex(MFT_STRING, MFS_CHECKED, 31, 0, "Cu&t");
    t.item_ex(MFT_SEPARATOR, 0, 0, 0, "");
    t.item_ex(MFT_STRING, MFS_GRAYED, 32, 0x80, "&Paste");

    HMENU bar = LoadMenuIndirectA(t.data());
    ASSERT_NE(nullptr, bar);
    ASSERT_EQ(1, GetMenuItemCount(bar));
    EXPECT_EQ("&Edit", item_text(bar, 0));
    HMENU edit = GetSubMenu(bar, 0);
    ASSERT_NE(nullptr, edit);
    ASSERT_EQ(3, GetMenuItemCount(edit));
    EXPECT_EQ(31u, GetMenuItemID(edit, 0));
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), GetMenuState(edit, 0, MF_BYPOSITION));
    EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), GetMenuState(edit, 1, MF_BYPOSITION));
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED | MF_DISABLED), GetMenuState(edit, 32, MF_BYCOMMAND));
    EXPECT_EQ("&Paste", item_text(edit, 2));
    DestroyMenu(bar);
}

TEST(MenuTemplate, UnknownVersionOrNullIsRefused) {
    TemplateWriter t;
    t.word(2).word(0);
    t.item(MF_END, 1, "x");
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadMenuIndirectA(t.data()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());
    EXPECT_EQ(nullptr, LoadMenuIndirectA(nullptr));
}

TEST(MenuTemplate, NestingBeyondAnyRealMenuIsRefused) {
    TemplateWriter t;
    t.word(0).word(0);
    for (int level = 0; level < 40; ++level)
        t.popup(MF_END, "deeper");
    t.item(MF_END, 1, "bottom");
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadMenuIndirectA(t.data()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());
}

TEST(MenuTemplate, LoadMenuFromModuleWithoutSuchMenuFails) {
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(31999)));
    EXPECT_NE(0u, GetLastError());
}

} // namespace
