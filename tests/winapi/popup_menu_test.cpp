// TrackPopupMenu: the menu as shown, choosing by automation, mouse and keys, greyed items,
// the WM_COMMAND that arrives after the call, placement, and the modal loop that keeps other
// windows running.
#include "window_test_util.h"

using namespace window_test;
namespace desktop = winapi::desktop;

namespace {

class PopupMenu : public DesktopFixture {
  protected:
    void SetUp() override {
        DesktopFixture::SetUp();
        owner = make_top(0, 0, 300, 200);
        menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 10, "&Open");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING | MF_GRAYED, 9, "Save");
        AppendMenuA(menu, MF_STRING | MF_CHECKED, 1, "Quit");
        settle();
    }
    void TearDown() override {
        DestroyMenu(menu);
        DesktopFixture::TearDown();
    }

    int commands_logged(WPARAM id) {
        int count = 0;
        for (const LoggedMessage& m : message_log())
            if (m.hwnd == owner && m.message == WM_COMMAND && m.wparam == id) ++count;
        return count;
    }

    static POINT centre(const RECT& r) {
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    HWND owner = nullptr;
    HMENU menu = nullptr;
};

TEST_F(PopupMenu, AutomationReadsTheMenuAsShown) {
    std::vector<desktop::ShownMenuItem> items;
    HWND menu_window = nullptr;
    bool visible = false;
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        EXPECT_EQ(event.kind, desktop::ModalKind::Menu);
        EXPECT_EQ(event.owner, owner);
        EXPECT_EQ(event.menu, menu);
        items = event.menu_items;
        menu_window = event.window;
        visible = IsWindowVisible(event.window) != FALSE;
        return 0;
    });
    EXPECT_TRUE(TrackPopupMenu(menu, 0, 100, 50, 0, owner, nullptr));
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].text, "&Open");
    EXPECT_EQ(items[0].id, 10u);
    EXPECT_TRUE(items[0].enabled);
    EXPECT_TRUE(items[1].separator);
    EXPECT_EQ(items[2].text, "Save");
    EXPECT_FALSE(items[2].enabled) << "a greyed item is shown greyed";
    EXPECT_TRUE(items[3].checked);
    EXPECT_TRUE(visible) << "the menu is a window on the screen while it is open";
    EXPECT_GE(items[0].rect.left, 100);
    EXPECT_GE(items[0].rect.top, 50);
    EXPECT_LT(items[0].rect.top, items[2].rect.top);
    EXPECT_FALSE(IsWindow(menu_window)) << "the menu window goes when the menu closes";
    desktop::pump_messages();
    EXPECT_EQ(commands_logged(10) + commands_logged(9) + commands_logged(1), 0)
        << "dismissing posts nothing";
}

TEST_F(PopupMenu, ChoiceArrivesAsCommandAfterTheCallReturns) {
    desktop::set_automation([](const desktop::ModalEvent&) { return 10; });
    clear_log();
    EXPECT_TRUE(TrackPopupMenu(menu, 0, 20, 20, 0, owner, nullptr));
    EXPECT_EQ(commands_logged(10), 0) << "the command must not arrive before the call returns";
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, owner, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(10));
    desktop::pump_messages();
    EXPECT_EQ(commands_logged(10), 1);
}

TEST_F(PopupMenu, GreyedItemsCannotBeChosen) {
    std::vector<int> rounds;
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        rounds.push_back(event.round);
        return event.round == 0 ? 9 : 0; // click the greyed item, then give up
    });
    clear_log();
    EXPECT_TRUE(TrackPopupMenu(menu, 0, 20, 20, 0, owner, nullptr));
    desktop::pump_messages();
    EXPECT_EQ(rounds, (std::vector<int>{0, 1})) << "the menu stays open after a greyed click";
    EXPECT_EQ(commands_logged(9), 0);
}

TEST_F(PopupMenu, ReturnCommandGivesTheIdAndPostsNothing) {
    desktop::set_automation([](const desktop::ModalEvent&) { return 1; });
    clear_log();
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 20, 20, 0, owner, nullptr), 1);
    desktop::pump_messages();
    EXPECT_EQ(commands_logged(1), 0);
    desktop::set_automation(nullptr);
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 20, 20, 0, owner, nullptr), 0)
        << "without a callback the menu closes without a choice";
}

TEST_F(PopupMenu, MouseClickOnAnItemChoosesIt) {
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        if (event.round > 0) return 0;
        POINT p = centre(event.menu_items[3].rect);
        desktop::click(desktop::MouseButton::Left, p.x, p.y);
        return desktop::kModalContinue;
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 40, 40, 0, owner, nullptr), 1);
}

TEST_F(PopupMenu, ClickOutsideDismisses) {
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        EXPECT_EQ(event.round, 0) << "the click outside should have closed the menu";
        desktop::click(desktop::MouseButton::Left, 5, 5);
        return desktop::kModalContinue;
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 40, 40, 0, owner, nullptr), 0);
}

