// Update regions, WM_PAINT and WM_ERASEBKGND, and what painting puts on the pixels.
#include "window_test_util.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <unistd.h>

using namespace window_test;
using winapi::desktop::window_pixel;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr const char* kRedClass = "LxTestRed";
constexpr const char* kBlueClass = "LxTestBlue";

class PaintWindow : public DesktopFixture {
  protected:
    void SetUp() override {
        DesktopFixture::SetUp();
        m_red = CreateSolidBrush(kRed);
        m_blue = CreateSolidBrush(kBlue);
        WNDCLASSA cls{};
        cls.lpfnWndProc = logging_proc;
        cls.lpszClassName = kRedClass;
        cls.hbrBackground = m_red;
        ASSERT_NE(RegisterClassA(&cls), 0);
        cls.lpszClassName = kBlueClass;
        cls.hbrBackground = m_blue;
        ASSERT_NE(RegisterClassA(&cls), 0);
    }
    void TearDown() override {
        DesktopFixture::TearDown();
        DeleteObject(m_red);
        DeleteObject(m_blue);
    }

    // Makes WM_PAINT call BeginPaint/EndPaint itself, keeping what BeginPaint returned.
    void paint_with_begin_paint(PAINTSTRUCT* out) {
        set_hook([out, this](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message == WM_ERASEBKGND && m_erase_answer) return *m_erase_answer;
            if (message != WM_PAINT) return std::nullopt;
            BeginPaint(hwnd, out);
            EndPaint(hwnd, out);
            return 0;
        });
    }

    HBRUSH m_red = nullptr;
    HBRUSH m_blue = nullptr;
    std::optional<LRESULT> m_erase_answer;
};

TEST_F(PaintWindow, NewWindowIsPaintedAndErasedWithTheClassBrush) {
    HWND hwnd = make_top(10, 10, 4, 3, WS_VISIBLE, kRedClass);
    EXPECT_EQ(window_pixel(hwnd, 0, 0), kWhite) << "nothing painted before the messages run";
    EXPECT_EQ(winapi::desktop::pump_messages(), 1);
    expect_sequence({{WM_PAINT, hwnd}, {WM_ERASEBKGND, hwnd}}, "first paint");
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
            EXPECT_EQ(window_pixel(hwnd, x, y), kRed);
        }
    EXPECT_EQ(window_pixel(hwnd, 4, 0), CLR_INVALID) << "outside the window";
    clear_log();
    EXPECT_EQ(winapi::desktop::pump_messages(), 0) << "BeginPaint validated the window";
}

TEST_F(PaintWindow, FEraseTellsWhetherTheBackgroundStillNeedsErasing) {
    HWND hwnd = make_top(0, 0, 8, 8, WS_VISIBLE, kRedClass);
    PAINTSTRUCT ps{};
    paint_with_begin_paint(&ps);
    settle();

    struct Case {
        BOOL erase;
        std::optional<LRESULT> answer;
        bool erase_message;
        BOOL f_erase;
    } cases[] = {
        {TRUE, std::nullopt, true, FALSE}, // DefWindowProcA erased with the class brush
        {TRUE, 0, true, TRUE},             // the window did not erase
        {TRUE, 1, true, FALSE},            // the window erased itself
        {FALSE, std::nullopt, false, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "erase " << c.erase << " answer " << (c.answer ? *c.answer : -1));
        m_erase_answer = c.answer;
        clear_log();
        InvalidateRect(hwnd, nullptr, c.erase);
        winapi::desktop::pump_messages();
        if (c.erase_message)
            expect_sequence({{WM_PAINT, hwnd}, {WM_ERASEBKGND, hwnd}}, "with erase");
        else
            expect_sequence({{WM_PAINT, hwnd}}, "without erase");
        EXPECT_EQ(ps.fErase, c.f_erase);
        EXPECT_EQ(ps.rcPaint.right, 8);
        EXPECT_EQ(ps.rcPaint.bottom, 8);
    }
}

TEST_F(PaintWindow, InvalidAreasAccumulateAndTheEraseFlagSticks) {
    HWND hwnd = make_top(0, 0, 20, 20, WS_VISIBLE, kRedClass);
    settle();
    RECT first{2, 3, 5, 6};
    RECT second{10, 1, 12, 4};
    InvalidateRect(hwnd, &first, TRUE);
    InvalidateRect(hwnd, &second, FALSE);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(update.left, 2);
    EXPECT_EQ(update.top, 1);
    EXPECT_EQ(update.right, 12);
    EXPECT_EQ(update.bottom, 6);
    PAINTSTRUCT ps{};
    paint_with_begin_paint(&ps);
    winapi::desktop::pump_messages();
    expect_sequence({{WM_PAINT, hwnd}, {WM_ERASEBKGND, hwnd}},
                    "a later invalidation without erase keeps the earlier erase");
    EXPECT_EQ(ps.rcPaint.left, 2);
    EXPECT_EQ(ps.rcPaint.right, 12);
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_TRUE(update.left == 0 && update.right == 0 && update.top == 0 && update.bottom == 0);

    RECT outside{30, 30, 40, 40};
    InvalidateRect(hwnd, &outside, TRUE);
    EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE)) << "clipped to the client area";
}

