// CMenu: ownership of the held menu, the framework objects FromHandle hands out, and the
// way the plug-in uses its context menu.
#include <afxwin.h>

#include <gtest/gtest.h>

#include <string>

#include "framework_test_ids.h"

namespace {

TEST(FrameworkMenu, AttachDetachAndOwnership) {
    HMENU handle = CreatePopupMenu();
    {
        CMenu menu;
        EXPECT_FALSE(menu.Attach(nullptr));
        EXPECT_TRUE(menu.Attach(handle));
        EXPECT_EQ(handle, menu.m_hMenu);
        EXPECT_EQ(handle, static_cast<HMENU>(menu));
        HMENU other = CreatePopupMenu();
        EXPECT_FALSE(menu.Attach(other)) << "an object holds one menu at a time";
        EXPECT_EQ(handle, menu.m_hMenu);
        DestroyMenu(other);
        EXPECT_EQ(handle, menu.Detach());
        EXPECT_EQ(nullptr, menu.m_hMenu);
        EXPECT_EQ(nullptr, menu.Detach());
    }
    EXPECT_TRUE(IsMenu(handle)) << "a detached menu survives the object";
    {
        CMenu menu;
        menu.Attach(handle);
    }
    EXPECT_FALSE(IsMenu(handle)) << "the destructor destroys the held menu";
}

TEST(FrameworkMenu, DestroyMenuDestroysSubmenusToo) {
    CMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    EXPECT_FALSE(bar.CreatePopupMenu()) << "already holds a menu";
    HMENU popup = CreatePopupMenu();
    ASSERT_TRUE(bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "File"));
    CMenu* sub = bar.GetSubMenu(0);
    ASSERT_NE(nullptr, sub);
    EXPECT_EQ(popup, sub->m_hMenu);
    EXPECT_TRUE(bar.DestroyMenu());
    EXPECT_FALSE(IsMenu(popup));
    EXPECT_EQ(nullptr, bar.m_hMenu);
    EXPECT_FALSE(bar.DestroyMenu()) << "nothing left to destroy";
}

TEST(FrameworkMenu, FromHandleIsStableAndPrefersTheHolder) {
    EXPECT_EQ(nullptr, CMenu::FromHandle(nullptr));
    CMenu holder;
    ASSERT_TRUE(holder.CreatePopupMenu());
    EXPECT_EQ(&holder, CMenu::FromHandle(holder.m_hMenu));

    HMENU loose = CreatePopupMenu();
    CMenu* temporary = CMenu::FromHandle(loose);
    ASSERT_NE(nullptr, temporary);
    EXPECT_EQ(loose, temporary->m_hMenu);
    EXPECT_EQ(temporary, CMenu::FromHandle(loose)) << "the same object while the menu lives";
    EXPECT_TRUE(temporary->AppendMenu(MF_STRING, 1, "item"));
    EXPECT_EQ(1u, temporary->GetMenuItemCount());
    DestroyMenu(loose);
    // Later calls reclaim the temporary object of the destroyed menu; the sanitizer build
    // reports it if it leaks.
    HMENU next = CreatePopupMenu();
    EXPECT_NE(nullptr, CMenu::FromHandle(next));
    DestroyMenu(next);

    // A temporary object never owns its menu.
    HMENU kept = CreatePopupMenu();
    CMenu::FromHandle(kept);
    EXPECT_TRUE(IsMenu(kept));
    DestroyMenu(kept);
}

