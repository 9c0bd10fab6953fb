// A movie whose movie atom comes first, fetched over HTTP at a limited rate: it opens and
// shows its first frame long before the download ends, AUTOPLAY starts it, and the controller
// bar shows the part that has arrived growing.
#include "support/e2e_fixture.h"
#include "support/http_test_server.h"

#include <gmock/gmock.h>

using namespace e2e_test;
using browser_test::HttpDocument;
using browser_test::HttpTestServer;

namespace {

// The controller bar's height and the colour of the slider's loaded part.
constexpr int kBarHeight = 18;
const COLORREF kLoadedColour = RGB(150, 150, 190);

class ProgressivePlaybackTest : public EndToEndTest {
  protected:
    void SetUp() override {
        EndToEndTest::SetUp();
        m_bytes = movie_bytes();
        ASSERT_GT(m_bytes.size(), 4000u);
        // The viewer hands the plug-in a third of the movie per second (its own limiter runs
        // on the manual clock, so what has arrived at a time is exact): the 6-second movie
        // downloads in 3 seconds, fast enough for an automatic start. The server sends faster
        // than that, but still at a limited rate of its own.
        m_rate = m_bytes.size() / 3;
        m_server = std::make_unique<HttpTestServer>(m_bytes.size() * 2);
        m_server->add("/movies/pattern.mov", HttpDocument{m_bytes, "video/quicktime"});
    }

    std::string page(const std::string& attributes) {
        return write("page.html", "<body bgcolor=\"#102030\"><embed src=\"" +
                                      m_server->url("/movies/pattern.mov") +
                                      "\" width=160 height=" + std::to_string(120 + kBarHeight) +
                                      " " + attributes + "></body>");
    }

    // The movie's area of the only embed, and its controller bar.
    Picture movie_area() {
        std::vector<HWND> embeds = embed_windows();
        EXPECT_EQ(embeds.size(), 1u);
        return embeds.empty() ? Picture{} : window_picture(embeds[0], RECT{0, 0, 160, 120});
    }
    Picture bar_area() {
        std::vector<HWND> embeds = embed_windows();
        EXPECT_EQ(embeds.size(), 1u);
        return embeds.empty() ? Picture{}
                              : window_picture(embeds[0], RECT{0, 120, 160, 120 + kBarHeight});
    }
    // Bytes the viewer can have handed over by `seconds`.
    size_t delivered_by(double seconds) const { return static_cast<size_t>(m_rate * seconds); }

    std::string m_bytes;
    size_t m_rate = 0;
    std::unique_ptr<HttpTestServer> m_server;
};

TEST_F(ProgressivePlaybackTest, FirstFrameShowsBeforeTheDownloadEnds) {
    Picture before, early;
    at(0.5, [&] { before = movie_area(); });
    at(2.0, [&] { early = movie_area(); });
    ASSERT_LT(delivered_by(2.0), m_bytes.size() * 3 / 4);
    ViewerRun result = run({"--rate", std::to_string(m_rate), "--at", "2.1", page("")});
    EXPECT_EQ(result.code, 0) << result.err;
    Picture first = ffmpeg_frame(movie(), 0, 160, 120);
    ASSERT_EQ(first.width, 160) << "ffmpeg gave no frame";
    // At first the poster stands where the movie will be; by 2 seconds, with at most three
    // quarters of the file delivered, the movie's first frame is there.
    ASSERT_EQ(before.width, 160);
    EXPECT_GT(mean_difference(before, first), 40.0);
    ASSERT_EQ(early.width, 160);
    EXPECT_GT(differing_pixels(before, early), 160 * 120 / 2);
    EXPECT_LT(mean_difference(early, first), 12.0);
    EXPECT_GT(colourful_pixels(early), 160 * 120 / 2);
}

TEST_F(ProgressivePlaybackTest, WithoutAutoplayThePictureStaysOnTheFirstFrame) {
    Picture one, two;
    at(2.0, [&] { one = movie_area(); });
    at(2.8, [&] { two = movie_area(); });
    run({"--rate", std::to_string(m_rate), "--at", "2.9", page("")});
    ASSERT_EQ(one.width, 160);
    ASSERT_EQ(two.width, 160);
    EXPECT_GT(colourful_pixels(one), 160 * 120 / 2);
    EXPECT_EQ(differing_pixels(one, two, 8), 0);
}

TEST_F(ProgressivePlaybackTest, AutoplayStartsThePictureMoving) {
    Picture one, two;
    at(2.0, [&] { one = movie_area(); });
    at(2.8, [&] { two = movie_area(); });
    run({"--rate", std::to_string(m_rate), "--at", "2.9", page("autoplay=true")});
    ASSERT_EQ(one.width, 160);
    ASSERT_EQ(two.width, 160);
    EXPECT_GT(colourful_pixels(one), 160 * 120 / 2);
    EXPECT_GT(colourful_pixels(two), 160 * 120 / 2);
    // The test pattern's moving parts and its counter change from frame to frame.
    EXPECT_GT(differing_pixels(one, two), 200);
}

TEST_F(ProgressivePlaybackTest, BarIsDrawnAndItsLoadedPartGrows) {
    Picture one, two;
    at(1.8, [&] { one = bar_area(); });
    at(2.6, [&] { two = bar_area(); });
    run({"--rate", std::to_string(m_rate), "--at", "2.7", page("autoplay=true controller=true")});
    ASSERT_EQ(one.height, kBarHeight);
    ASSERT_EQ(two.height, kBarHeight);
    // The bar covers the page's colour across its whole width and height.
    EXPECT_EQ(pixels_of_colour(one, RGB(0x10, 0x20, 0x30)), 0);
    int loaded_one = pixels_of_colour(one, kLoadedColour);
    int loaded_two = pixels_of_colour(two, kLoadedColour);
    EXPECT_GT(loaded_one, 0);
    // Each column of the loaded part is several rows high.
    EXPECT_GT(loaded_two, loaded_one + 4 * 8) << "the loaded part did not grow";
}

TEST_F(ProgressivePlaybackTest, AutoplayOfAMovieOfAnOrdinaryBitRateStartsByItself) {
    std::string dense = movie_atom_first(read_file(LXTEST_E2E_DENSE_MOVIE));
    ASSERT_GT(dense.size(), 30000u);
    m_server->add("/movies/dense.mov", HttpDocument{dense, "video/quicktime"});
    write("page.html", "<embed src=\"" + m_server->url("/movies/dense.mov") +
                           "\" width=160 height=138 autoplay=true>");
    Picture one, two;
    at(3.5, [&] { one = movie_area(); });
    at(4.0, [&] { two = movie_area(); });
    // The whole movie is there after 3 seconds.
    run({"--rate", std::to_string(dense.size() / 3), "--at", "4.1", page_path("page.html")});
    ASSERT_EQ(one.width, 160);
    EXPECT_GT(differing_pixels(one, two), 200) << "the movie did not start";
}

} // namespace