TEST_F(PaintWindow, GetUpdateRectCanEraseAhead) {
    HWND hwnd = make_top(0, 0, 10, 10, WS_VISIBLE, kRedClass);
    PAINTSTRUCT ps{};
    paint_with_begin_paint(&ps);
    settle();
    HDC dc = GetDC(hwnd);
    RECT all{0, 0, 10, 10};
    FillRect(dc, &all, m_blue);
    ReleaseDC(hwnd, dc);
    RECT part{1, 1, 3, 3};
    InvalidateRect(hwnd, &part, TRUE);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(hwnd, &update, TRUE));
    expect_sequence({{WM_ERASEBKGND, hwnd}}, "GetUpdateRect with bErase");
    EXPECT_EQ(window_pixel(hwnd, 1, 1), kRed) << "erased with the class brush";
    EXPECT_EQ(window_pixel(hwnd, 3, 3), kBlue) << "only inside the update area";
    clear_log();
    winapi::desktop::pump_messages();
    expect_sequence({{WM_PAINT, hwnd}}, "already erased: BeginPaint does not erase again");
    EXPECT_FALSE(ps.fErase);
}

TEST_F(PaintWindow, EraseOnlyPaintsTheUpdateArea) {
    HWND hwnd = make_top(0, 0, 10, 10, WS_VISIBLE, kRedClass);
    settle();
    // Change the class brush's colour source: a blue window of the same size underneath
    // is not involved; instead fill everything blue through a DC, then repaint a part.
    HDC dc = GetDC(hwnd);
    RECT all{0, 0, 10, 10};
    FillRect(dc, &all, m_blue);
    ReleaseDC(hwnd, dc);
    EXPECT_EQ(window_pixel(hwnd, 5, 5), kBlue);
    RECT part{2, 2, 4, 4};
    InvalidateRect(hwnd, &part, TRUE);
    winapi::desktop::pump_messages();
    EXPECT_EQ(window_pixel(hwnd, 2, 2), kRed) << "inside the update area";
    EXPECT_EQ(window_pixel(hwnd, 3, 3), kRed);
    EXPECT_EQ(window_pixel(hwnd, 4, 4), kBlue) << "right/bottom edge excluded";
    EXPECT_EQ(window_pixel(hwnd, 1, 2), kBlue);
}

TEST_F(PaintWindow, PaintComesOnlyWhenNothingElseIsQueued) {
    HWND hwnd = make_top(0, 0, 10, 10);
    settle();
    InvalidateRect(hwnd, nullptr, FALSE);
    PostMessageA(hwnd, WM_USER, 0, 0);
    PostMessageA(hwnd, WM_USER + 1, 0, 0);
    winapi::desktop::pump_messages();
    expect_sequence({{WM_USER, hwnd}, {WM_USER + 1, hwnd}, {WM_PAINT, hwnd}},
                    "posted messages before WM_PAINT");
}

TEST_F(PaintWindow, PaintRepeatsUntilValidated) {
    HWND hwnd = make_top(0, 0, 10, 10);
    settle();
    InvalidateRect(hwnd, nullptr, FALSE);
    MSG msg;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
        EXPECT_EQ(msg.hwnd, hwnd);
    }
    RECT band{0, 0, 10, 4};
    ValidateRect(hwnd, &band);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(update.top, 4) << "a validated band along an edge leaves the rest";
    EXPECT_EQ(update.bottom, 10);
    ValidateRgn(hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(PaintWindow, UpdateWindowPaintsAtOnceOnlyWhenNeeded) {
    HWND hwnd = make_top(0, 0, 10, 10);
    settle();
    EXPECT_TRUE(UpdateWindow(hwnd));
    expect_sequence({}, "UpdateWindow of a valid window");
    InvalidateRect(hwnd, nullptr, TRUE);
    EXPECT_TRUE(UpdateWindow(hwnd));
    expect_sequence({{WM_PAINT, hwnd}, {WM_ERASEBKGND, hwnd}}, "UpdateWindow sends WM_PAINT");
    EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, FALSE));
}

