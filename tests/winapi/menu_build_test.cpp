// Menus built item by item: positions and commands, item states, texts, pop-ups and the
// error results for bad handles and missing items.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ExpectedItem {
    UINT id;
    UINT state;
    const char* text;
};

// Compares a menu's items, in order, with a table: id, GetMenuState and text.
void expect_items(HMENU menu, const std::vector<ExpectedItem>& expected) {
    ASSERT_EQ(static_cast<int>(expected.size()), GetMenuItemCount(menu))
        << "expected " << expected.size() << " items, got " << GetMenuItemCount(menu);
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("position " + std::to_string(i));
        int pos = static_cast<int>(i);
        char text[64] = "unchanged";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(expected[i].id, GetMenuItemID(menu, pos));
        EXPECT_EQ(expected[i].state, GetMenuState(menu, i, MF_BYPOSITION))
            << "expected state 0x" << std::hex << expected[i].state << ", got 0x"
            << GetMenuState(menu, i, MF_BYPOSITION);
        EXPECT_STREQ(expected[i].text, text);
    }
}

TEST(MenuBuild, InsertByPositionAndAppend) {
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(IsMenu(menu));
    EXPECT_EQ(0, GetMenuItemCount(menu));
    EXPECT_TRUE(AppendMenuA(menu, MF_STRING, 3, "Preferences"));
    EXPECT_TRUE(AppendMenuA(menu, MF_STRING, 1, "About"));
    // Position 1 goes between the two; -1 and positions past the end append.
    EXPECT_TRUE(InsertMenuA(menu, 1, MF_BYPOSITION | MF_STRING, 2, "Guide"));
    EXPECT_TRUE(InsertMenuA(menu, static_cast<UINT>(-1), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr));
    EXPECT_TRUE(InsertMenuA(menu, 99, MF_BYPOSITION | MF_STRING, 7, "Last"));
    EXPECT_TRUE(InsertMenuA(menu, 0, MF_BYPOSITION | MF_STRING | MF_GRAYED, 11, "Play"));
    expect_items(menu, {{11, MF_GRAYED, "Play"},
                        {3, MF_STRING, "Preferences"},
                        {2, MF_STRING, "Guide"},
                        {1, MF_STRING, "About"},
                        {0, MF_SEPARATOR, ""},
                        {7, MF_STRING, "Last"}});
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(IsMenu(menu));
}

TEST(MenuBuild, InsertByCommandGoesBeforeThatItem) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "One");
    AppendMenuA(menu, MF_STRING, 3, "Three");
    EXPECT_TRUE(InsertMenuA(menu, 3, MF_BYCOMMAND | MF_STRING, 2, "Two"));
    expect_items(menu, {{1, 0, "One"}, {2, 0, "Two"}, {3, 0, "Three"}});

    SetLastError(0);
    EXPECT_FALSE(InsertMenuA(menu, 42, MF_BYCOMMAND | MF_STRING, 4, "Four"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MENU_ITEM_NOT_FOUND), GetLastError());
    EXPECT_EQ(3, GetMenuItemCount(menu));
    DestroyMenu(menu);
}

TEST(MenuBuild, ContextMenuExtendedAndStrippedAgain) {
    // The plug-in's pattern: a shared pop-up with three items gets items inserted at the top
    // before it is shown, and the top item deleted as many times afterwards.
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 3, "Preferences");
    AppendMenuA(popup, MF_STRING, 2, "Guide");
    AppendMenuA(popup, MF_STRING, 1, "About");
    InsertMenuA(popup, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    const UINT ids[] = {5, 6, 9, 10, 11};
    for (UINT id : ids) {
        ASSERT_TRUE(InsertMenuA(popup, 0, MF_BYPOSITION | MF_STRING, id, "item"));
    }
    EXPECT_EQ(9, GetMenuItemCount(popup));
    EXPECT_EQ(11u, GetMenuItemID(popup, 0));
    EXPECT_EQ(5u, GetMenuItemID(popup, 4));
    EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), GetMenuState(popup, 5, MF_BYPOSITION));
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(DeleteMenu(popup, 0, MF_BYPOSITION));
    expect_items(popup, {{3, 0, "Preferences"}, {2, 0, "Guide"}, {1, 0, "About"}});
    DestroyMenu(popup);
}

