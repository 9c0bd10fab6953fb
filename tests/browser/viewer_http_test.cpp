// Pages and streams over HTTP from a loopback server of the test's own: the announced
// length, a length that is not announced, a rate-limited download that arrives while the
// message loop goes on, a 404 and a download cut short.
#include "support/http_test_server.h"
#include "support/viewer_fixture.h"

#include <gmock/gmock.h>

#include <filesystem>

using namespace browser_test;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class HttpTest : public ViewerTest {};

TEST_F(HttpTest, PageAndStreamComeOverHttp) {
    HttpTestServer server;
    server.add(
        "/pages/index.html",
        HttpDocument{"<title>Remote</title><embed name=s src=\"../media/clip.lxt\">", "text/html"});
    server.add("/media/clip.lxt", HttpDocument{counting_bytes(70000)});
    ViewerRun result = run({"--at", "2", server.url("/pages/index.html")});
    EXPECT_EQ(result.code, 0) << result.err;
    auto opened = lines("s", "newstream");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(field(opened[0], "url"), server.url("/media/clip.lxt"));
    EXPECT_EQ(field(opened[0], "end"), "70000");
    auto ended = lines("s", "destroystream");
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(field(ended[0], "reason"), "0");
    EXPECT_EQ(number_field(ended[0], "bytes"), 70000);
    EXPECT_THAT(server.user_agents(), Contains("Lanternix-View/1.0"));
}

TEST_F(HttpTest, LengthNotAnnouncedIsZero) {
    HttpTestServer server;
    HttpDocument document{counting_bytes(5000)};
    document.announce_length = false;
    server.add("/clip.lxt", document);
    std::string page = write("page.html", "<embed name=s src=\"" + server.url("/clip.lxt") + "\">");
    run({"--at", "2", page});
    auto opened = lines("s", "newstream");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(field(opened[0], "end"), "0");
    ASSERT_EQ(lines("s", "destroystream").size(), 1u);
    EXPECT_EQ(field(lines("s", "destroystream")[0], "reason"), "0");
    EXPECT_EQ(number_field(lines("s", "destroystream")[0], "bytes"), 5000);
}

TEST_F(HttpTest, SlowDownloadArrivesInManyBlocksWhileThePageRuns) {
    HttpTestServer server(40000); // 40 kB per second, in twentieths of a second
    server.add("/clip.lxt", HttpDocument{counting_bytes(40000)});
    std::string page = write("page.html", "<embed name=s src=\"" + server.url("/clip.lxt") + "\">");
    run({"--at", "30", page});
    auto writes = lines("s", "write");
    // The data came in pieces as the server sent them, not in one piece at the end.
    EXPECT_GE(writes.size(), 5u);
    long offset = 0;
    for (const std::string& line : writes) {
        EXPECT_EQ(number_field(line, "off"), offset) << line;
        offset += number_field(line, "took");
    }
    EXPECT_EQ(offset, 40000);
    ASSERT_EQ(lines("s", "destroystream").size(), 1u);
    EXPECT_EQ(field(lines("s", "destroystream")[0], "reason"), "0");
}

TEST_F(HttpTest, NotFoundStartsNoStreamAndThePageGoesOn) {
    HttpTestServer server;
    server.add("/ok.lxt", HttpDocument{counting_bytes(100)});
    std::string page =
        write("page.html", "<embed name=gone src=\"" + server.url("/gone.lxt") +
                               "\"><embed name=ok src=\"" + server.url("/ok.lxt") + "\">");
    ViewerRun result = run({"--at", "2", page});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(lines("gone", "new").size(), 1u);
    EXPECT_TRUE(lines("gone", "newstream").empty());
    EXPECT_THAT(result.out, HasSubstr("/gone.lxt: HTTP error 404"));
    ASSERT_EQ(lines("ok", "destroystream").size(), 1u);
    EXPECT_EQ(field(lines("ok", "destroystream")[0], "reason"), "0");
}

TEST_F(HttpTest, CutShortDownloadEndsAsNetworkError) {
    HttpTestServer server;
    HttpDocument document{counting_bytes(30000)};
    document.cut_after = 12000;
    server.add("/clip.lxt", document);
    std::string page = write("page.html", "<embed name=s src=\"" + server.url("/clip.lxt") +
                                              "\" width=50 height=50>");
    ViewerRun result = run({"--at", "2", page});
    EXPECT_EQ(result.code, 0);
    ASSERT_EQ(lines("s", "newstream").size(), 1u);
    EXPECT_EQ(field(lines("s", "newstream")[0], "end"), "30000");
    auto ended = lines("s", "destroystream");
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(field(ended[0], "reason"), "1"); // NPRES_NETWORK_ERR
    // What did arrive was delivered first.
    EXPECT_EQ(number_field(ended[0], "bytes"), 12000);
    EXPECT_THAT(result.out, HasSubstr("status: Cannot load " + server.url("/clip.lxt")));
}

TEST_F(HttpTest, PageNotFoundIsAnErrorExit) {
    HttpTestServer server;
    ViewerRun result = run({"--at", "0.1", server.url("/missing.html")});
    EXPECT_EQ(result.code, 1);
    EXPECT_THAT(result.err, HasSubstr("lanternix-view: cannot open " + server.url("/missing.html") +
                                      ": HTTP error 404"));
}

TEST_F(HttpTest, UnreachableHostIsAnErrorExit) {
    int port = 0;
    {
        HttpTestServer closed; // a port that was just free, and is closed again
        port = closed.port();
    }
    std::string url = "http://127.0.0.1:" + std::to_string(port) + "/page.html";
    ViewerRun result = run({"--at", "0.1", url});
    EXPECT_EQ(result.code, 1);
    EXPECT_THAT(result.err, HasSubstr("lanternix-view: cannot open " + url + ": "));
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
}

} // namespace

namespace {

TEST_F(HttpTest, RemoteDataAsFileIsATemporaryCopyDeletedAfterwards) {
    HttpTestServer server;
    server.add("/clip.lxt", HttpDocument{counting_bytes(9000)});
    HttpDocument cut{counting_bytes(9000)};
    cut.cut_after = 4000;
    server.add("/cut.lxt", cut);
    std::string page =
        write("page.html", "<embed name=s stype=4 src=\"" + server.url("/clip.lxt") +
                               "\"><embed name=c stype=3 src=\"" + server.url("/cut.lxt") + "\">");
    run({"--at", "2", page});
    auto handed = lines("s", "asfile");
    ASSERT_EQ(handed.size(), 1u);
    std::string copy = field(handed[0], "path");
    EXPECT_EQ(copy.substr(copy.size() - 4), ".lxt");
    EXPECT_EQ(field(handed[0], "size"), "9000");
    EXPECT_EQ(field(handed[0], "first"), "0");
    EXPECT_FALSE(std::filesystem::exists(copy));
    // A download cut short names no file.
    auto broken = lines("c", "asfile");
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_EQ(field(broken[0], "path"), "(null)");
    EXPECT_EQ(field(lines("c", "destroystream")[0], "reason"), "1");
}

} // namespace