TEST_F(PaintWindow, HiddenWindowsGetNoPaint) {
    HWND hwnd = make_top(0, 0, 10, 10, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    EXPECT_EQ(winapi::desktop::pump_messages(), 0);
    EXPECT_TRUE(UpdateWindow(hwnd));
    expect_sequence({}, "nothing for a hidden window");
    ShowWindow(hwnd, SW_SHOWNA);
    clear_log();
    winapi::desktop::pump_messages();
    expect_sequence({{WM_PAINT, hwnd}, {WM_ERASEBKGND, hwnd}}, "painted once shown");
}

TEST_F(PaintWindow, ParentInvalidationRepaintsCoveredChildrenAfterTheParent) {
    HWND top = make_top(0, 0, 40, 40, WS_VISIBLE, kRedClass);
    HWND left = make_child(top, 1, 0, 0, 10, 10, WS_VISIBLE, kBlueClass);
    HWND right = make_child(top, 2, 30, 30, 10, 10, WS_VISIBLE, kBlueClass);
    settle();
    RECT corner{0, 0, 5, 5};
    InvalidateRect(top, &corner, TRUE);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(left, &update, FALSE)) << "the covered child is invalid too";
    EXPECT_EQ(update.right, 5);
    EXPECT_FALSE(GetUpdateRect(right, &update, FALSE)) << "the other child is not";
    winapi::desktop::pump_messages();
    expect_sequence(
        {{WM_PAINT, top}, {WM_ERASEBKGND, top}, {WM_PAINT, left}, {WM_ERASEBKGND, left}},
        "the parent first, then its child");
    EXPECT_EQ(window_pixel(top, 2, 2), kBlue) << "the child's pixels are on top";
    EXPECT_EQ(window_pixel(top, 20, 20), kRed);
}

TEST_F(PaintWindow, ChildDrawingIsClippedToItsParent) {
    HWND top = make_top(0, 0, 30, 30, WS_VISIBLE, kRedClass);
    HWND panel = make_child(top, 1, 10, 10, 10, 10, WS_VISIBLE, kRedClass);
    HWND sticking_out = make_child(panel, 2, 5, 5, 20, 20, WS_VISIBLE, kBlueClass);
    settle();
    EXPECT_EQ(window_pixel(top, 15, 15), kBlue) << "inside the panel";
    EXPECT_EQ(window_pixel(top, 19, 19), kBlue);
    EXPECT_EQ(window_pixel(top, 20, 20), kRed) << "outside the panel the child may not draw";
    EXPECT_EQ(window_pixel(top, 25, 15), kRed);
    EXPECT_EQ(window_pixel(sticking_out, 0, 0), kBlue);

    HDC dc = GetDC(sticking_out);
    RECT all{0, 0, 20, 20};
    FillRect(dc, &all, m_red);
    ReleaseDC(sticking_out, dc);
    EXPECT_EQ(window_pixel(top, 15, 15), kRed);
    EXPECT_EQ(window_pixel(top, 9, 9), kRed);
}

TEST_F(PaintWindow, GetDcOnHiddenWindowDrawsNothing) {
    HWND top = make_top(0, 0, 10, 10, WS_VISIBLE, kRedClass);
    HWND child = make_child(top, 1, 0, 0, 5, 5, 0, kRedClass);
    settle();
    HDC dc = GetDC(child);
    ASSERT_NE(dc, nullptr);
    RECT all{0, 0, 5, 5};
    FillRect(dc, &all, m_blue);
    EXPECT_EQ(ReleaseDC(child, dc), 1);
    EXPECT_EQ(window_pixel(top, 1, 1), kRed);
    EXPECT_EQ(ReleaseDC(child, dc), 0) << "a DC is released once";
}

TEST_F(PaintWindow, MovingAChildRepaintsWhereItWas) {
    HWND top = make_top(0, 0, 40, 40, WS_VISIBLE, kRedClass);
    HWND child = make_child(top, 1, 0, 0, 10, 10, WS_VISIBLE, kBlueClass);
    settle();
    EXPECT_TRUE(MoveWindow(child, 20, 20, 10, 10, TRUE));
    winapi::desktop::pump_messages();
    EXPECT_EQ(window_pixel(top, 5, 5), kRed) << "the old place shows the parent again";
    EXPECT_EQ(window_pixel(top, 25, 25), kBlue) << "the child shows at its new place";
}

TEST_F(PaintWindow, ScreenshotWritesAPngOfTheWindow) {
    HWND top = make_top(5, 5, 30, 20, WS_VISIBLE, kRedClass);
    HWND child = make_child(top, 1, 4, 3, 7, 6, WS_VISIBLE, kBlueClass);
    settle();
    char path[] = "/tmp/lx_window_shotXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_TRUE(winapi::desktop::screenshot(child, path));
    std::ifstream file(path, std::ios::binary);
    unsigned char header[24] = {};
    file.read(reinterpret_cast<char*>(header), sizeof header);
    ASSERT_EQ(file.gcount(), 24);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    EXPECT_EQ(std::memcmp(header, signature, 8), 0) << "a PNG signature";
    EXPECT_EQ(std::memcmp(header + 12, "IHDR", 4), 0);
    auto be32 = [](const unsigned char* p) {
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    };
    EXPECT_EQ(be32(header + 16), 7u) << "width of the child";
    EXPECT_EQ(be32(header + 20), 6u) << "height of the child";
    std::remove(path);
    EXPECT_FALSE(winapi::desktop::screenshot(nullptr, path));
    EXPECT_FALSE(winapi::desktop::screenshot(top, "/nonexistent-dir/x.png"));
}

} // namespace
