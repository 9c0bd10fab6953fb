// Embeds as the plug-in sees them: which instances are made, with which type, mode and
// attributes, which get a window, and in which order the host calls arrive.
#include "support/viewer_fixture.h"

#include <gmock/gmock.h>

using namespace browser_test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class EmbedTest : public ViewerTest {};

TEST_F(EmbedTest, PassesEveryAttributeInDocumentOrderAsWritten) {
    write("data.lxt", "abc");
    std::string page =
        write("page.html", "<p>Movie:<embed NAME=one src=\"data.lxt\" WIDTH=40 height=30 "
                           "MCWITHFRAME=true loop=PALINDROME hidden=false Empty></p>");
    ViewerRun result = run({"--at", "0.5", page});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_THAT(lines("one", "arg"),
                ElementsAre("arg NAME=one", "arg src=data.lxt", "arg WIDTH=40", "arg height=30",
                            "arg MCWITHFRAME=true", "arg loop=PALINDROME", "arg hidden=false",
                            "arg Empty="));
    auto created = lines("one", "new");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(field(created[0], "type"), "application/x-lanternix-test");
    EXPECT_EQ(field(created[0], "mode"), "1"); // NP_EMBED
    EXPECT_EQ(field(created[0], "argc"), "8");
    EXPECT_EQ(field(created[0], "agent"), "Lanternix-View/1.0");
}

TEST_F(EmbedTest, HostCallsArriveInLifecycleOrder) {
    write("data.lxt", counting_bytes(100));
    std::string page = write("page.html", "<embed name=a src=data.lxt width=50 height=40>");
    run({"--at", "0.5", page});
    std::vector<std::string> kinds;
    for (const std::string& line : log())
        kinds.push_back(line.substr(0, line.find(' ', 4)));
    EXPECT_THAT(kinds, ElementsAre("[-] initialize", "[a] new", "[a] arg", "[a] arg", "[a] arg",
                                   "[a] arg", "[a] setwindow", "[a] newstream", "[a] write",
                                   "[a] destroystream", "[a] destroy", "[-] shutdown"));
    auto window = lines("a", "setwindow");
    ASSERT_EQ(window.size(), 1u);
    EXPECT_EQ(field(window[0], "w"), "50");
    EXPECT_EQ(field(window[0], "h"), "40");
}

TEST_F(EmbedTest, TypeComesFromTypeAttributeBeforeExtension) {
    write("movie.lxt", "x");
    write("other.lxp", "y");
    std::string page =
        write("page.html", "<embed name=t src=movie.lxt type=video/x-lanternix-other>"
                           "<embed name=e src=other.lxp>");
    run({"--at", "0.2", page});
    ASSERT_EQ(lines("t", "new").size(), 1u);
    EXPECT_EQ(field(lines("t", "new")[0], "type"), "video/x-lanternix-other");
    // The second element of the extension list names two extensions.
    ASSERT_EQ(lines("e", "new").size(), 1u);
    EXPECT_EQ(field(lines("e", "new")[0], "type"), "video/x-lanternix-other");
}

TEST_F(EmbedTest, HiddenEmbedGetsAnInstanceAndItsDataButNoWindow) {
    write("sound.lxt", counting_bytes(10));
    std::string page = write("page.html", "<embed name=h src=sound.lxt hidden>");
    run({"--at", "0.2", page});
    EXPECT_EQ(lines("h", "new").size(), 1u);
    EXPECT_TRUE(lines("h", "setwindow").empty());
    ASSERT_EQ(lines("h", "destroystream").size(), 1u);
    EXPECT_EQ(number_field(lines("h", "destroystream")[0], "bytes"), 10);
}

