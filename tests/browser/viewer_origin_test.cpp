// What a page may reach: a page that came over the network reaches only the network. Its
// embeds, its links and its plug-ins' requests never read a local file, while a local page
// keeps reaching both.
#include "support/http_test_server.h"
#include "support/viewer_fixture.h"
#include "url.h"

#include <gmock/gmock.h>

using namespace browser_test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

TEST(Origin, NetworkPagesReachOnlyTheNetwork) {
    EXPECT_FALSE(browser::may_reach("http://h/page.html", "file:///etc/passwd"));
    EXPECT_FALSE(browser::may_reach("HTTPS://h/page.html", "FILE:///etc/passwd"));
    EXPECT_FALSE(browser::may_reach("http://h/page.html", "ftp://h/x"));
    EXPECT_TRUE(browser::may_reach("http://h/page.html", "https://other/m.mov"));
    EXPECT_TRUE(browser::may_reach("file:///srv/page.html", "file:///srv/m.mov"));
    EXPECT_TRUE(browser::may_reach("file:///srv/page.html", "http://h/m.mov"));
    EXPECT_TRUE(browser::may_reach("", "file:///srv/m.mov"));
}

class OriginTest : public ViewerTest {
  protected:
    // A local file the pages below try to read, as a file: URL.
    std::string secret_url() { return "file://" + write("secret.lxt", "local secret"); }
};

TEST_F(OriginTest, NetworkPageEmbedDoesNotStreamALocalFile) {
    HttpTestServer server;
    server.add("/clip.lxt", HttpDocument{counting_bytes(300)});
    server.add("/page.html", HttpDocument{"<embed name=local src=\"" + secret_url() +
                                              "\"><embed name=remote src=clip.lxt>",
                                          "text/html"});
    ViewerRun result = run({"--at", "1", server.url("/page.html")});
    EXPECT_EQ(result.code, 0) << result.err;
    // The instance was made, but no byte of the local file reached it.
    EXPECT_EQ(lines("local", "new").size(), 1u);
    EXPECT_THAT(lines("local", "newstream"), IsEmpty());
    EXPECT_THAT(lines("local", "write"), IsEmpty());
    EXPECT_THAT(result.out, HasSubstr("a page from the network may only reach the network"));
    // The network embed beside it plays as usual.
    ASSERT_EQ(lines("remote", "destroystream").size(), 1u);
    EXPECT_EQ(number_field(lines("remote", "destroystream")[0], "bytes"), 300);
}

TEST_F(OriginTest, NetworkPageLinkToALocalFileIsNotFollowed) {
    write("next.html", "<embed name=next type=application/x-lanternix-test>");
    HttpTestServer server;
    server.add("/page.html", HttpDocument{"<a href=\"file://" + path("next.html") +
                                              "\">Next</a><p><embed name=here "
                                              "type=application/x-lanternix-test>",
                                          "text/html"});
    ViewerRun result = run({"--at", "0.5", "--click", "12,14@0.2", server.url("/page.html")});
    EXPECT_EQ(result.code, 0) << result.err;
    // The page stayed: the local page's embed never started.
    EXPECT_THAT(lines("next"), IsEmpty());
    EXPECT_THAT(lines("here", "destroy"), ElementsAre("destroy"));
    EXPECT_THAT(result.out, HasSubstr("status: Cannot open file://" + path("next.html") +
                                      ": a page from the network may only reach the network"));
}

TEST_F(OriginTest, NetworkPagePluginCannotGetALocalFile) {
    std::string local = secret_url();
    write("next.html", "<embed name=next type=application/x-lanternix-test>");
    HttpTestServer server;
    server.add("/page.html",
               HttpDocument{"<embed name=stream geturl=\"" + local +
                                "\" target=NULL geturlon=new type=application/x-lanternix-test>"
                                "<embed name=open geturl=\"file://" +
                                path("next.html") +
                                "\" target=_top geturlon=new type=application/x-lanternix-test>",
                            "text/html"});
    ViewerRun result = run({"--at", "0.5", server.url("/page.html")});
    EXPECT_EQ(result.code, 0) << result.err;
    // Both requests are refused as bad addresses (NPERR_INVALID_URL is 10).
    EXPECT_THAT(lines("stream", "geturl"), ElementsAre(HasSubstr("(null) -> 10")));
    EXPECT_THAT(lines("stream", "newstream"), IsEmpty());
    EXPECT_THAT(lines("open", "geturl"), ElementsAre(HasSubstr("_top -> 10")));
    EXPECT_THAT(lines("next"), IsEmpty());
}

TEST_F(OriginTest, LocalPageStillReachesLocalFilesAndTheNetwork) {
    HttpTestServer server;
    server.add("/clip.lxt", HttpDocument{counting_bytes(50)});
    std::string page =
        write("page.html", "<embed name=local src=\"" + secret_url() +
                               "\"><embed name=remote src=\"" + server.url("/clip.lxt") + "\">");
    ViewerRun result = run({"--at", "1", page});
    EXPECT_EQ(result.code, 0) << result.err;
    ASSERT_EQ(lines("local", "destroystream").size(), 1u);
    EXPECT_EQ(number_field(lines("local", "destroystream")[0], "bytes"), 12);
    ASSERT_EQ(lines("remote", "destroystream").size(), 1u);
    EXPECT_EQ(number_field(lines("remote", "destroystream")[0], "bytes"), 50);
}

} // namespace
