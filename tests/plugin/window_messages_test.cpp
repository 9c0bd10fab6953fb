// The instance window's messages through the entry points: painting with its background and
// frame, the link (cursor, status line, click with its target and image-map position), the
// right click, the palette change, and every other message passed on unchanged.
#include "support/streaming_fixture.h"

#include "support/page_windows.h"

#include <winapi/desktop.h>

using namespace plugin_test;

namespace {

class WindowMessages : public StreamingFixture {
  protected:
    // The NPN_GetURL and NPN_Status calls so far, as "service url target".
    std::vector<std::string> link_calls() const {
        std::vector<std::string> calls;
        for (const HostCall& call : host().calls())
            calls.push_back(call.service + " " + call.text +
                            (call.service == "NPN_GetURL" ? " " + call.target : ""));
        return calls;
    }
    // Clicks at a client point of the embed window through the desktop's mouse.
    void click_at(int x, int y) {
        POINT point = {x, y};
        ClientToScreen(embed, &point);
        winapi::desktop::click(winapi::desktop::MouseButton::Left, point.x, point.y);
        winapi::desktop::pump_messages();
    }
};

TEST_F(WindowMessages, AbsoluteLinkOpensAsItIsInTheWholeWindow) {
    open_instance({{"SRC", "clip.mov"}, {"HREF", "file:/pages/next.html"}});
    begin_stream(0);
    host().clear_calls();
    click_at(30, 40);
    // The mouse came to the point first: the address went to the status line on its way.
    std::vector<std::string> expected = {"NPN_Status file:/pages/next.html",
                                         "NPN_GetURL file:/pages/next.html _top"};
    EXPECT_EQ(link_calls(), expected);
}

TEST_F(WindowMessages, RelativeLinksReplaceTheLastSegmentOfTheStreamAddress) {
    struct Case {
        const char* href;
        const char* expected;
    } cases[] = {
        {"next.html", "http://example.invalid/movies/next.html"},
        {"sub/a b#c?d", "http://example.invalid/movies/sub/a b#c?d"},
        {"../up.html", "http://example.invalid/up.html"},
        {"./same.html", "http://example.invalid/movies/same.html"},
        {"../../../../top.html", "http://example.invalid/top.html"},
        {"..", "http://example.invalid/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.href);
        open_instance({{"SRC", "clip.mov"}, {"HREF", c.href}, {"HREFTARGET", "_blank"}});
        begin_stream(0);
        host().clear_calls();
        SendMessageA(embed, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        EXPECT_EQ(link_calls(),
                  std::vector<std::string>{std::string("NPN_GetURL ") + c.expected + " _blank"});
        close_page();
    }
}

TEST_F(WindowMessages, LinkBeforeAnyStreamGoesToTheHostAsItStands) {
    open_instance({{"SRC", "clip.mov"}, {"HREF", "../next.html"}});
    EXPECT_EQ(SendMessageA(embed, WM_LBUTTONDOWN, MK_LBUTTON, 0), 1);
    EXPECT_EQ(link_calls(), std::vector<std::string>{"NPN_GetURL ../next.html _top"});
}

TEST_F(WindowMessages, ImageMapAddsTheCursorPositionToTheStatusAndTheLink) {
    open_instance({{"SRC", "clip.mov"}, {"HREF", "map.cgi?x=1"}, {"ISMAP", ""}});
    begin_stream(0);
    host().clear_calls();
    POINT point = {10, 20};
    ClientToScreen(embed, &point);
    winapi::desktop::mouse_move(point.x, point.y);
    winapi::desktop::pump_messages();
    click_at(10, 20);
    std::vector<std::string> expected = {
        "NPN_Status http://example.invalid/movies/map.cgi?x=1?10,20",
        "NPN_GetURL http://example.invalid/movies/map.cgi?x=1?10,20 _top"};
    std::vector<std::string> calls = link_calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front(), expected[0]);
    EXPECT_EQ(calls.back(), expected[1]);
}

TEST_F(WindowMessages, WithoutALinkNothingHappensButNothingIsPassedOn) {
    open_instance({{"SRC", "clip.mov"}});
    page_log().clear();
    HCURSOR before = GetCursor();
    EXPECT_EQ(SendMessageA(embed, WM_SETCURSOR, reinterpret_cast<WPARAM>(embed),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), before);
    EXPECT_EQ(SendMessageA(embed, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3)), 0);
    EXPECT_EQ(SendMessageA(embed, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3)), 1);
    EXPECT_TRUE(host().calls().empty());
    for (const PageMessage& message : page_log())
        EXPECT_TRUE(message.message != WM_SETCURSOR && message.message != WM_MOUSEMOVE &&
                    message.message != WM_LBUTTONDOWN)
            << "expected message " << message.message << " not passed on";
}

