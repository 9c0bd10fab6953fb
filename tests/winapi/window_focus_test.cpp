// Activation and keyboard focus: the order of WM_ACTIVATE, WM_KILLFOCUS and WM_SETFOCUS.
#include "window_test_util.h"

using namespace window_test;

namespace {

class WindowFocus : public DesktopFixture {};

TEST_F(WindowFocus, SetActiveWindowDeactivatesTheOldWindowFirst) {
    HWND a = make_top(0, 0, 10, 10);
    HWND b = make_top(20, 0, 10, 10);
    ASSERT_EQ(GetActiveWindow(), b) << "the window shown last is active";
    EXPECT_EQ(SetActiveWindow(a), b);
    expect_sequence({{WM_ACTIVATE, b, WParam | LParam, WA_INACTIVE, reinterpret_cast<LPARAM>(a)},
                     {WM_ACTIVATE, a, WParam | LParam, WA_ACTIVE, reinterpret_cast<LPARAM>(b)},
                     {WM_KILLFOCUS, b, WParam, reinterpret_cast<WPARAM>(a)},
                     {WM_SETFOCUS, a, WParam, reinterpret_cast<WPARAM>(b)}},
                    "SetActiveWindow");
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetForegroundWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    clear_log();
    EXPECT_EQ(SetActiveWindow(a), a);
    expect_sequence({}, "activating the active window again");
}

TEST_F(WindowFocus, FocusingAChildOfAnInactiveWindowActivatesIt) {
    HWND a = make_top(0, 0, 10, 10);
    HWND b = make_top(20, 0, 10, 10);
    HWND child = make_child(a, 1, 0, 0, 5, 5);
    ASSERT_EQ(GetFocus(), b);
    EXPECT_EQ(SetFocus(child), b) << "returns the previous focus";
    expect_sequence({{WM_ACTIVATE, b, WParam, WA_INACTIVE},
                     {WM_ACTIVATE, a, WParam, WA_ACTIVE},
                     {WM_KILLFOCUS, b, WParam, reinterpret_cast<WPARAM>(a)},
                     {WM_SETFOCUS, a, WParam, reinterpret_cast<WPARAM>(b)},
                     {WM_KILLFOCUS, a, WParam, reinterpret_cast<WPARAM>(child)},
                     {WM_SETFOCUS, child, WParam, reinterpret_cast<WPARAM>(a)}},
                    "SetFocus on a child of an inactive window");
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), child);

    clear_log();
    EXPECT_EQ(SetFocus(child), child);
    expect_sequence({}, "focusing the focus window again");
    EXPECT_EQ(SetFocus(nullptr), child);
    expect_sequence({{WM_KILLFOCUS, child, WParam, 0}}, "SetFocus(NULL)");
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), a) << "losing the focus keeps the activation";
}

TEST_F(WindowFocus, WindowThatIgnoresActivationLeavesNoFocusBehind) {
    HWND a = make_top(0, 0, 10, 10);
    HWND b = make_top(20, 0, 10, 10, 0);
    ShowWindow(b, SW_SHOWNA);
    set_hook([b](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (hwnd == b && message == WM_ACTIVATE) return 0; // no DefWindowProcA
        return std::nullopt;
    });
    clear_log();
    SetActiveWindow(b);
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(GetFocus(), nullptr) << "the focus does not stay in an inactive window";
    expect_sequence({{WM_ACTIVATE, a, WParam, WA_INACTIVE},
                     {WM_ACTIVATE, b, WParam, WA_ACTIVE},
                     {WM_KILLFOCUS, a, WParam, 0}},
                    "activation without focus");
}

TEST_F(WindowFocus, HidingTheActiveWindowActivatesTheNextOne) {
    HWND a = make_top(0, 0, 10, 10);
    HWND b = make_top(20, 0, 10, 10);
    ASSERT_EQ(GetActiveWindow(), b);
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    ShowWindow(a, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    ShowWindow(a, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), a) << "SW_SHOW activates";
}

TEST_F(WindowFocus, SetForegroundWindowActivatesTheTopLevelWindow) {
    HWND a = make_top(0, 0, 10, 10);
    HWND child = make_child(a, 1, 0, 0, 5, 5);
    HWND b = make_top(20, 0, 10, 10);
    ASSERT_EQ(GetForegroundWindow(), b);
    EXPECT_TRUE(SetForegroundWindow(child));
    EXPECT_EQ(GetForegroundWindow(), a);
    EXPECT_EQ(GetActiveWindow(), a);
}

} // namespace
