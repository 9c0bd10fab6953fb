// A person's actions on a movie of a page: the context menu and its "Copy this Movie
// Location", a click on a movie with a link, and a movie address opened as the page itself.
#include "support/e2e_fixture.h"
#include "support/http_test_server.h"

#include <winapi/desktop.h>

#include <gmock/gmock.h>

using namespace e2e_test;
using browser_test::HttpDocument;
using browser_test::HttpTestServer;
using ::testing::Contains;
using ::testing::HasSubstr;

namespace desktop = winapi::desktop;

namespace {

class PageInteractionTest : public EndToEndTest {
  protected:
    void SetUp() override {
        EndToEndTest::SetUp();
        m_server.add("/movies/pattern.mov", HttpDocument{movie_bytes(), "video/quicktime"});
    }

    // A click of `button` at the centre of a window, as a person makes it.
    static void click_centre(HWND hwnd, desktop::MouseButton button) {
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        desktop::click(button, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }

    HttpTestServer m_server;
};

TEST_F(PageInteractionTest, ContextMenuCopiesTheMovieLocation) {
    std::string address = m_server.url("/movies/pattern.mov");
    write("page.html", "<embed src=\"" + address + "\" width=160 height=138 controller=true>");
    std::vector<desktop::ShownMenuItem> shown;
    at(1.0, [&] {
        desktop::set_automation([&](const desktop::ModalEvent& event) {
            if (event.kind != desktop::ModalKind::Menu) return 0;
            shown = event.menu_items;
            for (const desktop::ShownMenuItem& item : event.menu_items)
                if (item.text == "Copy this Movie Location") return static_cast<int>(item.id);
            return 0;
        });
        std::vector<HWND> embeds = embed_windows();
        ASSERT_EQ(embeds.size(), 1u);
        click_centre(embeds[0], desktop::MouseButton::Right);
    });
    std::string copied;
    at(1.5, [&] { copied = clipboard_text(CF_OEMTEXT); });
    ViewerRun result = run({"--at", "1.6", page_path("page.html")});
    EXPECT_EQ(result.code, 0) << result.err;
    ASSERT_FALSE(shown.empty()) << "no menu was shown";
    std::vector<std::string> texts;
    for (const desktop::ShownMenuItem& item : shown) {
        texts.push_back(item.text);
        if (item.text == "Copy this Movie Location") {
            EXPECT_EQ(item.id, 5u);
            EXPECT_TRUE(item.enabled);
        }
    }
    EXPECT_THAT(texts, Contains("Copy this Movie Location"));
    EXPECT_THAT(texts, Contains("Preferences"));
    EXPECT_EQ(copied, address);
}

TEST_F(PageInteractionTest, ClickOnAMovieWithALinkOpensTheLinkedPage) {
    m_server.add("/pages/next.html",
                 HttpDocument{"<title>Next page</title><body bgcolor=\"#20c040\"><p>Arrived</p>",
                              "text/html"});
    // The link is relative to the movie's address.
    m_server.add("/pages/first.html",
                 HttpDocument{"<title>First page</title><body bgcolor=\"#ffffff\">"
                              "<embed src=\"../movies/pattern.mov\" width=160 height=138 "
                              "href=\"../pages/next.html\">",
                              "text/html"});
    std::string title_before, title_after;
    COLORREF after = CLR_INVALID;
    at(1.0, [&] {
        title_before = window_text(page_window());
        std::vector<HWND> embeds = embed_windows();
        ASSERT_EQ(embeds.size(), 1u);
        click_centre(embeds[0], desktop::MouseButton::Left);
    });
    at(1.5, [&] {
        title_after = window_text(page_window());
        after = desktop::window_pixel(page_window(), kPageWidth - 10, 100);
    });
    ViewerRun result = run({"--at", "1.6", m_server.url("/pages/first.html")});
    EXPECT_EQ(result.code, 0) << result.err;
    // Pointing at the movie showed its link in the status bar before the click followed it.
    EXPECT_THAT(result.out, HasSubstr("status: " + m_server.url("/pages/next.html") + "\n"));
    EXPECT_EQ(title_before, "First page");
    EXPECT_EQ(title_after, "Next page");
    EXPECT_EQ(after, RGB(0x20, 0xc0, 0x40));
    EXPECT_THAT(m_server.requests(), Contains("GET /pages/next.html HTTP/1.1"));
}

TEST_F(PageInteractionTest, MovieAddressOpensAsAFullWindowMovie) {
    std::string address = m_server.url("/movies/pattern.mov");
    Picture window;
    std::vector<HWND> embeds;
    std::string title;
    at(1.5, [&] {
        title = window_text(page_window());
        embeds = embed_windows();
        if (embeds.size() == 1) window = window_picture(embeds[0]);
    });
    ViewerRun result = run({"--at", "1.6", address});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(title, address);
    // One instance fills the window above the status bar.
    ASSERT_EQ(embeds.size(), 1u);
    EXPECT_EQ(window.width, kPageWidth);
    EXPECT_GT(window.height, kPageHeight - 60);
    // The movie's picture is in it: a frame of the colourful pattern.
    EXPECT_GT(colourful_pixels(window), 160 * 120 / 2);
}

} // namespace
