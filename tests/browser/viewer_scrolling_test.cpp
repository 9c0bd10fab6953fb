// A page taller than the window scrolls with the keys and the scroll bar, and its instances
// move with it; a window that changes size lays the page out again. Screenshots show what a
// person would see.
#include "support/viewer_fixture.h"

#include <gmock/gmock.h>

using namespace browser_test;
using ::testing::HasSubstr;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

class ScrollingTest : public ViewerTest {
  protected:
    // Eighty lines of text, then a red instance: far below an 800 x 600 window.
    std::string long_page() {
        std::string html = "<title>Long page</title>";
        for (int i = 0; i < 80; ++i)
            html += "<p>line " + std::to_string(i);
        html += "<p><embed name=low type=application/x-lanternix-test color=ff0000 "
                "width=100 height=50>";
        return write("long.html", html);
    }

    // The top row of red pixels in the screenshot; -1 when there is none.
    int red_top(const Picture& picture) {
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if (picture.at(x, y) == kRed) return y;
        return -1;
    }

    // The last place the viewer gave the instance, as its NPP_SetWindow record says.
    long last_y(const std::string& name) {
        auto placed = lines(name, "setwindow");
        return placed.empty() ? -1 : number_field(placed.back(), "y");
    }
};

TEST_F(ScrollingTest, LongPageStartsAtTheTopWithAScrollBar) {
    ViewerRun result = run_shot(long_page(), 0.3);
    ASSERT_EQ(result.code, 0) << result.err;
    Picture picture = shot();
    EXPECT_EQ(red_top(picture), -1) << "the instance is below the window's bottom";
    // The scroll bar's thumb sits at the top of its track at the right edge.
    EXPECT_EQ(picture.at(picture.width - 7, 2), RGB(160, 160, 160));
    EXPECT_EQ(picture.at(picture.width - 7, 540), RGB(232, 232, 232));
}

TEST_F(ScrollingTest, EndKeyShowsTheBottomAndTheInstanceMovesWithThePage) {
    ViewerRun result = run_shot(long_page(), 0.5, {"--key", "end@0.2"});
    ASSERT_EQ(result.code, 0) << result.err;
    Picture picture = shot();
    int top = red_top(picture);
    ASSERT_GT(top, 0) << "the instance came into view";
    // Where the viewer told the instance it is now: inside the window, above the status bar.
    long y = last_y("low");
    EXPECT_GT(y, 300);
    EXPECT_LT(y + 50, 600 - 20);
    EXPECT_EQ(picture.at(picture.width - 7, 540), RGB(160, 160, 160)) << "thumb at the bottom";
}

TEST_F(ScrollingTest, KeysStepByLinesAndPagesAndHomeGoesBack) {
    std::string page = long_page();
    run({"--at", "0.2", page});
    long start = last_y("low");
    ASSERT_GT(start, 600);
    struct Step {
        const char* key;
        long moved; // how far the instance moved up
    } steps[] = {{"down", 40}, {"pagedown", 600 - 20 - 40}, {"space", 600 - 20 - 40}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.key);
        write("plugin.log", "");
        run({"--at", "0.4", "--key", std::string(step.key) + "@0.2", page});
        EXPECT_EQ(start - last_y("low"), step.moved);
    }
    write("plugin.log", "");
    run({"--at", "0.5", "--key", "end@0.1", "--key", "home@0.3", page});
    EXPECT_EQ(last_y("low"), start);
}

TEST_F(ScrollingTest, ClickInTheScrollBarTrackPagesDown) {
    std::string page = long_page();
    run({"--at", "0.2", page});
    long start = last_y("low");
    write("plugin.log", "");
    run({"--at", "0.4", "--click", "793,500@0.2", page});
    EXPECT_EQ(start - last_y("low"), 600 - 20 - 40);
}

TEST_F(ScrollingTest, ResizedWindowLaysThePageOutAgain) {
    // Two instances side by side in 800 pixels; in 300 the second goes to the next line.
    // The last instance resizes the window once it has its own.
    std::string page =
        write("page.html", "<embed name=a type=application/x-lanternix-test width=200 height=60>"
                           "<embed name=b type=application/x-lanternix-test width=200 height=60 "
                           "color=ff0000><embed name=c type=application/x-lanternix-test "
                           "width=10 height=10 resizepage=300x400>");
    ViewerRun result = run_shot(page, 0.3);
    ASSERT_EQ(result.code, 0) << result.err;
    auto placed = lines("b", "setwindow");
    ASSERT_GE(placed.size(), 2u);
    EXPECT_GT(number_field(placed.front(), "x"), 200) << "beside the first";
    EXPECT_EQ(number_field(placed.back(), "x"), 8);
    EXPECT_EQ(number_field(placed.back(), "y"), number_field(placed.front(), "y") + 60);
    Picture picture = shot();
    EXPECT_LE(picture.width, 320) << "the screenshot shows the resized window";
    EXPECT_GT(red_top(picture), 0);
}

TEST_F(ScrollingTest, KeyOptionNeedsAKnownKey) {
    ViewerRun result = run({"--key", "tab@1", "page.html"});
    EXPECT_EQ(result.code, 2);
    EXPECT_THAT(result.err, HasSubstr("bad value for --key"));
}

} // namespace
