// Downloads that go wrong: a movie that is not there (404) and one whose download is cut
// short leave a page whose other movies still play and whose windows still answer; and what
// is left behind when instances end: no host memory, no cache file, and only a complete
// movie kept when the preferences ask for it.
#include "support/e2e_fixture.h"
#include "support/http_test_server.h"

#include "host_services.h"

#include <winapi/desktop.h>

#include <gmock/gmock.h>

#include <filesystem>

using namespace e2e_test;
using browser_test::HttpDocument;
using browser_test::HttpTestServer;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace desktop = winapi::desktop;

namespace {

class DownloadFailureTest : public EndToEndTest {
  protected:
    void SetUp() override {
        EndToEndTest::SetUp();
        m_bytes = movie_bytes();
        m_server.add("/movies/pattern.mov", HttpDocument{m_bytes, "video/quicktime"});
        HttpDocument cut{m_bytes, "video/quicktime"};
        cut.cut_after = m_bytes.size() / 2;
        m_server.add("/movies/cut.mov", cut);
    }

    std::string embed(const std::string& path, const std::string& more = "") {
        return "<embed src=\"" + m_server.url(path) + "\" width=160 height=138 " + more + ">";
    }

    // The cache files of the plug-in in $TMPDIR.
    std::vector<std::string> cache_files() const {
        std::vector<std::string> found;
        for (const std::string& name : folder_files(temp_folder()))
            if (name.rfind("LX", 0) == 0) found.push_back(name);
        return found;
    }

    std::string m_bytes;
    HttpTestServer m_server;
};

TEST_F(DownloadFailureTest, MissingAndCutShortMoviesLeaveAWorkingPage) {
    write("page.html", "<body bgcolor=\"#ffffff\">" + embed("/movies/gone.mov") +
                           embed("/movies/cut.mov") +
                           embed("/movies/pattern.mov", "autoplay=true") + "</body>");
    Picture one, two, cut;
    std::vector<std::string> menu;
    auto movie_area = [&](size_t index) {
        std::vector<HWND> embeds = embed_windows();
        EXPECT_EQ(embeds.size(), 3u);
        return embeds.size() == 3 ? window_picture(embeds[index], RECT{0, 0, 160, 120}) : Picture{};
    };
    at(2.0, [&] { one = movie_area(2); });
    at(2.5, [&] {
        two = movie_area(2);
        cut = movie_area(1);
        // The windows still answer: the context menu of the cut-short movie comes up.
        desktop::set_automation([&](const desktop::ModalEvent& event) {
            for (const desktop::ShownMenuItem& item : event.menu_items)
                menu.push_back(item.text);
            return 0;
        });
        std::vector<HWND> embeds = embed_windows();
        ASSERT_EQ(embeds.size(), 3u);
        RECT rect{};
        GetWindowRect(embeds[1], &rect);
        desktop::click(desktop::MouseButton::Right, rect.left + 80, rect.top + 60);
    });
    // At a limited rate the cut-short movie opens before its download breaks off.
    ViewerRun result =
        run({"--rate", std::to_string(m_bytes.size()), "--at", "3", page_path("page.html")});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_THAT(result.out, HasSubstr("/movies/gone.mov: HTTP error 404"));
    EXPECT_THAT(result.out, HasSubstr("status: Cannot load " + m_server.url("/movies/cut.mov")));
    ASSERT_EQ(one.width, 160);
    ASSERT_EQ(two.width, 160);
    EXPECT_GT(colourful_pixels(two), 160 * 120 / 2);
    EXPECT_GT(differing_pixels(one, two), 200) << "the complete movie does not play";
    // What did arrive of the cut-short movie shows; its window still answers with its menu.
    ASSERT_EQ(cut.width, 160);
    EXPECT_GT(colourful_pixels(cut), 160 * 120 / 2);
    EXPECT_THAT(menu, ::testing::Contains("Copy this Movie Location"));
    EXPECT_THAT(cache_files(), IsEmpty());
}

TEST_F(DownloadFailureTest, LeavingThePageEndsItsInstancesAndRemovesTheirFiles) {
    m_server.add("/pages/other.html",
                 HttpDocument{"<title>Other</title><p>No movies</p>", "text/html"});
    m_server.add("/pages/movies.html",
                 HttpDocument{"<title>Movies</title>" +
                                  embed("/movies/pattern.mov", "autoplay=true") +
                                  embed("/movies/pattern.mov", "href=\"../pages/other.html\""),
                              "text/html"});
    std::vector<std::string> during, after;
    size_t blocks_during = 0, blocks_after = 0;
    at(1.0, [&] {
        during = cache_files();
        blocks_during = browser::host_blocks_outstanding();
        std::vector<HWND> embeds = embed_windows();
        ASSERT_EQ(embeds.size(), 2u);
        RECT rect{};
        GetWindowRect(embeds[1], &rect);
        desktop::click(desktop::MouseButton::Left, rect.left + 80, rect.top + 60);
    });
    at(1.5, [&] {
        after = cache_files();
        blocks_after = browser::host_blocks_outstanding();
    });
    ViewerRun result = run({"--at", "1.6", m_server.url("/pages/movies.html")});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(during.size(), 2u) << "each movie downloads into a cache file of its own";
    EXPECT_GT(blocks_during, 0u);
    // The plug-in stays loaded with the page that has no movies; its instances are gone.
    EXPECT_THAT(after, IsEmpty());
    EXPECT_LT(blocks_after, blocks_during);
    EXPECT_THAT(folder_files(temp_folder()), IsEmpty());
}

TEST_F(DownloadFailureTest, EndOfRunLeavesNoCacheFileBehind) {
    write("page.html", embed("/movies/pattern.mov", "autoplay=true") + embed("/movies/cut.mov"));
    std::vector<std::string> during;
    at(1.0, [&] { during = cache_files(); });
    ViewerRun result = run({"--at", "1.5", page_path("page.html")});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(during.size(), 2u);
    EXPECT_EQ(browser::host_blocks_outstanding(), 0u);
    EXPECT_THAT(folder_files(temp_folder()), IsEmpty());
}

TEST_F(DownloadFailureTest, KeptMovieIsACompleteCopyUnderItsOwnName) {
    ASSERT_TRUE(plugin_test::write_profile_value("NPLant32.INI", "Lanternix Plugin",
                                                 "DontDeleteMovies", "1"));
    write("page.html", embed("/movies/pattern.mov") + embed("/movies/cut.mov"));
    ViewerRun result = run({"--at", "1.5", page_path("page.html")});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(browser::host_blocks_outstanding(), 0u);
    // The complete movie stays, byte for byte; the cut-short one is not kept.
    EXPECT_THAT(folder_files(temp_folder()), ElementsAre("pattern.mov"));
    EXPECT_EQ(read_file(temp_folder() + "pattern.mov"), m_bytes);
}

} // namespace
