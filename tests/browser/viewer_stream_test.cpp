// Streams as the plug-in receives them: the announced length and absolute address, blocks
// no larger than NPP_WriteReady allows, partial consumption, the rate limit measured on the
// desktop clock, and the three ways a stream ends.
#include "support/viewer_fixture.h"

#include "url.h"

#include <gmock/gmock.h>

using namespace browser_test;
using ::testing::HasSubstr;

namespace {

class StreamTest : public ViewerTest {
  protected:
    // Checks that the writes cover the data from 0 without gaps, each block starting with
    // the byte its offset names (counting_bytes data); returns the bytes taken.
    long check_contiguous(const std::vector<std::string>& writes) {
        long expected = 0;
        for (size_t i = 0; i < writes.size(); ++i) {
            SCOPED_TRACE("write " + std::to_string(i) + ": " + writes[i]);
            EXPECT_EQ(number_field(writes[i], "off"), expected);
            EXPECT_EQ(number_field(writes[i], "first"), expected & 0xFF);
            expected += number_field(writes[i], "took");
        }
        return expected;
    }
};

TEST_F(StreamTest, StreamCarriesAbsoluteUrlAndAnnouncedLength) {
    write("media/clip.lxt", counting_bytes(5000));
    std::string page = write("pages/page.html", "<embed name=s src=\"../media/clip.lxt\">");
    run({"--at", "0.5", page});
    auto opened = lines("s", "newstream");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(field(opened[0], "url"), *browser::address_to_url(path("media/clip.lxt")));
    EXPECT_EQ(field(opened[0], "url").rfind("file:///", 0), 0u);
    EXPECT_EQ(field(opened[0], "end"), "5000");
    EXPECT_EQ(field(opened[0], "type"), "application/x-lanternix-test");
    EXPECT_EQ(field(opened[0], "seekable"), "0");
    EXPECT_EQ(check_contiguous(lines("s", "write")), 5000);
    auto ended = lines("s", "destroystream");
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(field(ended[0], "reason"), "0"); // NPRES_DONE
}

TEST_F(StreamTest, BlocksNeverExceedWhatWriteReadyAllows) {
    write("clip.lxt", counting_bytes(10000));
    std::string page = write("page.html", "<embed name=s src=clip.lxt ready=700>");
    run({"--at", "0.5", page});
    auto writes = lines("s", "write");
    ASSERT_FALSE(writes.empty());
    for (const std::string& line : writes)
        EXPECT_LE(number_field(line, "len"), 700) << line;
    EXPECT_EQ(check_contiguous(writes), 10000);
}

TEST_F(StreamTest, ZeroWriteReadyHoldsTheStreamBack) {
    write("clip.lxt", counting_bytes(100));
    std::string page = write("page.html", "<embed name=s src=clip.lxt ready=0>");
    run({"--at", "0.5", page});
    EXPECT_EQ(lines("s", "newstream").size(), 1u);
    EXPECT_TRUE(lines("s", "write").empty());
    // Leaving the page ends the waiting stream as a user break.
    auto ended = lines("s", "destroystream");
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(field(ended[0], "reason"), "2"); // NPRES_USER_BREAK
}

TEST_F(StreamTest, BytesNotTakenAreOfferedAgain) {
    write("clip.lxt", counting_bytes(3000));
    std::string page = write("page.html", "<embed name=s src=clip.lxt take=333>");
    run({"--at", "0.5", page});
    auto writes = lines("s", "write");
    EXPECT_EQ(check_contiguous(writes), 3000);
    EXPECT_GE(writes.size(), 10u);
}

TEST_F(StreamTest, RateLimitFollowsTheDesktopClock) {
    write("clip.lxt", counting_bytes(20000));
    std::string page = write("page.html", "<embed name=s src=clip.lxt>");
    run({"--rate", "8000", "--at", "4", page});
    auto opened = lines("s", "newstream");
    auto writes = lines("s", "write");
    ASSERT_EQ(opened.size(), 1u);
    ASSERT_FALSE(writes.empty());
    long start = number_field(opened[0], "t");
    long delivered = 0;
    for (const std::string& line : writes) {
        long elapsed = number_field(line, "t") - start;
        delivered += number_field(line, "took");
        SCOPED_TRACE(line);
        // Never ahead of the rate, and never far behind it while data is left.
        EXPECT_LE(delivered, 8000 * elapsed / 1000);
        EXPECT_GE(delivered + 8000 / 10, std::min<long>(20000, 8000 * elapsed / 1000));
    }
    auto ended = lines("s", "destroystream");
    ASSERT_EQ(ended.size(), 1u);
    long finish = number_field(ended[0], "t") - start;
    EXPECT_GE(finish, 2500); // 20000 bytes at 8000 per second
    EXPECT_LE(finish, 2600);
}

TEST_F(StreamTest, RateLimitIsSharedByAllStreams) {
    write("a.lxt", counting_bytes(4000));
    write("b.lxt", counting_bytes(4000));
    std::string page = write("page.html", "<embed name=a src=a.lxt><embed name=b src=b.lxt>");
    run({"--rate", "4000", "--at", "3", page});
    auto a = lines("a", "destroystream"), b = lines("b", "destroystream");
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    long last = std::max(number_field(a[0], "t"), number_field(b[0], "t"));
    EXPECT_GE(last, 1950); // 8000 bytes in all at 4000 per second
}

TEST_F(StreamTest, PluginCancelEndsTheStreamAsItAsked) {
    write("clip.lxt", counting_bytes(50000));
    std::string page = write("page.html", "<embed name=s src=clip.lxt ready=1000 cancel=3000>");
    run({"--at", "0.5", page});
    EXPECT_THAT(lines("s", "cancel"), ::testing::ElementsAre("cancel -> 0"));
    auto ended = lines("s", "destroystream");
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(field(ended[0], "reason"), "2");
    EXPECT_EQ(number_field(ended[0], "bytes"), 3000);
}

TEST_F(StreamTest, NegativeWriteEndsTheStreamAsUserBreak) {
    write("clip.lxt", counting_bytes(50000));
    std::string page = write("page.html", "<embed name=s src=clip.lxt ready=1000 failwrite=2500>");
    run({"--at", "0.5", page});
    auto ended = lines("s", "destroystream");
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(field(ended[0], "reason"), "2");
    EXPECT_EQ(number_field(ended[0], "bytes"), 2000);
}

TEST_F(StreamTest, MissingSourceFileStartsNoStreamAndSaysSoInTheStatusBar) {
    std::string page = write("page.html", "<embed name=s src=gone.lxt width=20 height=20>");
    ViewerRun result = run({"--at", "0.3", page});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(lines("s", "new").size(), 1u);
    EXPECT_TRUE(lines("s", "newstream").empty());
    EXPECT_THAT(result.out, HasSubstr("status: Cannot load file://"));
    EXPECT_THAT(result.out, HasSubstr("gone.lxt: No such file or directory"));
}

TEST_F(StreamTest, EmptyFileIsAStreamOfLengthZeroThatEndsDone) {
    write("empty.lxt", "");
    std::string page = write("page.html", "<embed name=s src=empty.lxt>");
    run({"--at", "0.3", page});
    ASSERT_EQ(lines("s", "newstream").size(), 1u);
    EXPECT_EQ(field(lines("s", "newstream")[0], "end"), "0");
    EXPECT_TRUE(lines("s", "write").empty());
    ASSERT_EQ(lines("s", "destroystream").size(), 1u);
    EXPECT_EQ(field(lines("s", "destroystream")[0], "reason"), "0");
}

TEST_F(StreamTest, GetUrlWithoutTargetStreamsToTheInstance) {
    write("clip.lxt", counting_bytes(10));
    write("more.lxt", counting_bytes(20));
    std::string page =
        write("page.html", "<embed name=s src=clip.lxt geturl=more.lxt target=NULL geturlon=done>");
    run({"--at", "0.5", page});
    auto opened = lines("s", "newstream");
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_THAT(field(opened[1], "url"), HasSubstr("/more.lxt"));
    EXPECT_EQ(field(opened[1], "end"), "20");
    EXPECT_EQ(lines("s", "destroystream").size(), 2u);
}

} // namespace

