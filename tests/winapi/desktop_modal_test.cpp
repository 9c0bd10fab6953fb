// The desktop API: message boxes answered by automation or by their default button,
// beeps, the clock, the screen and the reset between tests.
#include "window_test_util.h"

using namespace window_test;
namespace desktop = winapi::desktop;

namespace {

class DesktopModal : public DesktopFixture {};
class DesktopState : public DesktopFixture {};

TEST_F(DesktopModal, MessageBoxAnswersItsDefaultButton) {
    struct Case {
        UINT type;
        int answer;
    } cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_YESNOCANCEL | MB_DEFBUTTON4, IDYES}, // no fourth button: the first
        {MB_RETRYCANCEL, IDRETRY},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3 | MB_ICONHAND, IDIGNORE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type 0x" << std::hex << c.type);
        EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", c.type), c.answer);
    }
    EXPECT_EQ(desktop::message_boxes().size(), sizeof cases / sizeof cases[0]);
}

TEST_F(DesktopModal, AutomationAnswersAndIsRecorded) {
    HWND owner = make_top(0, 0, 10, 10);
    std::vector<desktop::ModalEvent> seen;
    std::vector<std::string> texts;
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        seen.push_back(event);
        texts.push_back(event.text);
        if (texts.back() == "wrong") return IDRETRY; // not a button of a YES/NO box
        return IDNO;
    });
    EXPECT_EQ(MessageBoxA(owner, "Save?", "Lanternix", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(owner, "wrong", "Lanternix", MB_YESNO), IDYES)
        << "an impossible answer counts as the default";
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].kind, desktop::ModalKind::MessageBox);
    EXPECT_EQ(seen[0].owner, owner);
    EXPECT_EQ(seen[0].type, static_cast<UINT>(MB_YESNO));

    std::vector<desktop::MessageBoxRecord> records = desktop::message_boxes();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].owner, owner);
    EXPECT_EQ(records[0].text, "Save?");
    EXPECT_EQ(records[0].caption, "Lanternix");
    EXPECT_EQ(records[0].answer, IDNO);
    EXPECT_EQ(records[1].answer, IDYES);
    desktop::clear_records();
    EXPECT_TRUE(desktop::message_boxes().empty());
}

TEST_F(DesktopModal, MessageBoxDefaultsAndErrors) {
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OK), IDOK);
    std::vector<desktop::MessageBoxRecord> records = desktop::message_boxes();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].caption, "Error") << "the default caption";
    EXPECT_EQ(records[0].text, "");
    SetLastError(0);
    EXPECT_EQ(MessageBoxA(nullptr, "x", "y", 0x0000000F), 0) << "no such button set";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(desktop::message_boxes().size(), 1u) << "a refused box is not recorded";
}

TEST_F(DesktopModal, BeepsAreRecorded) {
    EXPECT_TRUE(MessageBeep(0xFFFFFFFF));
    EXPECT_TRUE(MessageBeep(MB_OK));
    EXPECT_TRUE(MessageBeep(MB_ICONHAND));
    EXPECT_EQ(desktop::beeps(), (std::vector<UINT>{0xFFFFFFFF, MB_OK, MB_ICONHAND}));
    desktop::clear_records();
    EXPECT_TRUE(desktop::beeps().empty());
}

TEST_F(DesktopState, ManualClockDrivesTheTickCount) {
    ASSERT_TRUE(desktop::clock_is_manual());
    EXPECT_EQ(GetTickCount(), 1000u);
    desktop::advance_clock(234);
    EXPECT_EQ(GetTickCount(), 1234u);
    desktop::set_clock(0x100000005ull);
    EXPECT_EQ(GetTickCount(), 5u) << "the tick count wraps at 32 bits";
    desktop::use_real_clock();
    EXPECT_FALSE(desktop::clock_is_manual());
    uint64_t before = desktop::clock_now();
    desktop::advance_clock(100000); // ignored on real time
    EXPECT_LT(desktop::clock_now() - before, 100000u);
}

TEST_F(DesktopState, DisplayScreenAndPixelReaders) {
    EXPECT_EQ(desktop::display(), desktop::DisplayKind::Headless);
    EXPECT_TRUE(desktop::set_display(desktop::DisplayKind::Headless));
    // The on-screen display needs a real display; without one it is refused.
    if (!getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY")) {
        EXPECT_FALSE(desktop::set_display(desktop::DisplayKind::Sdl)) << "no display here";
    }
    SIZE size = desktop::screen_size();
    EXPECT_EQ(size.cx, 1024);
    EXPECT_EQ(size.cy, 768);
    desktop::set_screen_size(200, 100);
    desktop::mouse_move(500, 500);
    POINT pos;
    GetCursorPos(&pos);
    EXPECT_EQ(pos.x, 199);
    EXPECT_EQ(pos.y, 99);
    HWND hwnd = make_top(0, 0, 10, 10);
    EXPECT_FALSE(desktop::set_display(desktop::DisplayKind::Headless)) << "windows exist";
    EXPECT_EQ(desktop::window_pixel(hwnd, -1, 0), CLR_INVALID);
    EXPECT_EQ(desktop::window_pixel(nullptr, 0, 0), CLR_INVALID);
}

TEST_F(DesktopState, PumpStopsAtQuitAndLeavesIt) {
    HWND hwnd = make_top(0, 0, 10, 10);
    settle();
    PostMessageA(hwnd, WM_USER, 0, 0);
    PostQuitMessage(4);
    EXPECT_EQ(desktop::pump_messages(), 1);
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.wParam, 4u);
}

TEST_F(DesktopState, PumpGivesUpOnAWindowThatNeverValidates) {
    HWND hwnd = make_top(0, 0, 10, 10);
    set_hook([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_PAINT) return 0; // never calls BeginPaint
        return std::nullopt;
    });
    EXPECT_EQ(desktop::pump_messages(50), 50);
    EXPECT_NE(hwnd, nullptr);
}

TEST_F(DesktopState, ResetLeavesACleanDesktop) {
    HWND hwnd = make_top(0, 0, 10, 10);
    SetTimer(hwnd, 1, 10, nullptr);
    PostMessageA(nullptr, WM_USER, 0, 0);
    SetCapture(hwnd);
    MessageBeep(0);
    desktop::set_automation([](const desktop::ModalEvent&) { return IDCANCEL; });
    desktop::reset();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_TRUE(desktop::beeps().empty());
    EXPECT_FALSE(desktop::clock_is_manual());
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_OKCANCEL), IDOK) << "automation removed";
    EXPECT_EQ(CreateWindowExA(0, kWhiteClass, nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr)
        << "classes are unregistered";
}

} // namespace
