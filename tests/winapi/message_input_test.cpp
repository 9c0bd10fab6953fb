// Mouse and keyboard input: routing to the window under the pointer or with the capture
// or focus, WM_SETCURSOR before mouse messages, activation by a click, key data.
#include "window_test_util.h"

using namespace window_test;
namespace desktop = winapi::desktop;
using desktop::MouseButton;

namespace {

class MessageInput : public DesktopFixture {};

LPARAM hit_and(UINT message) {
    return MAKELPARAM(HTCLIENT, message);
}

TEST_F(MessageInput, MouseMoveSetsTheCursorThenMovesWithClientCoordinates) {
    HWND top = make_top(100, 100, 50, 50);
    HWND child = make_child(top, 1, 10, 20, 20, 20, WS_VISIBLE, kBareClass);
    settle();
    desktop::mouse_move(115, 125);
    desktop::pump_messages();
    WPARAM child_param = reinterpret_cast<WPARAM>(child);
    expect_sequence({{WM_NCHITTEST, child, LParam, 0, MAKELPARAM(115, 125)},
                     {WM_SETCURSOR, child, WParam | LParam, child_param, hit_and(WM_MOUSEMOVE)},
                     {WM_SETCURSOR, top, WParam | LParam, child_param, hit_and(WM_MOUSEMOVE)},
                     {WM_MOUSEMOVE, child, WParam | LParam, 0, MAKELPARAM(5, 5)}},
                    "a move over a child of a parent with a class cursor");
    EXPECT_EQ(GetCursor(), kClassCursor) << "the parent chose its class cursor";
    POINT pos;
    ASSERT_TRUE(GetCursorPos(&pos));
    EXPECT_EQ(pos.x, 115);
    EXPECT_EQ(pos.y, 125);
}

TEST_F(MessageInput, ParentThatAnswersSetCursorDecidesForItsChild) {
    HWND top = make_top(0, 0, 50, 50, WS_VISIBLE, kBareClass);
    HWND child = make_child(top, 1, 0, 0, 20, 20); // its class has a cursor
    settle();
    set_hook([top](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (hwnd == top && message == WM_SETCURSOR) return TRUE;
        return std::nullopt;
    });
    desktop::mouse_move(5, 5);
    desktop::pump_messages();
    EXPECT_EQ(GetCursor(), nullptr) << "the parent said it set the cursor";

    set_hook(nullptr);
    desktop::mouse_move(6, 6);
    desktop::pump_messages();
    EXPECT_EQ(GetCursor(), kClassCursor) << "the parent left it to the child's class";
    EXPECT_EQ(SetCursor(nullptr), kClassCursor) << "SetCursor returns the previous cursor";
    EXPECT_NE(child, nullptr);
}

TEST_F(MessageInput, ClickOnInactiveWindowActivatesItFirst) {
    HWND a = make_top(0, 0, 50, 50);
    HWND b = make_top(100, 0, 50, 50);
    SetActiveWindow(a);
    settle();
    ASSERT_EQ(GetActiveWindow(), a);
    desktop::mouse_down(MouseButton::Left, 110, 20);
    desktop::pump_messages();
    expect_sequence({{WM_NCHITTEST, b},
                     {WM_MOUSEACTIVATE, b, WParam | LParam, reinterpret_cast<WPARAM>(b),
                      hit_and(WM_LBUTTONDOWN)},
                     {WM_ACTIVATE, a, WParam | LParam, WA_INACTIVE, reinterpret_cast<LPARAM>(b)},
                     {WM_ACTIVATE, b, WParam | LParam, WA_CLICKACTIVE, reinterpret_cast<LPARAM>(a)},
                     {WM_KILLFOCUS, a, WParam, reinterpret_cast<WPARAM>(b)},
                     {WM_SETFOCUS, b, WParam, reinterpret_cast<WPARAM>(a)},
                     {WM_SETCURSOR, b, LParam, 0, hit_and(WM_LBUTTONDOWN)},
                     {WM_LBUTTONDOWN, b, WParam | LParam, MK_LBUTTON, MAKELPARAM(10, 20)}},
                    "click activation");
    EXPECT_EQ(GetActiveWindow(), b);
    clear_log();
    desktop::mouse_up(MouseButton::Left, 110, 20);
    desktop::mouse_down(MouseButton::Left, 111, 20);
    desktop::pump_messages();
    EXPECT_TRUE(messages_named({WM_MOUSEACTIVATE}).empty()) << "b is active now";
}

TEST_F(MessageInput, MouseActivateCanRefuseAndEatTheClick) {
    HWND a = make_top(0, 0, 50, 50);
    HWND b = make_top(100, 0, 50, 50);
    SetActiveWindow(a);
    settle();
    set_hook([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATEANDEAT;
        return std::nullopt;
    });
    desktop::mouse_down(MouseButton::Right, 110, 20);
    desktop::pump_messages();
    expect_sequence({{WM_NCHITTEST, b}, {WM_MOUSEACTIVATE, b}, {WM_SETCURSOR, b}},
                    "eaten click: no activation, no button message");
    EXPECT_EQ(GetActiveWindow(), a);
}

TEST_F(MessageInput, ChildAsksItsParentAboutMouseActivation) {
    HWND a = make_top(0, 0, 50, 50);
    HWND b = make_top(100, 0, 50, 50);
    HWND child = make_child(b, 1, 0, 0, 10, 10);
    SetActiveWindow(a);
    settle();
    desktop::mouse_down(MouseButton::Left, 105, 5);
    desktop::pump_messages();
    std::vector<LoggedMessage> asks = messages_named({WM_MOUSEACTIVATE});
    ASSERT_EQ(asks.size(), 2u);
    EXPECT_EQ(asks[0].hwnd, child);
    EXPECT_EQ(asks[1].hwnd, b) << "DefWindowProcA offers it to the parent";
    EXPECT_EQ(GetActiveWindow(), b);
}

TEST_F(MessageInput, ButtonAndKeyStateInWParam) {
    HWND top = make_top(0, 0, 50, 50);
    settle();
    desktop::key_down(VK_SHIFT);
    desktop::mouse_down(MouseButton::Left, 1, 1);
    desktop::mouse_move(2, 2);
    desktop::mouse_up(MouseButton::Left, 2, 2);
    desktop::key_up(VK_SHIFT);
    desktop::pump_messages();
    std::vector<LoggedMessage> mouse = messages_named({WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP});
    expect_messages(mouse,
                    {{WM_LBUTTONDOWN, top, WParam, MK_LBUTTON | MK_SHIFT},
                     {WM_MOUSEMOVE, top, WParam, MK_LBUTTON | MK_SHIFT},
                     {WM_LBUTTONUP, top, WParam, MK_SHIFT}},
                    "MK_* state");
}

TEST_F(MessageInput, MovesCoalesceAndInputOutsideWindowsIsDropped) {
    HWND top = make_top(0, 0, 50, 50);
    settle();
    desktop::mouse_move(1, 1);
    desktop::mouse_move(2, 2);
    desktop::mouse_move(3, 4);
    desktop::mouse_move(500, 500); // over no window
    desktop::pump_messages();
    EXPECT_TRUE(messages_named({WM_MOUSEMOVE}).empty()) << "only the last move counts";
    desktop::mouse_move(3, 4);
    desktop::pump_messages();
    std::vector<LoggedMessage> moves = messages_named({WM_MOUSEMOVE});
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].hwnd, top);
    EXPECT_EQ(moves[0].lparam, MAKELPARAM(3, 4));
}