TEST(MenuBuild, EnableMenuItemReturnsPreviousState) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 10, "Open");
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 9, "Save");

    struct Step {
        UINT id;
        UINT flags;
        BOOL expected_previous;
        UINT expected_state;
    };
    const Step steps[] = {
        {10, MF_BYCOMMAND | MF_GRAYED, MF_ENABLED, MF_GRAYED},
        {10, MF_BYCOMMAND | MF_DISABLED, MF_GRAYED, MF_DISABLED},
        {10, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED, MF_DISABLED, MF_GRAYED | MF_DISABLED},
        {10, MF_BYCOMMAND | MF_ENABLED, MF_GRAYED | MF_DISABLED, MF_ENABLED},
        {1, MF_BYPOSITION | MF_ENABLED, MF_GRAYED, MF_ENABLED},
        {1, MF_BYPOSITION | MF_GRAYED, MF_ENABLED, MF_GRAYED},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE("id " + std::to_string(step.id) + " flags " + std::to_string(step.flags));
        EXPECT_EQ(step.expected_previous, EnableMenuItem(menu, step.id, step.flags));
        EXPECT_EQ(step.expected_state, GetMenuState(menu, step.id, step.flags & MF_BYPOSITION));
    }
    EXPECT_EQ(-1, EnableMenuItem(menu, 77, MF_BYCOMMAND | MF_GRAYED));
    EXPECT_EQ(-1, EnableMenuItem(menu, 2, MF_BYPOSITION | MF_GRAYED));
    DestroyMenu(menu);
}

TEST(MenuBuild, CheckMenuItemReturnsPreviousCheck) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 4, "Loop");
    EXPECT_EQ(static_cast<DWORD>(MF_UNCHECKED), CheckMenuItem(menu, 4, MF_CHECKED));
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), GetMenuState(menu, 4, MF_BYCOMMAND));
    EXPECT_EQ(static_cast<DWORD>(MF_CHECKED), CheckMenuItem(menu, 0, MF_BYPOSITION | MF_UNCHECKED));
    EXPECT_EQ(0u, GetMenuState(menu, 4, MF_BYCOMMAND));
    EXPECT_EQ(static_cast<DWORD>(-1), CheckMenuItem(menu, 5, MF_CHECKED));
    DestroyMenu(menu);
}

TEST(MenuBuild, PopupItemsReportSubmenuSizeAndNoId) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 10, "Open");
    AppendMenuA(file, MF_STRING, 11, "Close");
    AppendMenuA(file, MF_STRING, 12, "Exit");
    ASSERT_TRUE(AppendMenuA(bar, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(file), "File"));
    AppendMenuA(bar, MF_STRING, 20, "Help");

    EXPECT_EQ(file, GetSubMenu(bar, 0));
    EXPECT_EQ(nullptr, GetSubMenu(bar, 1));
    EXPECT_EQ(nullptr, GetSubMenu(bar, 2));
    EXPECT_EQ(nullptr, GetSubMenu(bar, -1));
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuItemID(bar, 0)) << "a pop-up item has no command id";
    EXPECT_EQ(20u, GetMenuItemID(bar, 1));
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuItemID(bar, 2));
    UINT state = GetMenuState(bar, 0, MF_BYPOSITION);
    EXPECT_EQ(static_cast<UINT>((3 << 8) | MF_POPUP | MF_GRAYED), state)
        << "expected the item count in the high byte, got 0x" << std::hex << state;

    // MF_BYCOMMAND finds items inside submenus too.
    EXPECT_EQ(MF_ENABLED, EnableMenuItem(bar, 11, MF_BYCOMMAND | MF_GRAYED));
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED), GetMenuState(file, 1, MF_BYPOSITION));
    char text[16];
    EXPECT_EQ(4, GetMenuStringA(bar, 12, text, sizeof text, MF_BYCOMMAND));
    EXPECT_STREQ("Exit", text);

    EXPECT_TRUE(DestroyMenu(bar));
    EXPECT_FALSE(IsMenu(file)) << "expected DestroyMenu to destroy submenus too";
}

TEST(MenuBuild, DeleteMenuDestroysSubmenuRemoveMenuKeepsIt) {
    HMENU bar = CreateMenu();
    HMENU first = CreatePopupMenu();
    HMENU second = CreatePopupMenu();
    AppendMenuA(first, MF_STRING, 1, "a");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(first), "First");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(second), "Second");

    EXPECT_TRUE(DeleteMenu(bar, 0, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(first));
    EXPECT_TRUE(RemoveMenu(bar, 0, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(second));
    EXPECT_EQ(0, GetMenuItemCount(bar));

    EXPECT_FALSE(DeleteMenu(bar, 0, MF_BYPOSITION));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MENU_ITEM_NOT_FOUND), GetLastError());
    EXPECT_FALSE(RemoveMenu(bar, 5, MF_BYCOMMAND));
    DestroyMenu(second);
    DestroyMenu(bar);
}

TEST(MenuBuild, ModifyMenuReplacesItemAndDropsOldSubmenu) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 11, "Play this Movie");
    // The plug-in retitles an item by command, keeping its id; the new flags replace the old.
    EXPECT_TRUE(ModifyMenuA(menu, 11, MF_BYCOMMAND | MF_STRING, 11, "Pause this Movie"));
    expect_items(menu, {{11, MF_STRING, "Pause this Movie"}});

    HMENU sub = CreatePopupMenu();
    EXPECT_TRUE(
        ModifyMenuA(menu, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "More"));
    EXPECT_EQ(sub, GetSubMenu(menu, 0));
    EXPECT_TRUE(ModifyMenuA(menu, 0, MF_BYPOSITION | MF_STRING, 12, "Plain"));
    EXPECT_FALSE(IsMenu(sub)) << "expected the replaced item's submenu to be destroyed";
    EXPECT_FALSE(ModifyMenuA(menu, 3, MF_BYPOSITION | MF_STRING, 13, "x"));
    DestroyMenu(menu);
}

