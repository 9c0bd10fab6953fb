// Subclassing and window data: a replaced procedure sees every message first and passes
// it on unchanged with CallWindowProcA; window data indexes behave as documented.
#include "window_test_util.h"

using namespace window_test;

namespace {

class WindowSubclass : public DesktopFixture {};

WNDPROC g_previous = nullptr;

// Logs, changes nothing, and passes the message on to the previous procedure.
LRESULT CALLBACK passing_subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    message_log().push_back({hwnd, message, wparam, lparam, "subclass"});
    return CallWindowProcA(g_previous, hwnd, message, wparam, lparam);
}

// Answers WM_USER itself and passes the rest on.
LRESULT CALLBACK answering_subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    message_log().push_back({hwnd, message, wparam, lparam, "subclass"});
    if (message == WM_USER) return 1234;
    return CallWindowProcA(g_previous, hwnd, message, wparam, lparam);
}

TEST_F(WindowSubclass, MessagesReachThePreviousProcedureUnchanged) {
    HWND hwnd = make_top(0, 0, 10, 10);
    LONG_PTR old =
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(passing_subclass));
    g_previous = reinterpret_cast<WNDPROC>(old);
    EXPECT_EQ(g_previous, logging_proc);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(passing_subclass));

    set_hook([](HWND, UINT message, WPARAM wparam, LPARAM lparam) -> std::optional<LRESULT> {
        if (message == WM_USER + 7) return static_cast<LRESULT>(wparam + lparam);
        return std::nullopt;
    });
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 7, 40, 2), 42) << "the result comes back through";
    PostMessageA(hwnd, WM_USER + 8, 0x11, 0x22);
    winapi::desktop::pump_messages();

    std::vector<LoggedMessage> log = message_log();
    ASSERT_GE(log.size(), 4u);
    const struct {
        UINT message;
        const char* via;
        WPARAM wparam;
        LPARAM lparam;
    } want[] = {{WM_USER + 7, "subclass", 40, 2},
                {WM_USER + 7, "wnd", 40, 2},
                {WM_USER + 8, "subclass", 0x11, 0x22},
                {WM_USER + 8, "wnd", 0x11, 0x22}};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(log[i].message, want[i].message) << "expected " << message_name(want[i].message)
                                                   << ", got " << message_name(log[i].message);
        EXPECT_STREQ(log[i].via, want[i].via);
        EXPECT_EQ(log[i].wparam, want[i].wparam);
        EXPECT_EQ(log[i].lparam, want[i].lparam);
    }
}

TEST_F(WindowSubclass, SubclassAnswersWithoutThePreviousProcedure) {
    HWND hwnd = make_top(0, 0, 10, 10);
    g_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(answering_subclass)));
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 1234);
    expect_messages(message_log(), {{WM_USER, hwnd}}, "only the subclass saw WM_USER");
    EXPECT_STREQ(message_log()[0].via, "subclass");

    // Giving the procedure back ends the subclassing.
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));
    clear_log();
    SendMessageA(hwnd, WM_USER, 0, 0);
    ASSERT_EQ(message_log().size(), 1u);
    EXPECT_STREQ(message_log()[0].via, "wnd");
}

TEST_F(WindowSubclass, CallWindowProcWithoutProcedureReturnsZero) {
    HWND hwnd = make_top(0, 0, 10, 10);
    EXPECT_EQ(CallWindowProcA(nullptr, hwnd, WM_USER, 0, 0), 0);
    EXPECT_TRUE(message_log().empty());
}

TEST_F(WindowSubclass, WindowDataIndexes) {
    HWND top = make_top(0, 0, 10, 10);
    HWND child = make_child(top, 3, 0, 0, 5, 5);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(0x4000);

    EXPECT_EQ(SetWindowLongPtrA(child, GWLP_USERDATA, 0x1234), 0);
    EXPECT_EQ(SetWindowLongPtrA(child, GWLP_USERDATA, 0x5678), 0x1234) << "returns the old value";
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_USERDATA), 0x5678);
    EXPECT_EQ(SetWindowLongPtrA(child, GWLP_ID, 77), 3);
    EXPECT_EQ(GetDlgCtrlID(child), 77);
    SetWindowLongPtrA(child, GWLP_HINSTANCE, reinterpret_cast<LONG_PTR>(instance));
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_HINSTANCE), reinterpret_cast<LONG_PTR>(instance));
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(top));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)),
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(GetWindowLongA(child, GWL_EXSTYLE), 0);

    for (int bad_index : {-2, -100, 0, 8, 1000}) {
        SCOPED_TRACE(bad_index);
        SetLastError(0);
        EXPECT_EQ(GetWindowLongPtrA(child, bad_index), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
        SetLastError(0);
        EXPECT_EQ(SetWindowLongPtrA(child, bad_index, 1), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    }
}

TEST_F(WindowSubclass, StyleChangesAreAnnounced) {
    HWND hwnd = make_top(0, 0, 10, 10);
    LONG old = SetWindowLongA(hwnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    EXPECT_EQ(old, 0);
    expect_sequence({{WM_STYLECHANGING, hwnd, WParam, static_cast<WPARAM>(GWL_EXSTYLE)},
                     {WM_STYLECHANGED, hwnd, WParam, static_cast<WPARAM>(GWL_EXSTYLE)}},
                    "SetWindowLongA(GWL_EXSTYLE)");
    EXPECT_EQ(GetWindowLongA(hwnd, GWL_EXSTYLE), WS_EX_TOOLWINDOW);
}

TEST_F(WindowSubclass, ExtraWindowBytesFromTheClass) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = logging_proc;
    cls.cbWndExtra = 2 * sizeof(LONG_PTR);
    cls.lpszClassName = "LxExtra";
    ASSERT_NE(RegisterClassA(&cls), 0);
    HWND hwnd = CreateWindowExA(0, "LxExtra", nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, sizeof(LONG_PTR)), 0) << "extra bytes start as zero";
    EXPECT_EQ(SetWindowLongPtrA(hwnd, sizeof(LONG_PTR), -5), 0);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, sizeof(LONG_PTR)), -5);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, 2 * sizeof(LONG_PTR)), 0) << "past the end";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
}

TEST_F(WindowSubclass, ThirtyTwoBitFunctionsRefusePointerIndexesOn64Bit) {
    HWND hwnd = make_top(0, 0, 10, 10);
    if (sizeof(void*) == sizeof(LONG)) GTEST_SKIP() << "pointers fit in 32 bits here";
    for (int index : {GWLP_WNDPROC, GWLP_HINSTANCE, GWLP_HWNDPARENT}) {
        SCOPED_TRACE(index);
        SetLastError(0);
        EXPECT_EQ(GetWindowLongA(hwnd, index), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
        SetLastError(0);
        EXPECT_EQ(SetWindowLongA(hwnd, index, 1), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    }
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(logging_proc))
        << "the procedure was not touched";
    EXPECT_EQ(SetWindowLongA(hwnd, GWLP_USERDATA, 99), 0) << "user data fits";
    EXPECT_EQ(GetWindowLongA(hwnd, GWLP_USERDATA), 99);
}

} // namespace