TEST_F(PopupMenu, KeysMoveOverSeparatorsAndEnterSkipsGreyedItems) {
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        if (event.round > 0) return 0;
        desktop::press_key(VK_DOWN);   // Open
        desktop::press_key(VK_DOWN);   // over the separator to Save (greyed)
        desktop::press_key(VK_RETURN); // nothing happens
        EXPECT_TRUE(IsWindow(event.window));
        desktop::press_key(VK_DOWN); // Quit
        desktop::press_key(VK_RETURN);
        return desktop::kModalContinue;
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 40, 40, 0, owner, nullptr), 1);
    desktop::set_automation([&](const desktop::ModalEvent&) {
        desktop::press_key(VK_ESCAPE);
        return desktop::kModalContinue;
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 40, 40, 0, owner, nullptr), 0);
    desktop::set_automation([&](const desktop::ModalEvent&) {
        desktop::type_text("o"); // the mnemonic of "&Open"
        return desktop::kModalContinue;
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 40, 40, 0, owner, nullptr), 10);
}

TEST_F(PopupMenu, HighlightedItemIsDrawnInTheHighlightColour) {
    COLORREF before = 0, after = 0;
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        RECT r = event.menu_items[0].rect;
        POINT origin{0, 0};
        ClientToScreen(event.window, &origin);
        int x = r.left - origin.x + 2, y = (r.top + r.bottom) / 2 - origin.y;
        before = desktop::window_pixel(event.window, x, y);
        POINT p = centre(r);
        desktop::mouse_move(p.x, p.y);
        desktop::pump_messages();
        after = desktop::window_pixel(event.window, x, y);
        return 0;
    });
    TrackPopupMenu(menu, 0, 40, 40, 0, owner, nullptr);
    EXPECT_EQ(before, GetSysColor(COLOR_MENU));
    EXPECT_EQ(after, GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(PopupMenu, PlacementFollowsTheAlignmentFlagsAndStaysOnScreen) {
    RECT shown{};
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        GetWindowRect(event.window, &shown);
        return 0;
    });
    TrackPopupMenu(menu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 500, 400, 0, owner, nullptr);
    EXPECT_EQ(shown.right, 500);
    EXPECT_EQ(shown.bottom, 400);
    TrackPopupMenu(menu, 0, 1020, 760, 0, owner, nullptr);
    EXPECT_EQ(shown.right, 1020) << "a menu that would leave the screen opens to the left";
    EXPECT_EQ(shown.bottom, 760);
}

TEST_F(PopupMenu, OtherWindowsKeepGettingMessages) {
    HWND other = make_top(400, 0, 50, 50);
    SetTimer(other, 7, 100, nullptr);
    int ticks_seen = 0;
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        if (event.round == 0) {
            desktop::advance_clock(100);
            return desktop::kModalContinue;
        }
        for (const LoggedMessage& m : message_log())
            if (m.hwnd == other && m.message == WM_TIMER) ++ticks_seen;
        return 0;
    });
    clear_log();
    TrackPopupMenu(menu, 0, 40, 40, 0, owner, nullptr);
    EXPECT_EQ(ticks_seen, 1) << "the timer of another window ticked while the menu was open";
}

TEST_F(PopupMenu, OwnerHearsOfTheMenuLoop) {
    clear_log();
    TrackPopupMenu(menu, 0, 40, 40, 0, owner, nullptr);
    expect_messages(messages_named({WM_ENTERMENULOOP, WM_INITMENUPOPUP, WM_EXITMENULOOP}),
                    {{WM_ENTERMENULOOP, owner, WParam, TRUE},
                     {WM_INITMENUPOPUP, owner, WParam, reinterpret_cast<WPARAM>(menu)},
                     {WM_EXITMENULOOP, owner, WParam, TRUE}},
                    "menu loop notifications");
}

TEST_F(PopupMenu, BadHandlesFail) {
    SetLastError(0);
    EXPECT_FALSE(TrackPopupMenu(nullptr, 0, 0, 0, 0, owner, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
    EXPECT_FALSE(TrackPopupMenu(menu, 0, 0, 0, 0, reinterpret_cast<HWND>(0x1234), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(PopupMenu, ShownMenuListsItemsWithoutShowingThem) {
    std::vector<desktop::ShownMenuItem> items = desktop::shown_menu(menu);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[3].text, "Quit");
    EXPECT_EQ(items[3].id, 1u);
}

} // namespace

namespace {

HMENU g_context_menu = nullptr;

// A window that opens its context menu on a right click, as programs do.
LRESULT CALLBACK context_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_RBUTTONDOWN) {
        POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        ClientToScreen(hwnd, &p);
        TrackPopupMenu(g_context_menu, 0, p.x, p.y, 0, hwnd, nullptr);
        return 0;
    }
    return logging_proc(hwnd, message, wparam, lparam);
}

TEST_F(PopupMenu, RightClickOpensTheMenuFromTheWindowProcedure) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = context_proc;
    cls.lpszClassName = "LxContext";
    ASSERT_NE(RegisterClassA(&cls), 0);
    HWND hwnd = CreateWindowExA(0, "LxContext", "", WS_POPUP | WS_VISIBLE, 200, 200, 100, 100,
                                nullptr, nullptr, nullptr, nullptr);
    g_context_menu = menu;
    RECT first{};
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        first = event.menu_items[0].rect;
        return 10;
    });
    settle();
    desktop::click(desktop::MouseButton::Right, 230, 240);
    desktop::pump_messages();
    g_context_menu = nullptr;
    EXPECT_EQ(first.left, 230 + 3) << "the menu opens at the click";
    EXPECT_EQ(first.top, 240 + 3);
    std::vector<LoggedMessage> commands = messages_named({WM_COMMAND});
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].hwnd, hwnd);
    EXPECT_EQ(commands[0].wparam, static_cast<WPARAM>(10));
}

} // namespace