TEST(MenuBuild, GetMenuStringLengthAndTruncation) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "Copy this Link Location");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    const int length = 23;

    EXPECT_EQ(length, GetMenuStringA(menu, 1, nullptr, 0, MF_BYCOMMAND));
    char buffer[32];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(length, GetMenuStringA(menu, 1, buffer, 0, MF_BYCOMMAND));
    EXPECT_EQ('x', buffer[0]) << "a zero-sized buffer must not be written";

    struct Case {
        int max_count;
        int expected;
        const char* text;
    };
    const Case cases[] = {{1, 0, ""},
                          {2, 1, "C"},
                          {5, 4, "Copy"},
                          {length, length - 1, "Copy this Link Locatio"},
                          {length + 1, length, "Copy this Link Location"},
                          {32, length, "Copy this Link Location"}};
    for (const Case& c : cases) {
        SCOPED_TRACE("max_count " + std::to_string(c.max_count));
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(c.expected, GetMenuStringA(menu, 0, buffer, c.max_count, MF_BYPOSITION));
        EXPECT_STREQ(c.text, buffer);
    }
    EXPECT_EQ(0, GetMenuStringA(menu, 1, buffer, sizeof buffer, MF_BYPOSITION))
        << "a separator has no text";
    EXPECT_EQ(0, GetMenuStringA(menu, 99, buffer, sizeof buffer, MF_BYCOMMAND));
    DestroyMenu(menu);
}

TEST(MenuBuild, PopupCyclesAreRefused) {
    HMENU outer = CreatePopupMenu();
    HMENU inner = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuA(outer, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), "Inner"));
    SetLastError(0);
    EXPECT_FALSE(AppendMenuA(inner, MF_POPUP, reinterpret_cast<UINT_PTR>(outer), "Outer"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_FALSE(AppendMenuA(outer, MF_POPUP, reinterpret_cast<UINT_PTR>(outer), "Self"));
    EXPECT_EQ(0, GetMenuItemCount(inner));
    DestroyMenu(outer);
}

TEST(MenuBuild, BadHandlesFailWithInvalidMenuHandle) {
    HMENU dead = CreatePopupMenu();
    DestroyMenu(dead);
    HMENU foreign = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0x12345));
    const HMENU bad[] = {nullptr, dead, foreign};
    for (HMENU menu : bad) {
        SCOPED_TRACE(reinterpret_cast<UINT_PTR>(menu));
        auto expect_error = [](const char* call) {
            EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE), GetLastError())
                << "expected ERROR_INVALID_MENU_HANDLE from " << call << ", got " << GetLastError();
            SetLastError(0);
        };
        SetLastError(0);
        EXPECT_FALSE(IsMenu(menu));
        expect_error("IsMenu");
        EXPECT_FALSE(DestroyMenu(menu));
        expect_error("DestroyMenu");
        EXPECT_EQ(-1, GetMenuItemCount(menu));
        expect_error("GetMenuItemCount");
        EXPECT_EQ(static_cast<UINT>(-1), GetMenuItemID(menu, 0));
        expect_error("GetMenuItemID");
        EXPECT_EQ(static_cast<UINT>(-1), GetMenuState(menu, 0, MF_BYPOSITION));
        expect_error("GetMenuState");
        EXPECT_EQ(-1, EnableMenuItem(menu, 0, MF_BYPOSITION));
        expect_error("EnableMenuItem");
        EXPECT_EQ(static_cast<DWORD>(-1), CheckMenuItem(menu, 0, MF_BYPOSITION));
        expect_error("CheckMenuItem");
        char text[8];
        EXPECT_EQ(0, GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION));
        expect_error("GetMenuStringA");
        EXPECT_EQ(nullptr, GetSubMenu(menu, 0));
        expect_error("GetSubMenu");
        EXPECT_FALSE(AppendMenuA(menu, MF_STRING, 1, "x"));
        expect_error("AppendMenuA");
        EXPECT_FALSE(InsertMenuA(menu, 0, MF_BYPOSITION, 1, "x"));
        expect_error("InsertMenuA");
        EXPECT_FALSE(ModifyMenuA(menu, 0, MF_BYPOSITION, 1, "x"));
        expect_error("ModifyMenuA");
        EXPECT_FALSE(DeleteMenu(menu, 0, MF_BYPOSITION));
        expect_error("DeleteMenu");
        EXPECT_FALSE(RemoveMenu(menu, 0, MF_BYPOSITION));
        expect_error("RemoveMenu");
    }
    // A dead menu cannot become somebody's submenu either.
    HMENU menu = CreatePopupMenu();
    EXPECT_FALSE(AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(dead), "Dead"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE), GetLastError());
    EXPECT_EQ(0, GetMenuItemCount(menu));
    DestroyMenu(menu);
}

} // namespace