TEST(FrameworkMenu, ContextMenuAsThePluginUsesIt) {
    // Start-up: load menu 4000, attach it, and take the framework object of its pop-up.
    CMenu plugin_menu;
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDM_CONTEXT), RT_MENU);
    EXPECT_EQ(GetModuleHandleA(nullptr), module);
    ASSERT_TRUE(plugin_menu.Attach(LoadMenuA(module, MAKEINTRESOURCEA(IDM_CONTEXT))));
    CMenu* context = plugin_menu.GetSubMenu(0);
    ASSERT_NE(nullptr, context);
    EXPECT_EQ(context, plugin_menu.GetSubMenu(0));
    ASSERT_EQ(3u, context->GetMenuItemCount());

    // A right click: extend the pop-up at the top, set states, strip it again.
    EXPECT_TRUE(context->InsertMenu(0, MF_BYPOSITION | MF_SEPARATOR));
    EXPECT_TRUE(context->InsertMenu(0, MF_BYPOSITION | MF_STRING, 9, "Save this Movie as..."));
    EXPECT_TRUE(context->InsertMenu(0, MF_BYPOSITION | MF_STRING, 11, "Play this Movie"));
    EXPECT_EQ(static_cast<UINT>(MF_ENABLED), context->EnableMenuItem(0, MF_BYPOSITION | MF_GRAYED));
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED), context->GetMenuState(11, MF_BYCOMMAND));
    EXPECT_TRUE(context->ModifyMenu(0, MF_BYPOSITION | MF_STRING, 11, "Pause this Movie"));
    EXPECT_EQ(static_cast<UINT>(MF_UNCHECKED), context->CheckMenuItem(9, MF_CHECKED));
    EXPECT_EQ(9u, context->GetMenuItemID(1));
    EXPECT_EQ(6u, context->GetMenuItemCount());

    CString text;
    EXPECT_EQ(16, context->GetMenuString(11, text, MF_BYCOMMAND));
    EXPECT_STREQ("Pause this Movie", text);
    char buffer[8];
    EXPECT_EQ(7, context->GetMenuString(0, buffer, sizeof buffer, MF_BYPOSITION));
    EXPECT_STREQ("Pause t", buffer);

    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(context->DeleteMenu(0, MF_BYPOSITION));
    ASSERT_EQ(3u, context->GetMenuItemCount());
    const char* expected[] = {"Preferences", "QuickTime Guide", "About Lanternix(tm) Plug-in"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(static_cast<UINT>(3 - i), context->GetMenuItemID(i));
        CString item;
        context->GetMenuString(i, item, MF_BYPOSITION);
        EXPECT_STREQ(expected[i], item);
    }
    EXPECT_TRUE(context->RemoveMenu(2, MF_BYPOSITION));
    EXPECT_FALSE(context->RemoveMenu(2, MF_BYPOSITION));

    // Shutdown: destroying the held menu takes the pop-up with it.
    HMENU popup = context->m_hMenu;
    EXPECT_TRUE(plugin_menu.DestroyMenu());
    EXPECT_FALSE(IsMenu(popup));
}

TEST(FrameworkMenu, LoadMenuThroughTheFramework) {
    CMenu menu;
    EXPECT_FALSE(menu.LoadMenu(31000u)) << "no such menu";
    EXPECT_EQ(nullptr, menu.m_hMenu);
    ASSERT_TRUE(menu.LoadMenu(IDM_CONTEXT));
    EXPECT_EQ(1u, menu.GetMenuItemCount());
    EXPECT_FALSE(menu.LoadMenu(IDM_CONTEXT)) << "already holds a menu";
    CString title;
    menu.GetMenuString(0, title, MF_BYPOSITION);
    EXPECT_STREQ("Lanternix", title);
}

TEST(FrameworkMenu, DamagedMenuResourcesAreRefused) {
    // The resource's size bounds the template: nothing past it is read.
    const struct {
        const char* what;
        UINT id;
    } cases[] = {{"text cut off", IDM_TRUNCATED},
                 {"unknown version", IDM_BAD_VERSION},
                 {"no end marker", IDM_NO_END}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(0);
        EXPECT_EQ(nullptr, LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.id)));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());
        CMenu menu;
        EXPECT_FALSE(menu.LoadMenu(c.id));
        EXPECT_EQ(nullptr, menu.m_hMenu);
    }
}

TEST(FrameworkMenu, ItemFunctionsOnAnEmptyObjectFail) {
    CMenu menu;
    EXPECT_FALSE(menu.AppendMenu(MF_STRING, 1, "x"));
    EXPECT_FALSE(menu.InsertMenu(0, MF_BYPOSITION, 1, "x"));
    EXPECT_FALSE(menu.DeleteMenu(0, MF_BYPOSITION));
    EXPECT_EQ(static_cast<UINT>(-1), menu.GetMenuItemCount());
    EXPECT_EQ(nullptr, menu.GetSubMenu(0));
    CString text("unchanged");
    EXPECT_EQ(0, menu.GetMenuString(0, text, MF_BYPOSITION));
    EXPECT_TRUE(text.IsEmpty());
}

} // namespace