TEST_F(MessageInput, DisabledWindowsGetNoMouseInput) {
    HWND top = make_top(0, 0, 50, 50, WS_VISIBLE | WS_DISABLED);
    settle();
    desktop::mouse_move(5, 5);
    desktop::mouse_down(MouseButton::Left, 5, 5);
    desktop::mouse_up(MouseButton::Left, 5, 5);
    EXPECT_EQ(desktop::pump_messages(), 0);
    expect_sequence({}, "nothing reaches a disabled window");
    EXPECT_NE(top, nullptr);
}

TEST_F(MessageInput, CaptureTakesAllMouseInputWithoutSetCursor) {
    HWND top = make_top(100, 100, 50, 50);
    HWND child = make_child(top, 1, 10, 10, 10, 10);
    HWND other = make_top(300, 300, 50, 50, WS_VISIBLE);
    settle();
    EXPECT_EQ(SetCapture(child), nullptr);
    desktop::mouse_move(320, 320); // over the other window
    desktop::pump_messages();
    expect_sequence({{WM_MOUSEMOVE, child, LParam, 0, MAKELPARAM(210, 210)}},
                    "captured move: no WM_NCHITTEST or WM_SETCURSOR");
    clear_log();
    desktop::mouse_move(105, 100);
    desktop::pump_messages();
    ASSERT_EQ(message_log().size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(message_log()[0].lparam), -5) << "client coordinates may be negative";
    EXPECT_EQ(GET_Y_LPARAM(message_log()[0].lparam), -10);

    clear_log();
    EXPECT_EQ(SetCapture(other), child);
    expect_sequence({{WM_CAPTURECHANGED, child, LParam, 0, reinterpret_cast<LPARAM>(other)}},
                    "capture moved");
    clear_log();
    EXPECT_TRUE(ReleaseCapture());
    expect_sequence({{WM_CAPTURECHANGED, other, LParam, 0, 0}}, "capture released");
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MessageInput, KeysGoToTheFocusWindow) {
    HWND top = make_top(0, 0, 50, 50);
    HWND child = make_child(top, 1, 0, 0, 10, 10);
    SetFocus(child);
    settle();
    desktop::key_down(VK_LEFT);
    desktop::key_down(VK_LEFT); // auto-repeat
    desktop::key_up(VK_LEFT);
    desktop::pump_messages();
    const LPARAM first = 1, repeat = 1 | (1 << 30);
    const LPARAM release = static_cast<LPARAM>(static_cast<DWORD>(1 | (1u << 30) | (1u << 31)));
    expect_sequence({{WM_KEYDOWN, child, WParam | LParam, VK_LEFT, first},
                     {WM_KEYDOWN, child, WParam | LParam, VK_LEFT, repeat},
                     {WM_KEYUP, child, WParam | LParam, VK_LEFT, release}},
                    "key data");

    SetFocus(nullptr);
    clear_log();
    desktop::key_down(VK_LEFT);
    desktop::pump_messages();
    expect_sequence({{WM_SYSKEYDOWN, top, WParam, VK_LEFT}},
                    "without focus, keys go to the active window as system keys");
}

