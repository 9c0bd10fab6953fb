// Dialogs from templates, driven like a person: clicks, typing, Tab, Enter and Escape, the
// text limit, the dialog item functions, and the modal loop.
#include "dialog_test_ids.h"
#include "window_test_util.h"

#include <functional>

using namespace window_test;
namespace desktop = winapi::desktop;

namespace {

struct Notification {
    UINT id;
    UINT code;
};

// What the test dialog procedure saw, and what it is told to do.
struct DialogScript {
    std::vector<Notification> notifications;
    std::function<void(HWND)> on_init;
    bool beep_on_max_text = true;
    int init_calls = 0;
    HWND init_focus_param = nullptr;
};

DialogScript* g_script = nullptr;

INT_PTR CALLBACK test_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    (void)lparam;
    if (message == WM_INITDIALOG) {
        ++g_script->init_calls;
        g_script->init_focus_param = reinterpret_cast<HWND>(wparam);
        if (g_script->on_init) g_script->on_init(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    UINT id = LOWORD(wparam), code = HIWORD(wparam);
    g_script->notifications.push_back({id, code});
    if (code == EN_MAXTEXT && g_script->beep_on_max_text) MessageBeep(0);
    if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
    return TRUE;
}

class Dialogs : public DesktopFixture {
  protected:
    void SetUp() override {
        DesktopFixture::SetUp();
        g_script = &script;
    }
    void TearDown() override {
        g_script = nullptr;
        DesktopFixture::TearDown();
    }

    INT_PTR run(std::function<int(const desktop::ModalEvent&)> automation, HWND owner = nullptr,
                int id = IDD_OPTIONS) {
        desktop::set_automation(std::move(automation));
        return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), owner,
                               test_dialog_proc, 0);
    }

    int count(UINT id, UINT code) const {
        int n = 0;
        for (const Notification& note : script.notifications)
            if (note.id == id && note.code == code) ++n;
        return n;
    }

    static std::string item_text(HWND dialog, int id) {
        char text[512] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }

    DialogScript script;
};

