// NPN_GetURL and links: replacing the page (its instances destroyed first), opening new
// windows, and movie addresses shown by a full-window instance.
#include "support/viewer_fixture.h"

#include <gmock/gmock.h>

using namespace browser_test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class NavigationTest : public ViewerTest {
  protected:
    // The instance names in the order their NPP_New and NPP_Destroy came.
    std::vector<std::string> lifecycle() {
        std::vector<std::string> events;
        for (const std::string& line : log()) {
            std::string rest = line.substr(line.find("] ") + 2);
            std::string kind = rest.substr(0, rest.find(' '));
            if (kind == "new" || kind == "destroy")
                events.push_back(kind + " " + line.substr(1, line.find(']') - 1));
        }
        return events;
    }
};

TEST_F(NavigationTest, TopTargetReplacesThePageAfterDestroyingItsInstances) {
    write("a.lxt", "a");
    write("second.html", "<title>Second</title><embed name=two type=application/x-lanternix-test>");
    std::string page =
        write("first.html", "<embed name=one src=a.lxt geturl=second.html target=_top "
                            "geturlon=done><embed name=other type=application/x-lanternix-test>");
    run({"--at", "0.5", page});
    EXPECT_THAT(lifecycle(), ElementsAre("new one", "new other", "destroy one", "destroy other",
                                         "new two", "destroy two"));
    EXPECT_THAT(lines("one", "geturl"), ElementsAre(HasSubstr("second.html _top -> 0")));
}

TEST_F(NavigationTest, SelfAndNamedTargetsReplaceThePageToo) {
    for (const char* target : {"_self", "somewhere"}) {
        SCOPED_TRACE(target);
        write("plugin.log", "");
        write("next.html", "<embed name=next type=application/x-lanternix-test>");
        std::string page = write("page.html", std::string("<embed name=here geturl=next.html "
                                                          "geturlon=new target=") +
                                                  target + " type=application/x-lanternix-test>");
        run({"--at", "0.2", page});
        EXPECT_THAT(lifecycle(),
                    ElementsAre("new here", "destroy here", "new next", "destroy next"));
    }
}

TEST_F(NavigationTest, NewTargetOpensASecondWindowAndKeepsThePage) {
    write("next.html", "<embed name=next type=application/x-lanternix-test width=30 height=30>");
    std::string page = write("page.html", "<embed name=here geturl=next.html geturlon=new "
                                          "target=_new type=application/x-lanternix-test "
                                          "width=30 height=30 color=ff0000>");
    ViewerRun result = run_shot(page, 0.2);
    EXPECT_EQ(result.code, 0);
    EXPECT_THAT(lifecycle(), ElementsAre("new here", "new next", "destroy here", "destroy next"));
    // The screenshot is of the first window, which still shows its own instance.
    Picture picture = shot();
    EXPECT_EQ(picture.at(20, 20), RGB(255, 0, 0));
}

TEST_F(NavigationTest, MovieAddressOpensAsFullWindowInstance) {
    write("movie.lxt", counting_bytes(300));
    std::string page = write("page.html", "<embed name=here geturl=movie.lxt geturlon=new "
                                          "target=_top type=application/x-lanternix-test>");
    run({"--size", "400x300", "--at", "0.3", page});
    auto created = lines("?", "new");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(field(created[0], "mode"), "2"); // NP_FULL
    EXPECT_EQ(field(created[0], "argc"), "0");
    auto window = lines("?", "setwindow");
    ASSERT_EQ(window.size(), 1u);
    EXPECT_EQ(field(window[0], "w"), "400");
    EXPECT_EQ(field(window[0], "h"), "280"); // above the status bar
    auto opened = lines("?", "newstream");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_THAT(field(opened[0], "url"), HasSubstr("/movie.lxt"));
    EXPECT_EQ(field(opened[0], "end"), "300");
}

TEST_F(NavigationTest, MovieAddressOnTheCommandLineOpensFullWindow) {
    std::string movie = write("clip.lxt", counting_bytes(64));
    ViewerRun result = run({"--at", "0.2", movie});
    EXPECT_EQ(result.code, 0) << result.err;
    auto created = lines("?", "new");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(field(created[0], "mode"), "2");
    EXPECT_EQ(lines("?", "destroystream").size(), 1u);
}

TEST_F(NavigationTest, ClickOnATextLinkFollowsIt) {
    write("next.html", "<embed name=next type=application/x-lanternix-test>");
    std::string page = write("page.html", "<a href=next.html>Next</a> page");
    // The first word sits at the page margin, 8 pixels in.
    run({"--at", "0.5", "--click", "12,14@0.2", page});
    EXPECT_THAT(lifecycle(), ElementsAre("new next", "destroy next"));
}

TEST_F(NavigationTest, ClickInsideAnInstanceReachesThePlugin) {
    write("next.html", "<embed name=next type=application/x-lanternix-test>");
    std::string page = write("page.html", "<embed name=here geturl=next.html geturlon=click "
                                          "target=_top width=100 height=50 "
                                          "type=application/x-lanternix-test>");
    run({"--at", "0.5", "--click", "30,20@0.1", page});
    EXPECT_THAT(lines("here", "click"), ElementsAre("click 22,12"));
    EXPECT_THAT(lifecycle(), ElementsAre("new here", "destroy here", "new next", "destroy next"));
}

TEST_F(NavigationTest, FailedNavigationShowsTheErrorAndKeepsRunning) {
    std::string page = write("page.html", "<embed name=here geturl=nowhere.html geturlon=new "
                                          "target=_top type=application/x-lanternix-test>");
    ViewerRun result = run({"--at", "0.2", page});
    EXPECT_EQ(result.code, 0);
    EXPECT_THAT(result.out, HasSubstr("status: Cannot open "));
    EXPECT_THAT(result.out, HasSubstr("nowhere.html: No such file or directory"));
    EXPECT_EQ(lines("here", "destroy").size(), 1u);
}

} // namespace