TEST_F(MessageInput, SetCursorPosMovesThePointerLikeInput) {
    HWND top = make_top(0, 0, 50, 50);
    settle();
    EXPECT_TRUE(SetCursorPos(7, 8));
    POINT pos;
    GetCursorPos(&pos);
    EXPECT_EQ(pos.x, 7);
    EXPECT_EQ(pos.y, 8);
    desktop::pump_messages();
    std::vector<LoggedMessage> moves = messages_named({WM_MOUSEMOVE});
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].hwnd, top);
    EXPECT_TRUE(SetCursorPos(5000, -3));
    GetCursorPos(&pos);
    EXPECT_EQ(pos.x, 1023) << "kept on the screen";
    EXPECT_EQ(pos.y, 0);
    SetLastError(0);
    EXPECT_FALSE(GetCursorPos(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOACCESS));
}

TEST_F(MessageInput, WindowFromPointFindsTheDeepestVisibleEnabledChild) {
    HWND back = make_top(0, 0, 100, 100);
    HWND front = make_top(50, 50, 100, 100);
    HWND child = make_child(front, 1, 10, 10, 30, 30);
    HWND grandchild = make_child(child, 2, 5, 5, 10, 10);
    HWND hidden = make_child(front, 3, 60, 60, 10, 10, 0);
    HWND disabled = make_child(front, 4, 80, 80, 10, 10, WS_VISIBLE | WS_DISABLED);
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), back);
    EXPECT_EQ(WindowFromPoint(POINT{55, 55}), front) << "the top of the Z order wins";
    EXPECT_EQ(WindowFromPoint(POINT{62, 62}), child);
    EXPECT_EQ(WindowFromPoint(POINT{66, 66}), grandchild);
    EXPECT_EQ(WindowFromPoint(POINT{115, 115}), front) << "not the hidden child";
    EXPECT_EQ(WindowFromPoint(POINT{135, 135}), front) << "not the disabled child";
    EXPECT_EQ(WindowFromPoint(POINT{500, 500}), nullptr);
    SetActiveWindow(back);
    EXPECT_EQ(WindowFromPoint(POINT{55, 55}), back) << "activation raised it";
    EXPECT_NE(hidden, nullptr);
    EXPECT_NE(disabled, nullptr);
}

} // namespace