TEST_F(Dialogs, TemplateMakesTheDialogAndItsControls) {
    std::string caption;
    RECT count_rect{}, mapped{105, 18, 123, 30};
    HWND first = nullptr, focus = nullptr;
    INT_PTR result = run([&](const desktop::ModalEvent& event) {
        EXPECT_EQ(event.kind, desktop::ModalKind::Dialog);
        caption = event.caption;
        HWND count = GetDlgItem(event.window, IDC_COUNT);
        GetWindowRect(count, &count_rect);
        POINT origin{0, 0};
        ClientToScreen(event.window, &origin);
        OffsetRect(&count_rect, -origin.x, -origin.y);
        MapDialogRect(event.window, &mapped);
        first = GetDlgItem(event.window, IDC_FIRST);
        focus = GetFocus();
        EXPECT_TRUE(IsWindowVisible(event.window));
        EXPECT_EQ(item_text(event.window, IDC_FIRST), "First option");
        EXPECT_EQ(GetWindowLongA(count, GWL_STYLE) & (WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL),
                  WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
        return IDCANCEL;
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(caption, "Test Options");
    EXPECT_EQ(script.init_calls, 1);
    EXPECT_EQ(script.init_focus_param, first) << "WM_INITDIALOG names the first tab stop";
    EXPECT_EQ(focus, first) << "returning TRUE puts the focus on the first tab stop";
    EXPECT_EQ(count_rect.left, mapped.left);
    EXPECT_EQ(count_rect.bottom, mapped.bottom);
    EXPECT_GT(mapped.right - mapped.left, 18) << "dialog units are larger than pixels";
}

TEST_F(Dialogs, ExtendedTemplateWithItsFontAndStyles) {
    std::string name;
    LONG ex_style = 0;
    run(
        [&](const desktop::ModalEvent& event) {
            ex_style = GetWindowLongA(event.window, GWL_EXSTYLE);
            desktop::click_dialog_item(event.window, IDC_NAME);
            desktop::type_text("abc");
            name = item_text(event.window, IDC_NAME);
            return IDOK;
        },
        nullptr, IDD_EXTENDED);
    EXPECT_EQ(name, "ABC") << "ES_UPPERCASE from the extended template";
    EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);
}

TEST_F(Dialogs, MissingTemplateGivesMinusOne) {
    EXPECT_EQ(run([](const desktop::ModalEvent&) { return 0; }, nullptr, IDD_MISSING), -1);
    EXPECT_EQ(script.init_calls, 0);
}

TEST_F(Dialogs, CheckBoxesToggleWhenClicked) {
    std::vector<UINT> states;
    run([&](const desktop::ModalEvent& event) {
        HWND dialog = event.window;
        desktop::click_dialog_item(dialog, IDC_FIRST);
        states.push_back(IsDlgButtonChecked(dialog, IDC_FIRST));
        desktop::click_dialog_item(dialog, IDC_FIRST);
        states.push_back(IsDlgButtonChecked(dialog, IDC_FIRST));
        // This one lies on the edge of a disabled group box.
        desktop::click_dialog_item(dialog, IDC_HELPER_CHECK);
        states.push_back(IsDlgButtonChecked(dialog, IDC_HELPER_CHECK));
        CheckDlgButton(dialog, IDC_COUNT_CHECK, BST_CHECKED);
        states.push_back(IsDlgButtonChecked(dialog, IDC_COUNT_CHECK));
        return IDOK;
    });
    EXPECT_EQ(states, (std::vector<UINT>{BST_CHECKED, BST_UNCHECKED, BST_CHECKED, BST_CHECKED}));
    EXPECT_EQ(count(IDC_FIRST, BN_CLICKED), 2);
    EXPECT_EQ(count(IDC_HELPER_CHECK, BN_CLICKED), 1);
    EXPECT_EQ(count(IDC_COUNT_CHECK, BN_CLICKED), 0) << "CheckDlgButton is not a click";
}

TEST_F(Dialogs, CheckedBoxIsDrawnWithItsMark) {
    COLORREF unchecked = 0, checked = 0;
    run([&](const desktop::ModalEvent& event) {
        HWND box = GetDlgItem(event.window, IDC_FIRST);
        RECT r;
        GetClientRect(box, &r);
        int y = r.bottom / 2;
        desktop::pump_messages();
        unchecked = desktop::window_pixel(box, 6, y);
        desktop::click_window(box);
        checked = desktop::window_pixel(box, 6, y);
        return IDCANCEL;
    });
    EXPECT_EQ(unchecked, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(checked, GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(Dialogs, TypingPastTheLimitSendsMaxTextOnce) {
    script.on_init = [](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_COUNT, EM_LIMITTEXT, 3, 0);
    };
    std::string text;
    run([&](const desktop::ModalEvent& event) {
        desktop::click_dialog_item(event.window, IDC_COUNT);
        desktop::type_text("1234");
        text = item_text(event.window, IDC_COUNT);
        return IDOK;
    });
    EXPECT_EQ(text, "123");
    EXPECT_EQ(count(IDC_COUNT, EN_MAXTEXT), 1);
    EXPECT_EQ(count(IDC_COUNT, EN_CHANGE), 3);
    EXPECT_EQ(desktop::beeps(), (std::vector<UINT>{0})) << "the dialog beeps on EN_MAXTEXT";
}

TEST_F(Dialogs, EditKeysSelectAndReplace) {
    std::string after_typing, after_delete;
    DWORD sel_start = 9, sel_end = 9;
    run([&](const desktop::ModalEvent& event) {
        HWND dialog = event.window;
        SetDlgItemTextA(dialog, IDC_PATH, "abcdef");
        desktop::click_dialog_item(dialog, IDC_PATH);
        desktop::press_key(VK_HOME);
        desktop::press_key(VK_RIGHT, true);
        desktop::press_key(VK_RIGHT, true);
        SendDlgItemMessageA(dialog, IDC_PATH, EM_GETSEL, reinterpret_cast<WPARAM>(&sel_start),
                            reinterpret_cast<LPARAM>(&sel_end));
        desktop::type_text("X");
        after_typing = item_text(dialog, IDC_PATH);
        desktop::press_key(VK_DELETE);
        desktop::press_key(VK_END);
        desktop::press_key(VK_BACK);
        after_delete = item_text(dialog, IDC_PATH);
        return IDOK;
    });
    EXPECT_EQ(sel_start, 0u);
    EXPECT_EQ(sel_end, 2u);
    EXPECT_EQ(after_typing, "Xcdef");
    EXPECT_EQ(after_delete, "Xde");
}

TEST_F(Dialogs, LongTextScrollsInsteadOfStopping) {
    std::string text(60, 'w');
    std::string got;
    COLORREF at_right_edge = 0;
    run([&](const desktop::ModalEvent& event) {
        HWND edit = GetDlgItem(event.window, IDC_COUNT);
        desktop::click_window(edit);
        desktop::type_text(text.c_str());
        got = item_text(event.window, IDC_COUNT);
        // The caret sits at the end of the text, which has scrolled into view.
        RECT r;
        GetClientRect(edit, &r);
        at_right_edge = desktop::window_pixel(edit, r.right - 4, r.bottom / 2);
        return IDOK;
    });
    EXPECT_EQ(got, text);
    EXPECT_EQ(at_right_edge, GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(Dialogs, EnterPressesTheDefaultButtonAndEscapeCancels) {
    EXPECT_EQ(run([](const desktop::ModalEvent& event) {
                  desktop::click_dialog_item(event.window, IDC_PATH);
                  desktop::press_key(VK_RETURN);
                  return desktop::kModalContinue;
              }),
              IDOK);
    script.notifications.clear();
    EXPECT_EQ(run([](const desktop::ModalEvent&) {
                  desktop::press_key(VK_ESCAPE);
                  return desktop::kModalContinue;
              }),
              IDCANCEL);
    EXPECT_EQ(count(IDCANCEL, BN_CLICKED), 1);
}

TEST_F(Dialogs, TabMovesThroughTheTabStopsInTemplateOrder) {
    std::vector<int> order;
    std::vector<int> backwards;
    DWORD sel_start = 9, sel_end = 9;
    run([&](const desktop::ModalEvent& event) {
        HWND dialog = event.window;
        SetDlgItemTextA(dialog, IDC_COUNT, "12");
        for (int i = 0; i < 8; ++i) {
            desktop::press_key(VK_TAB);
            order.push_back(GetDlgCtrlID(GetFocus()));
            if (order.back() == IDC_COUNT)
                SendDlgItemMessageA(dialog, IDC_COUNT, EM_GETSEL,
                                    reinterpret_cast<WPARAM>(&sel_start),
                                    reinterpret_cast<LPARAM>(&sel_end));
        }
        desktop::press_key(VK_TAB, true);
        backwards.push_back(GetDlgCtrlID(GetFocus()));
        desktop::press_key(VK_TAB, true);
        backwards.push_back(GetDlgCtrlID(GetFocus()));
        return IDCANCEL;
    });
    EXPECT_EQ(order, (std::vector<int>{IDC_COUNT_CHECK, IDC_COUNT, IDC_HELPER_CHECK, IDC_PATH,
                                       IDC_BROWSE, IDCANCEL, IDOK, IDC_FIRST}));
    EXPECT_EQ(backwards, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(sel_start, 0u) << "tabbing into an edit box selects its text";
    EXPECT_EQ(sel_end, 2u);
}

TEST_F(Dialogs, DisabledControlsTakeNoInput) {
    bool enabled_after = true, was_disabled = false;
    std::string text;
    script.on_init = [](HWND dialog) { EnableWindow(GetDlgItem(dialog, IDC_COUNT), FALSE); };
    run([&](const desktop::ModalEvent& event) {
        HWND dialog = event.window;
        HWND count = GetDlgItem(dialog, IDC_COUNT);
        enabled_after = IsWindowEnabled(count);
        desktop::click_window(count);
        desktop::type_text("5");
        text = item_text(dialog, IDC_COUNT);
        desktop::press_key(VK_TAB); // from the first tab stop ...
        desktop::press_key(VK_TAB); // ... past the disabled box
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_HELPER_CHECK);
        was_disabled = EnableWindow(count, TRUE);
        return IDCANCEL;
    });
    EXPECT_FALSE(enabled_after);
    EXPECT_EQ(text, "");
    EXPECT_TRUE(was_disabled) << "EnableWindow returns whether the window was disabled";
}

TEST_F(Dialogs, OwnerIsDisabledWhileTheDialogRuns) {
    HWND owner = make_top(0, 0, 100, 100);
    BOOL owner_enabled = TRUE;
    run(
        [&](const desktop::ModalEvent& event) {
            EXPECT_EQ(event.owner, owner);
            owner_enabled = IsWindowEnabled(owner);
            return IDOK;
        },
        owner);
    EXPECT_FALSE(owner_enabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner) << "the owner is active again afterwards";
}

TEST_F(Dialogs, DialogItemNumbers) {
    struct Case {
        const char* text;
        BOOL is_signed;
        UINT value;
        BOOL translated;
    } cases[] = {
        {"42", FALSE, 42, TRUE},         {" 7", FALSE, 7, TRUE},
        {"-5", FALSE, 0, FALSE},         {"-5", TRUE, static_cast<UINT>(-5), TRUE},
        {"abc", FALSE, 0, FALSE},        {"", FALSE, 0, FALSE},
        {"12x", FALSE, 0, FALSE},        {"4294967295", FALSE, 4294967295u, TRUE},
        {"4294967296", FALSE, 0, FALSE}, {"2147483648", TRUE, 0, FALSE},
    };
    std::string set_text;
    run([&](const desktop::ModalEvent& event) {
        HWND dialog = event.window;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text);
            SetDlgItemTextA(dialog, IDC_PATH, c.text);
            BOOL translated = 2;
            EXPECT_EQ(GetDlgItemInt(dialog, IDC_PATH, &translated, c.is_signed), c.value);
            EXPECT_EQ(translated, c.translated);
        }
        SetDlgItemInt(dialog, IDC_PATH, static_cast<UINT>(-12), TRUE);
        set_text = item_text(dialog, IDC_PATH);
        return IDOK;
    });
    EXPECT_EQ(set_text, "-12");
}

TEST_F(Dialogs, OtherWindowsKeepTheirTimers) {
    HWND other = make_top(600, 0, 50, 50);
    SetTimer(other, 3, 50, nullptr);
    size_t ticks = 0;
    run([&](const desktop::ModalEvent& event) {
        if (event.round == 0) {
            clear_log();
            desktop::advance_clock(60);
            return desktop::kModalContinue;
        }
        for (const LoggedMessage& m : message_log())
            if (m.hwnd == other && m.message == WM_TIMER) ++ticks;
        return IDOK;
    });
    EXPECT_EQ(ticks, 1u);
}

TEST_F(Dialogs, WithoutAnAnswerTheDialogIsCancelled) {
    desktop::set_automation(nullptr);
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_OPTIONS), nullptr,
                              test_dialog_proc, 0),
              IDCANCEL);
}

INT_PTR CALLBACK stubborn_proc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG || message == WM_COMMAND; // never ends
}

