// Moving and sizing windows: WM_WINDOWPOSCHANGING/CHANGED, the WM_MOVE and WM_SIZE that
// DefWindowProcA derives from them, coordinates, and what a resize repaints.
#include "window_test_util.h"

using namespace window_test;
using winapi::desktop::window_pixel;

namespace {

class WindowGeometry : public DesktopFixture {};

TEST_F(WindowGeometry, SetWindowPosReportsOnlyWhatChanged) {
    HWND hwnd = make_top(10, 10, 100, 50);
    struct Case {
        const char* what;
        int x, y, cx, cy;
        UINT flags;
        std::vector<Expected> expected;
    } cases[] = {
        {"move only",
         20,
         30,
         0,
         0,
         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE,
         {{WM_WINDOWPOSCHANGING, hwnd},
          {WM_WINDOWPOSCHANGED, hwnd},
          {WM_MOVE, hwnd, LParam, 0, MAKELPARAM(20, 30)}}},
        {"size only",
         0,
         0,
         60,
         40,
         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE,
         {{WM_WINDOWPOSCHANGING, hwnd},
          {WM_WINDOWPOSCHANGED, hwnd},
          {WM_SIZE, hwnd, WParam | LParam, SIZE_RESTORED, MAKELPARAM(60, 40)}}},
        {"both",
         1,
         2,
         3,
         4,
         SWP_NOZORDER | SWP_NOACTIVATE,
         {{WM_WINDOWPOSCHANGING, hwnd},
          {WM_WINDOWPOSCHANGED, hwnd},
          {WM_MOVE, hwnd, LParam, 0, MAKELPARAM(1, 2)},
          {WM_SIZE, hwnd, LParam, 0, MAKELPARAM(3, 4)}}},
        {"no change",
         1,
         2,
         3,
         4,
         SWP_NOZORDER | SWP_NOACTIVATE,
         {{WM_WINDOWPOSCHANGING, hwnd}, {WM_WINDOWPOSCHANGED, hwnd}}},
        {"no changing message",
         5,
         2,
         3,
         4,
         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING,
         {{WM_WINDOWPOSCHANGED, hwnd}, {WM_MOVE, hwnd}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clear_log();
        EXPECT_TRUE(SetWindowPos(hwnd, nullptr, c.x, c.y, c.cx, c.cy, c.flags));
        expect_sequence(c.expected, c.what);
    }
    RECT rect;
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.top, 2);
    EXPECT_EQ(rect.right, 8);
    EXPECT_EQ(rect.bottom, 6);
}

TEST_F(WindowGeometry, WindowPosChangingMayAdjustTheChange) {
    HWND hwnd = make_top(0, 0, 100, 50);
    set_hook([](HWND, UINT message, WPARAM, LPARAM lparam) -> std::optional<LRESULT> {
        if (message == WM_WINDOWPOSCHANGING) {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lparam);
            pos->cx = std::min(pos->cx, 80); // a maximum width
            pos->flags |= SWP_NOMOVE;
        }
        return std::nullopt;
    });
    MoveWindow(hwnd, 30, 30, 200, 70, TRUE);
    RECT rect;
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.left, 0) << "the window refused to move";
    EXPECT_EQ(rect.right, 80);
    EXPECT_EQ(rect.bottom, 70);
    std::vector<LoggedMessage> sizes = messages_named({WM_SIZE, WM_MOVE});
    expect_messages(sizes, {{WM_SIZE, hwnd, LParam, 0, MAKELPARAM(80, 70)}}, "adjusted change");
}

TEST_F(WindowGeometry, CoordinatesOfNestedChildren) {
    HWND top = make_top(100, 50, 200, 200);
    HWND child = make_child(top, 1, 10, 20, 100, 100);
    HWND grandchild = make_child(child, 2, 5, 6, 10, 10);
    RECT rect;
    ASSERT_TRUE(GetWindowRect(grandchild, &rect));
    EXPECT_EQ(rect.left, 115);
    EXPECT_EQ(rect.top, 76);
    EXPECT_EQ(rect.right, 125);
    EXPECT_EQ(rect.bottom, 86);
    ASSERT_TRUE(GetClientRect(grandchild, &rect));
    EXPECT_EQ(rect.left, 0) << "the client rectangle starts at 0, 0";
    EXPECT_EQ(rect.right, 10);
    POINT point{1, 2};
    ASSERT_TRUE(ClientToScreen(grandchild, &point));
    EXPECT_EQ(point.x, 116);
    EXPECT_EQ(point.y, 78);
    ASSERT_TRUE(ScreenToClient(child, &point));
    EXPECT_EQ(point.x, 6);
    EXPECT_EQ(point.y, 8);
    SetLastError(0);
    EXPECT_FALSE(GetClientRect(top, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(WindowGeometry, GrowingATopLevelWindowPaintsOnlyTheNewBands) {
    HWND hwnd = make_top(0, 0, 10, 10);
    settle();
    HDC dc = GetDC(hwnd);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    RECT all{0, 0, 10, 10};
    FillRect(dc, &all, black);
    ReleaseDC(hwnd, dc);
    DeleteObject(black);
    MoveWindow(hwnd, 0, 0, 20, 10, TRUE);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(update.left, 10) << "only the new band on the right";
    EXPECT_EQ(update.right, 20);
    winapi::desktop::pump_messages();
    EXPECT_EQ(window_pixel(hwnd, 9, 9), RGB(0, 0, 0)) << "old pixels are kept";
    EXPECT_EQ(window_pixel(hwnd, 10, 0), RGB(255, 255, 255)) << "the new band is painted";
    EXPECT_EQ(window_pixel(hwnd, 19, 9), RGB(255, 255, 255));

    // Growing in both directions: the update area is kept as one bounding rectangle, so
    // the whole window is repainted then.
    MoveWindow(hwnd, 0, 0, 25, 15, TRUE);
    ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(update.left, 0);
    EXPECT_EQ(update.top, 0);
    EXPECT_EQ(update.right, 25);
    EXPECT_EQ(update.bottom, 15);
}

TEST_F(WindowGeometry, RedrawClassStylesRepaintEverythingOnResize) {
    WNDCLASSA cls{};
    cls.style = CS_HREDRAW | CS_VREDRAW;
    cls.lpfnWndProc = logging_proc;
    cls.lpszClassName = "LxRedraw";
    ASSERT_NE(RegisterClassA(&cls), 0);
    HWND hwnd = make_top(0, 0, 10, 10, WS_VISIBLE, "LxRedraw");
    settle();
    MoveWindow(hwnd, 0, 0, 12, 12, TRUE);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(update.left, 0);
    EXPECT_EQ(update.top, 0);
    EXPECT_EQ(update.right, 12);
    EXPECT_EQ(update.bottom, 12);

    ValidateRect(hwnd, nullptr);
    MoveWindow(hwnd, 0, 0, 14, 14, FALSE);
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE)) << "bRepaint FALSE invalidates nothing";
}

TEST_F(WindowGeometry, ZOrderOfSiblings) {
    HWND top = make_top(0, 0, 100, 100);
    HWND first = make_child(top, 1, 0, 0, 50, 50);
    HWND second = make_child(top, 2, 0, 0, 50, 50);
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), first) << "a new child goes below its siblings";
    SetWindowPos(second, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), second);
    SetWindowPos(second, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), first);
    SetWindowPos(first, second, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), second) << "first now lies after (below) second";
}

} // namespace
