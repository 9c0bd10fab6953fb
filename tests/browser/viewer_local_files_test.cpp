// Local files that are not pages or movies: devices that never end, FIFOs that never answer,
// folders, pages too large to read, and pages nested too deep. The viewer refuses them with
// a clear message, or shows what it can, and always finishes its run.
#include "support/http_test_server.h"
#include "support/viewer_fixture.h"

#include <gmock/gmock.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace browser_test;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class LocalFilesTest : public ViewerTest {
  protected:
    std::string make_fifo(const std::string& name) {
        std::string fifo = path(name);
        EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        return fifo;
    }
};

TEST_F(LocalFilesTest, DeviceAsThePageIsRefused) {
    ViewerRun result = run({"--at", "0.2", "/dev/zero"});
    EXPECT_EQ(result.code, 1);
    EXPECT_THAT(result.err, HasSubstr("cannot open /dev/zero: is not a regular file"));
}

TEST_F(LocalFilesTest, FifoAsThePageIsRefused) {
    std::string fifo = make_fifo("page");
    ViewerRun result = run({"--at", "0.2", fifo});
    EXPECT_EQ(result.code, 1);
    EXPECT_THAT(result.err, HasSubstr(fifo + ": is not a regular file"));
}

TEST_F(LocalFilesTest, FifoAndDeviceAsEmbedsAreRefusedAndThePageGoesOn) {
    make_fifo("fifo");
    write("clip.lxt", counting_bytes(100));
    std::string page =
        write("page.html", "<embed name=fifo src=fifo type=application/x-lanternix-test>"
                           "<embed name=zero src=/dev/zero type=application/x-lanternix-test>"
                           "<embed name=ok src=clip.lxt>");
    ViewerRun result = run({"--at", "0.5", page});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_THAT(lines("fifo", "newstream"), IsEmpty());
    EXPECT_THAT(lines("zero", "newstream"), IsEmpty());
    EXPECT_THAT(result.out, HasSubstr("fifo: is not a regular file"));
    EXPECT_THAT(result.out, HasSubstr("file:///dev/zero: is not a regular file"));
    ASSERT_EQ(lines("ok", "destroystream").size(), 1u);
    EXPECT_EQ(number_field(lines("ok", "destroystream")[0], "bytes"), 100);
}

TEST_F(LocalFilesTest, LinkToADeviceIsRefusedWithoutReadingIt) {
    std::string page = write("page.html", "<a href=\"file:///dev/zero\">Zero</a> page");
    ViewerRun result = run({"--at", "0.5", "--click", "12,14@0.2", page});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_THAT(result.out, HasSubstr("status: Cannot open /dev/zero: is not a regular file"));
}

TEST_F(LocalFilesTest, PageLargerThanSixteenMegabytesIsRefused) {
    std::string page = write("big.html", "<p>");
    ASSERT_EQ(truncate(page.c_str(), (16 << 20) + 1), 0);
    ViewerRun result = run({"--at", "0.2", page});
    EXPECT_EQ(result.code, 1);
    EXPECT_THAT(result.err, HasSubstr("the page is larger than 16 MB"));
}

TEST_F(LocalFilesTest, DeepPageOverHttpShowsWhatItCanAndSaysTheRestWasCut) {
    std::string deep;
    for (int i = 0; i < 50000; ++i)
        deep += "<span>";
    HttpTestServer server;
    server.add(
        "/deep.html",
        HttpDocument{"<embed name=top type=application/x-lanternix-test>" + deep, "text/html"});
    ViewerRun result = run({"--at", "0.3", server.url("/deep.html")});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(lines("top", "new").size(), 1u);
    EXPECT_THAT(result.out, HasSubstr("status: The rest of this page was cut"));
}

} // namespace