TEST_F(Dialogs, ADialogThatNeverEndsIsClosedAfterTheRounds) {
    int rounds = 0;
    desktop::set_automation([&](const desktop::ModalEvent&) {
        ++rounds;
        return IDOK;
    });
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_OPTIONS), nullptr,
                              stubborn_proc, 0),
              IDCANCEL);
    EXPECT_EQ(rounds, 100);
    EXPECT_TRUE(desktop::pump_messages() >= 0);
}

TEST_F(Dialogs, IndirectTemplateFromMemory) {
    // DLGTEMPLATE, then no menu, no class, the title "T", and one push button.
    std::vector<WORD> words = {
        0x0000, 0x80C0, 0,   0,  1,
        0,      0,      100, 50, // style WS_POPUP|DS_MODALFRAME, 1 item, 0,0,100,50
        0,      0,      'T', 0,  // menu, class, title
    };
    if (words.size() % 2) words.push_back(0); // DWORD alignment of the item
    std::vector<WORD> item = {
        0x0001, 0x5001, 0,  0, // BS_DEFPUSHBUTTON | WS_CHILD | WS_VISIBLE | WS_TABSTOP
        10,     10,     40, 14, IDOK, 0xFFFF, 0x0080, 'G', 'o', 0, 0,
    };
    words.insert(words.end(), item.begin(), item.end());
    std::string title;
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        title = item_text(event.window, IDOK);
        return IDOK;
    });
    INT_PTR result = DialogBoxIndirectParamA(
        nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(words.data()), nullptr, test_dialog_proc, 0);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(title, "Go");
}

TEST_F(Dialogs, EndDialogNeedsADialog) {
    HWND plain = make_top(0, 0, 10, 10);
    EXPECT_FALSE(EndDialog(plain, 1));
    EXPECT_EQ(GetDlgItem(plain, 5), nullptr);
}

} // namespace