TEST_F(WindowMessages, LinkShowsThePointingHand) {
    open_instance({{"SRC", "clip.mov"}, {"HREF", "next.html"}});
    HCURSOR hand = LoadCursorA(library.module(), MAKEINTRESOURCE(128));
    ASSERT_NE(hand, nullptr);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(SendMessageA(embed, WM_SETCURSOR, reinterpret_cast<WPARAM>(embed),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), hand);
}

TEST_F(WindowMessages, PaintFillsWithWhiteAndFramesThePoster) {
    open_instance({{"SRC", "clip.mov"}}, 200, 160);
    UpdateWindow(embed);
    EXPECT_EQ(winapi::desktop::window_pixel(embed, 0, 0), RGB(64, 64, 64)) << "frame";
    EXPECT_EQ(winapi::desktop::window_pixel(embed, 199, 159), RGB(64, 64, 64)) << "frame";
    EXPECT_EQ(winapi::desktop::window_pixel(embed, 3, 3), RGB(255, 255, 255)) << "background";
}

TEST_F(WindowMessages, PaintWithBackgroundColourHasNoFrame) {
    // The colour is in the Windows order 0xBBGGRR: #00FF00 is green.
    open_instance({{"SRC", "clip.mov"}, {"BGCOLOR", "#00FF00"}}, 200, 160);
    UpdateWindow(embed);
    EXPECT_EQ(winapi::desktop::window_pixel(embed, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(winapi::desktop::window_pixel(embed, 3, 3), RGB(0, 255, 0));
}

TEST_F(WindowMessages, PaletteChangeRepaintsAtOnce) {
    open_instance({{"SRC", "clip.mov"}, {"BGCOLOR", "#0000FF"}}, 200, 160);
    UpdateWindow(embed);
    // Spoil the picture behind the window's back, then announce a palette change.
    HDC dc = GetDC(embed);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    RECT all = {0, 0, 200, 160};
    FillRect(dc, &all, black);
    DeleteObject(black);
    ReleaseDC(embed, dc);
    EXPECT_EQ(SendMessageA(embed, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(embed), 0), 0);
    // Outside the poster, which covers the middle.
    EXPECT_EQ(winapi::desktop::window_pixel(embed, 5, 5), RGB(255, 0, 0));
}

TEST_F(WindowMessages, EveryOtherMessageReachesThePreviousProcedureUnchanged) {
    open_instance({{"SRC", "clip.mov"}, {"HREF", "next.html"}});
    begin_stream(0);
    page_log().clear();
    struct Sent {
        UINT message;
        WPARAM wparam;
        LPARAM lparam;
    } sent[] = {
        {WM_KEYDOWN, VK_SPACE, 0x00390001},
        {WM_CHAR, 'x', 1},
        {WM_LBUTTONUP, 0, MAKELPARAM(7, 9)},
        {WM_RBUTTONUP, 0, MAKELPARAM(1, 2)},
        {WM_TIMER, 77, 0},
        {WM_SIZE, SIZE_RESTORED, MAKELPARAM(20, 30)},
        {WM_USER + 9, ~WPARAM(0), -1},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, 0},
    };
    for (const Sent& s : sent)
        SendMessageA(embed, s.message, s.wparam, s.lparam);
    EXPECT_EQ(SendMessageA(embed, WM_PAGE_SUM, 40, 2), 42) << "expected the result back";
    std::vector<PageMessage> reached;
    for (const PageMessage& message : page_log())
        for (const Sent& s : sent)
            if (message.message == s.message) reached.push_back(message);
    ASSERT_EQ(reached.size(), std::size(sent));
    for (size_t i = 0; i < reached.size(); ++i) {
        SCOPED_TRACE("message " + std::to_string(i));
        EXPECT_EQ(reached[i].message, sent[i].message);
        EXPECT_EQ(reached[i].wparam, sent[i].wparam);
        EXPECT_EQ(reached[i].lparam, sent[i].lparam);
        EXPECT_EQ(reached[i].hwnd, embed);
    }
}

TEST_F(WindowMessages, MessageForAWindowWithoutInstanceGoesToTheDefaultProcedure) {
    open_instance({{"SRC", "clip.mov"}});
    // A second window given the instance procedure by hand: no instance owns it.
    HWND stray = make_embed_window(page, 'b', 0, 0, 10, 10);
    SetWindowLongPtrA(stray, GWLP_WNDPROC, GetWindowLongPtrA(embed, GWLP_WNDPROC));
    page_log().clear();
    EXPECT_EQ(SendMessageA(stray, WM_PAGE_SUM, 1, 2), 0) << "expected DefWindowProcA's answer";
    EXPECT_TRUE(page_log().empty());
    DestroyWindow(stray);
}

} // namespace