TEST_F(EmbedTest, EmbedsAreLaidOutInAFlowThatWraps) {
    std::string page =
        write("page.html", "<embed name=a type=application/x-lanternix-test width=300 height=50>"
                           "<embed name=b type=application/x-lanternix-test width=300 height=80>"
                           "<embed name=c type=application/x-lanternix-test width=300 height=20>");
    run({"--size", "700x400", "--at", "0.1", page});
    auto a = lines("a", "setwindow"), b = lines("b", "setwindow"), c = lines("c", "setwindow");
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    ASSERT_EQ(c.size(), 1u);
    // a and b share the first line, bottoms aligned; c wraps below the taller one.
    EXPECT_EQ(number_field(a[0], "y") + 50, number_field(b[0], "y") + 80);
    EXPECT_GT(number_field(b[0], "x"), number_field(a[0], "x") + 299);
    EXPECT_EQ(number_field(c[0], "x"), number_field(a[0], "x"));
    EXPECT_GE(number_field(c[0], "y"), number_field(b[0], "y") + 80);
}

TEST_F(EmbedTest, RefusedInstanceIsDestroyedAndGetsNoStream) {
    write("data.lxt", "abc");
    std::string page =
        write("page.html", "<embed name=r src=data.lxt refuse=1 width=20 height=20>");
    ViewerRun result = run({"--at", "0.2", page});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(lines("r", "new").size(), 1u);
    EXPECT_TRUE(lines("r", "setwindow").empty());
    EXPECT_TRUE(lines("r", "newstream").empty());
    EXPECT_EQ(lines("r", "destroy").size(), 1u);
}

TEST_F(EmbedTest, MissingPluginLeavesTheRestOfThePageWorking) {
    write("data.lxt", "abc");
    std::string page =
        write("page.html", "<embed src=unknown.zzz width=100 height=60>"
                           "<embed name=ok src=data.lxt width=100 height=60 color=00ff00>");
    ViewerRun result = run_shot(page, 0.3);
    EXPECT_EQ(result.code, 3);
    EXPECT_THAT(result.err, HasSubstr("no plug-in for unknown.zzz"));
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
    EXPECT_EQ(lines("ok", "destroystream").size(), 1u);
    Picture picture = shot();
    // The box without a plug-in is grey; the working instance drew green beside it.
    auto ok = lines("ok", "setwindow");
    ASSERT_EQ(ok.size(), 1u);
    EXPECT_EQ(picture.at(8 + 50, static_cast<int>(number_field(ok[0], "y")) + 20),
              RGB(192, 192, 192));
    EXPECT_EQ(picture.at(static_cast<int>(number_field(ok[0], "x")) + 50,
                         static_cast<int>(number_field(ok[0], "y")) + 20),
              RGB(0, 255, 0));
}

TEST_F(EmbedTest, UnknownTypeAttributeIsAMissingPlugin) {
    std::string page = write("page.html", "<embed type=video/x-nothing width=10 height=10>");
    ViewerRun result = run({"--at", "0.1", page});
    EXPECT_EQ(result.code, 3);
    EXPECT_THAT(result.err, HasSubstr("no plug-in for type video/x-nothing"));
}

TEST_F(EmbedTest, HeadlessMessageBoxesArePrintedAndGetTheirDefaultAnswer) {
    std::string page = write("page.html", "<embed name=m message=\"Something failed.\" "
                                          "type=application/x-lanternix-test>");
    ViewerRun result = run({"--at", "0.1", page});
    EXPECT_THAT(result.out, HasSubstr("message box: Test: Something failed.\n"));
    EXPECT_THAT(lines("m", "messagebox"), ElementsAre("messagebox -> 1")); // IDOK
}

TEST_F(EmbedTest, SavedDataAndInstanceMemoryGoBackToTheHost) {
    // TearDown checks that no host block is outstanding; the plug-in hands back saved data
    // from every NPP_Destroy, which the viewer must free.
    write("data.lxt", "abc");
    std::string page = write("page.html", "<embed name=a src=data.lxt><embed name=b src=data.lxt>");
    run({"--at", "0.2", page});
    EXPECT_EQ(lines("a", "destroy").size(), 1u);
    EXPECT_EQ(lines("b", "destroy").size(), 1u);
}

} // namespace