namespace {

class FileStreamTest : public StreamTest {};

TEST_F(FileStreamTest, LocalFileIsHandedOverAsItselfAfterTheBlocks) {
    std::string file = write("clip.lxt", counting_bytes(3000));
    std::string page = write("page.html", "<embed name=s src=clip.lxt stype=3>");
    run({"--at", "0.3", page});
    EXPECT_EQ(check_contiguous(lines("s", "write")), 3000);
    auto handed = lines("s", "asfile");
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(field(handed[0], "path"), file);
    EXPECT_EQ(field(handed[0], "size"), "3000");
    // The file comes before the end of the stream.
    std::vector<std::string> all = lines("s");
    auto at = [&](const std::string& kind) {
        return std::find_if(all.begin(), all.end(),
                            [&](const std::string& line) { return line.rfind(kind, 0) == 0; }) -
               all.begin();
    };
    EXPECT_LT(at("asfile"), at("destroystream"));
}

TEST_F(FileStreamTest, FileOnlyStreamGetsNoBlocks) {
    write("clip.lxt", counting_bytes(500));
    std::string page = write("page.html", "<embed name=s src=clip.lxt stype=4>");
    run({"--at", "0.3", page});
    EXPECT_TRUE(lines("s", "write").empty());
    ASSERT_EQ(lines("s", "asfile").size(), 1u);
    EXPECT_EQ(field(lines("s", "asfile")[0], "size"), "500");
    ASSERT_EQ(lines("s", "destroystream").size(), 1u);
    EXPECT_EQ(field(lines("s", "destroystream")[0], "reason"), "0");
}

} // namespace

namespace {

TEST_F(StreamTest, ModalLoopInsideAWriteDoesNotWriteTheSameBlocksAgain) {
    write("clip.lxt", counting_bytes(40000));
    std::string page = write("page.html", "<embed name=s src=clip.lxt ready=1000 writepump=3000>");
    run({"--at", "1", page});
    std::vector<std::string> all = lines("s");
    auto start = std::find(all.begin(), all.end(), "modal start");
    auto end = std::find(all.begin(), all.end(), "modal end");
    ASSERT_NE(start, all.end());
    ASSERT_NE(end, all.end());
    // No block went in while the plug-in was still inside its write.
    for (auto it = start; it != end; ++it)
        EXPECT_NE(it->rfind("write", 0), 0u) << *it;
    EXPECT_EQ(check_contiguous(lines("s", "write")), 40000);
}

} // namespace
