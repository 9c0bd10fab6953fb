// What the page window shows, read from the screenshot: the status bar text of NPN_Status,
// the page colours, and an instance drawing the progress of its stream as data arrives.
#include "support/viewer_fixture.h"

#include <gmock/gmock.h>

using namespace browser_test;

namespace {

class ScreenTest : public ViewerTest {};

bool is_dark(COLORREF color) {
    return GetRValue(color) < 100 && GetGValue(color) < 100 && GetBValue(color) < 100;
}

// The columns of the status bar (the bottom 20 rows) that hold dark text pixels.
std::pair<int, int> text_columns(const Picture& picture) {
    int first = -1, last = -1;
    for (int y = picture.height - 19; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (!is_dark(picture.at(x, y))) continue;
            if (first < 0 || x < first) first = x;
            last = std::max(last, x);
        }
    }
    return {first, last};
}

int text_width(const char* text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font =
        CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return size.cx;
}

TEST_F(ScreenTest, StatusTextAppearsInTheStatusBar) {
    const char* text = "Loading the movie, please wait";
    std::string page = write("page.html", std::string("<embed name=s status=\"") + text +
                                              "\" type=application/x-lanternix-test>");
    ViewerRun result = run_shot(page, 0.1, {"--size", "500x200"});
    EXPECT_EQ(result.code, 0);
    EXPECT_THAT(result.out, ::testing::HasSubstr(std::string("status: ") + text + "\n"));
    Picture picture = shot();
    ASSERT_EQ(picture.width, 500);
    ASSERT_EQ(picture.height, 200);
    // The bar's face and its top line.
    EXPECT_EQ(picture.at(490, 195), RGB(212, 208, 200));
    EXPECT_EQ(picture.at(490, 180), RGB(128, 128, 128));
    auto [first, last] = text_columns(picture);
    int width = text_width(text);
    EXPECT_NEAR(first, 4, 2);
    EXPECT_NEAR(last, 4 + width, 3) << "text " << width << " pixels wide";
}

TEST_F(ScreenTest, StatusBarIsEmptyWithoutStatus) {
    std::string page = write("page.html", "<embed type=application/x-lanternix-test>");
    run_shot(page, 0.1, {"--size", "300x200"});
    auto [first, last] = text_columns(shot());
    EXPECT_EQ(first, -1);
}

TEST_F(ScreenTest, PageColoursAndInstanceDrawing) {
    std::string page = write("page.html", "<body bgcolor=\"#102030\">"
                                          "<embed name=a type=application/x-lanternix-test "
                                          "width=60 height=40 color=00ff00></body>");
    run_shot(page, 0.1, {"--size", "300x200"});
    Picture picture = shot();
    EXPECT_EQ(picture.at(200, 100), RGB(0x10, 0x20, 0x30));
    auto placed = lines("a", "setwindow");
    ASSERT_EQ(placed.size(), 1u);
    int x = static_cast<int>(number_field(placed[0], "x"));
    int y = static_cast<int>(number_field(placed[0], "y"));
    EXPECT_EQ(picture.at(x, y), RGB(0, 255, 0));
    EXPECT_EQ(picture.at(x + 59, y + 20), RGB(0, 255, 0));
    EXPECT_EQ(picture.at(x + 60, y + 20), RGB(0x10, 0x20, 0x30));
}

TEST_F(ScreenTest, ProgressShowsHowMuchOfARateLimitedStreamHasArrived) {
    write("clip.lxt", counting_bytes(10000));
    std::string page = write("page.html", "<embed name=a src=clip.lxt width=100 height=40 "
                                          "color=ffffff>");
    // 4000 bytes per second: after 1.25 seconds half of the stream is there.
    run_shot(page, 1.25, {"--size", "300x200", "--rate", "4000"});
    Picture picture = shot();
    auto placed = lines("a", "setwindow");
    ASSERT_EQ(placed.size(), 1u);
    int x = static_cast<int>(number_field(placed[0], "x"));
    int bottom = static_cast<int>(number_field(placed[0], "y")) + 39;
    int bar = 0;
    while (bar < 100 && picture.at(x + bar, bottom) == RGB(0, 0, 0))
        ++bar;
    EXPECT_NEAR(bar, 50, 3);
    EXPECT_EQ(picture.at(x + 99, bottom - 10), RGB(255, 255, 255));
}

TEST_F(ScreenTest, TitleAndTextOfThePageAreDrawn) {
    std::string page = write("page.html", "<title>T</title><p>Hello world</p>");
    run_shot(page, 0.1, {"--size", "300x200"});
    Picture picture = shot();
    int dark = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            dark += is_dark(picture.at(x, y));
    EXPECT_GT(dark, 30);
}

} // namespace
