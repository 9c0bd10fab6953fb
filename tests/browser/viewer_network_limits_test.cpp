// Servers that never stop or never answer: a download beyond the most the viewer takes ends
// as a network error with the reason in the status line, and a page that never comes does
// not keep a timed run from ending.
#include "support/http_test_server.h"
#include "support/viewer_fixture.h"

#include <gmock/gmock.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace browser_test;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class NetworkLimitsTest : public ViewerTest {};

TEST_F(NetworkLimitsTest, DownloadWithoutLengthEndsAtTheLimitAsANetworkError) {
    HttpTestServer server;
    HttpDocument endless{counting_bytes(300000)};
    endless.announce_length = false;
    server.add("/endless.lxt", endless);
    std::string page =
        write("page.html", "<embed name=s src=\"" + server.url("/endless.lxt") + "\">");
    ViewerRun result = run({"--at", "2", "--max-stream", "100000", page});
    EXPECT_EQ(result.code, 0) << result.err;
    auto ended = lines("s", "destroystream");
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(field(ended[0], "reason"), "1"); // NPRES_NETWORK_ERR
    EXPECT_LE(number_field(ended[0], "bytes"), 100000);
    EXPECT_THAT(result.out, HasSubstr("status: Cannot load " + server.url("/endless.lxt") +
                                      ": the download is larger than 100000 bytes"));
}

TEST_F(NetworkLimitsTest, AnnouncedLengthBeyondTheLimitStartsNoStream) {
    HttpTestServer server;
    server.add("/big.lxt", HttpDocument{counting_bytes(300000)});
    server.add("/small.lxt", HttpDocument{counting_bytes(1000)});
    std::string page =
        write("page.html", "<embed name=big src=\"" + server.url("/big.lxt") +
                               "\"><embed name=small src=\"" + server.url("/small.lxt") + "\">");
    ViewerRun result = run({"--at", "2", "--max-stream", "200000", page});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_THAT(lines("big", "newstream"), IsEmpty());
    EXPECT_THAT(result.out, HasSubstr("the download is larger than 200000 bytes"));
    ASSERT_EQ(lines("small", "destroystream").size(), 1u);
    EXPECT_EQ(field(lines("small", "destroystream")[0], "reason"), "0");
}

TEST_F(NetworkLimitsTest, MaxStreamNeedsAPositiveNumber) {
    for (const char* value : {"0", "-5", "lots"}) {
        SCOPED_TRACE(value);
        ViewerRun result = run({"--max-stream", value, "page.html"});
        EXPECT_EQ(result.code, 2);
        EXPECT_THAT(result.err, HasSubstr("bad value for --max-stream"));
    }
}

// A server that takes the connection and then never says a word.
class SilentServer {
  public:
    SilentServer() {
        m_socket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_socket, 4);
        socklen_t length = sizeof address;
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~SilentServer() { close(m_socket); }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }

  private:
    int m_socket = -1;
    int m_port = 0;
};

TEST_F(NetworkLimitsTest, PageThatNeverComesGivesUpWithinTheRunsTime) {
    SilentServer server;
    ViewerRun result = run({"--at", "1", server.url("/page.html")});
    EXPECT_EQ(result.code, 1);
    // The fetch gave up after the run's second, not after the half minute a page may take
    // otherwise.
    EXPECT_THAT(result.err, HasSubstr(server.url("/page.html") + ": no answer within 1 s"));
}

} // namespace
