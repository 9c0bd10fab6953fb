// Conformance tests of the classic file handles: _lcreat, _lopen, _llseek, _lread, _hread,
// _lwrite, _hwrite and _lclose.

#include "kernel_test_support.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

using kernel_test::read_file;
using kernel_test::ScratchDir;
using kernel_test::write_file;

using kernel_test::error_of;
using kernel_test::untouched;

namespace {

TEST(KernelClassicFile, CreateWriteSeekReadRoundTrip) {
    ScratchDir dir;
    HFILE file = _lcreat(dir.path("round.bin").c_str(), 0);
    ASSERT_NE(file, HFILE_ERROR);
    EXPECT_EQ(_lwrite(file, "hello, ", 7), 7u);
    EXPECT_EQ(_hwrite(file, "world", 5), 5);
    EXPECT_EQ(_llseek(file, 0, FILE_BEGIN), 0);
    char buffer[32] = {};
    EXPECT_EQ(_lread(file, buffer, sizeof buffer), 12u) << "a short file reads what it has";
    EXPECT_STREQ(buffer, "hello, world");
    EXPECT_EQ(_llseek(file, 7, FILE_BEGIN), 7);
    std::memset(buffer, 0, sizeof buffer);
    EXPECT_EQ(_hread(file, buffer, 3), 3);
    EXPECT_STREQ(buffer, "wor");
    EXPECT_EQ(_lclose(file), 0);
    EXPECT_EQ(read_file(dir.path("round.bin")), "hello, world");
}

TEST(KernelClassicFile, SeekOrigins) {
    ScratchDir dir;
    write_file(dir.path("ten.bin"), "0123456789");
    HFILE file = _lopen(dir.path("ten.bin").c_str(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    struct Step {
        LONG offset;
        int origin;
        LONG expected;
    };
    const Step steps[] = {
        {0, FILE_END, 10},     {-3, FILE_END, 7},    {2, FILE_CURRENT, 9},
        {-9, FILE_CURRENT, 0}, {25, FILE_BEGIN, 25}, {5, FILE_END, 15},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "offset " << step.offset << " origin " << step.origin);
        EXPECT_EQ(_llseek(file, step.offset, step.origin), step.expected);
    }
    _lclose(file);
}

TEST(KernelClassicFile, NegativeSeekFailsAndKeepsPosition) {
    ScratchDir dir;
    write_file(dir.path("f.bin"), "abcdef");
    HFILE file = _lopen(dir.path("f.bin").c_str(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    ASSERT_EQ(_llseek(file, 4, FILE_BEGIN), 4);
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_llseek(file, -5, FILE_CURRENT), HFILE_ERROR); }),
              DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_llseek(file, -7, FILE_END), HFILE_ERROR); }),
              DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_llseek(file, 0, 3), HFILE_ERROR); }),
              DWORD(ERROR_INVALID_PARAMETER))
        << "an unknown origin";
    char c = 0;
    EXPECT_EQ(_lread(file, &c, 1), 1u);
    EXPECT_EQ(c, 'e') << "the failed seeks moved the position";
    _lclose(file);
}

TEST(KernelClassicFile, ReadingAtEndGivesZero) {
    ScratchDir dir;
    write_file(dir.path("f.bin"), "xyz");
    HFILE file = _lopen(dir.path("f.bin").c_str(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    char buffer[8];
    EXPECT_EQ(_lread(file, buffer, 8), 3u);
    EXPECT_EQ(_lread(file, buffer, 8), 0u);
    EXPECT_EQ(_hread(file, buffer, 8), 0);
    ASSERT_EQ(_llseek(file, 100, FILE_BEGIN), 100);
    EXPECT_EQ(_lread(file, buffer, 8), 0u) << "reading past the end";
    _lclose(file);
}

TEST(KernelClassicFile, WritingPastTheEndFillsWithZeros) {
    ScratchDir dir;
    HFILE file = _lcreat(dir.path("gap.bin").c_str(), 0);
    ASSERT_NE(file, HFILE_ERROR);
    ASSERT_EQ(_lwrite(file, "AB", 2), 2u);
    ASSERT_EQ(_llseek(file, 6, FILE_BEGIN), 6);
    ASSERT_EQ(_lwrite(file, "CD", 2), 2u);
    EXPECT_EQ(_llseek(file, 0, FILE_END), 8);
    _lclose(file);
    EXPECT_EQ(read_file(dir.path("gap.bin")), std::string("AB\0\0\0\0CD", 8));
}

TEST(KernelClassicFile, LcreatEmptiesAnExistingFile) {
    ScratchDir dir;
    write_file(dir.path("old.bin"), "old contents");
    HFILE file = _lcreat(dir.path("old.bin").c_str(), 0);
    ASSERT_NE(file, HFILE_ERROR);
    EXPECT_EQ(_llseek(file, 0, FILE_END), 0);
    EXPECT_EQ(_lwrite(file, "new", 3), 3u);
    _lclose(file);
    EXPECT_EQ(read_file(dir.path("old.bin")), "new");
}

TEST(KernelClassicFile, ReadOnlyAttributeKeepsTheHandleWritable) {
    ScratchDir dir;
    std::string path = dir.path("ro.bin");
    HFILE file = _lcreat(path.c_str(), 1);
    ASSERT_NE(file, HFILE_ERROR);
    EXPECT_EQ(_lwrite(file, "data", 4), 4u) << "the creating handle may write";
    _lclose(file);
    EXPECT_EQ(read_file(path), "data");
    EXPECT_EQ(GetFileAttributesA(path.c_str()), DWORD(FILE_ATTRIBUTE_READONLY));
    // Afterwards the file refuses writers and is not emptied again.
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_lopen(path.c_str(), OF_WRITE), HFILE_ERROR); }),
              DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_lcreat(path.c_str(), 0), HFILE_ERROR); }),
              DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(read_file(path), "data");
    HFILE reader = _lopen(path.c_str(), OF_READ | OF_SHARE_DENY_NONE);
    EXPECT_NE(reader, HFILE_ERROR) << "readers are welcome";
    _lclose(reader);
}

TEST(KernelClassicFile, AccessModesLimitTheHandle) {
    ScratchDir dir;
    std::string path = dir.path("f.bin");
    write_file(path, "1234");
    char buffer[4];
    HFILE reader = _lopen(path.c_str(), OF_READ);
    ASSERT_NE(reader, HFILE_ERROR);
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_lwrite(reader, "x", 1), UINT(HFILE_ERROR)); }),
              DWORD(ERROR_ACCESS_DENIED));
    _lclose(reader);
    HFILE writer = _lopen(path.c_str(), OF_WRITE | OF_SHARE_EXCLUSIVE);
    ASSERT_NE(writer, HFILE_ERROR);
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_lread(writer, buffer, 4), UINT(HFILE_ERROR)); }),
              DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(_lwrite(writer, "ab", 2), 2u);
    _lclose(writer);
    EXPECT_EQ(read_file(path), "ab34") << "_lopen does not empty the file";
    HFILE both = _lopen(path.c_str(), OF_READWRITE);
    ASSERT_NE(both, HFILE_ERROR);
    EXPECT_EQ(_lread(both, buffer, 4), 4u);
    EXPECT_EQ(_lwrite(both, "56", 2), 2u);
    _lclose(both);
    EXPECT_EQ(read_file(path), "ab3456");
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_lopen(path.c_str(), 3), HFILE_ERROR); }),
              DWORD(ERROR_INVALID_PARAMETER))
        << "access mode 3 does not exist";
}

TEST(KernelClassicFile, OpenFailuresReportTheCause) {
    ScratchDir dir;
    ::mkdir(dir.path("folder").c_str(), 0777);
    struct Case {
        const char* label;
        std::string path;
        DWORD error;
    };
    const Case cases[] = {
        {"missing file", dir.path("missing.bin"), ERROR_FILE_NOT_FOUND},
        {"missing folder", dir.path("nowhere/missing.bin"), ERROR_PATH_NOT_FOUND},
        {"folder as file", dir.path("folder"), ERROR_ACCESS_DENIED},
        {"empty path", "", ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(error_of([&] { EXPECT_EQ(_lopen(c.path.c_str(), OF_READ), HFILE_ERROR); }),
                  c.error);
    }
    EXPECT_EQ(error_of([] { EXPECT_EQ(_lopen(nullptr, OF_READ), HFILE_ERROR); }),
              DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(error_of([] { EXPECT_EQ(_lcreat(nullptr, 0), HFILE_ERROR); }),
              DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(
        error_of([&] { EXPECT_EQ(_lcreat(dir.path("nowhere/new.bin").c_str(), 0), HFILE_ERROR); }),
        DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_lcreat(dir.path("folder").c_str(), 0), HFILE_ERROR); }),
              DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_lcreat(dir.path("x.bin").c_str(), 0x10), HFILE_ERROR); }),
              DWORD(ERROR_INVALID_PARAMETER))
        << "0x10 is not a file attribute _lcreat takes";
}

TEST(KernelClassicFile, BackslashPathsNameTheSameFile) {
    ScratchDir dir;
    ::mkdir(dir.path("sub").c_str(), 0777);
    HFILE file = _lcreat(dir.win_path("sub/back.txt").c_str(), 0);
    ASSERT_NE(file, HFILE_ERROR);
    _lwrite(file, "via backslashes", 15);
    _lclose(file);
    EXPECT_EQ(read_file(dir.path("sub/back.txt")), "via backslashes");
}

// Handle values the layer never handed out must be refused by every call, and must not
// reach the process's descriptors of the same number.
TEST(KernelClassicFile, ForeignHandleNumbersAreRefused) {
    int pipe_fds[2];
    ASSERT_EQ(::pipe(pipe_fds), 0);
    ASSERT_EQ(::write(pipe_fds[1], "p", 1), 1);
    const HFILE bogus[] = {0, 1, 2, 12345, -2, HFILE_ERROR, pipe_fds[0], pipe_fds[1]};
    for (HFILE handle : bogus) {
        SCOPED_TRACE(testing::Message() << "handle " << handle);
        char buffer[4];
        EXPECT_EQ(error_of([&] { EXPECT_EQ(_lread(handle, buffer, 1), UINT(HFILE_ERROR)); }),
                  DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(error_of([&] { EXPECT_EQ(_hread(handle, buffer, 1), HFILE_ERROR); }),
                  DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(error_of([&] { EXPECT_EQ(_lwrite(handle, "", 0), UINT(HFILE_ERROR)); }),
                  DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(error_of([&] { EXPECT_EQ(_hwrite(handle, "z", 1), HFILE_ERROR); }),
                  DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(error_of([&] { EXPECT_EQ(_llseek(handle, 0, FILE_BEGIN), HFILE_ERROR); }),
                  DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(error_of([&] { EXPECT_EQ(_lclose(handle), HFILE_ERROR); }),
                  DWORD(ERROR_INVALID_HANDLE));
    }
    for (int fd : {0, 1, 2, pipe_fds[0], pipe_fds[1]})
        EXPECT_NE(::fcntl(fd, F_GETFD), -1) << "descriptor " << fd << " was closed";
    char c = 0;
    EXPECT_EQ(::read(pipe_fds[0], &c, 1), 1) << "the pipe's byte was consumed";
    EXPECT_EQ(c, 'p');
    ::close(pipe_fds[0]);
    ::close(pipe_fds[1]);
}

TEST(KernelClassicFile, ClosedHandleIsStale) {
    ScratchDir dir;
    write_file(dir.path("a.bin"), "aaaa");
    write_file(dir.path("b.bin"), "bbbb");
    HFILE first = _lopen(dir.path("a.bin").c_str(), OF_READ);
    ASSERT_NE(first, HFILE_ERROR);
    ASSERT_EQ(_lclose(first), 0);
    HFILE second = _lopen(dir.path("b.bin").c_str(), OF_READ);
    ASSERT_NE(second, HFILE_ERROR);
    EXPECT_NE(second, first) << "a closed handle value was handed out again at once";
    char c;
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_lread(first, &c, 1), UINT(HFILE_ERROR)); }),
              DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(_lclose(first), HFILE_ERROR) << "closing twice";
    EXPECT_EQ(_lread(second, &c, 1), 1u) << "the stale handle disturbed the live one";
    EXPECT_EQ(c, 'b');
    EXPECT_EQ(_lclose(second), 0);
    EXPECT_GT(second, 2) << "handles must not look like standard descriptors";
    EXPECT_LT(second, 0x8000) << "handles must fit a 16-bit field";
}

// Handle values are handed out in rising order and wrap around after the last one; a value
// that is still open must then be skipped, never given to a second file.
TEST(KernelClassicFile, WrappingHandleValuesSkipOpenOnes) {
    ScratchDir dir;
    write_file(dir.path("kept.bin"), "K");
    write_file(dir.path("churn.bin"), "C");
    HFILE kept = _lopen(dir.path("kept.bin").c_str(), OF_READ);
    ASSERT_NE(kept, HFILE_ERROR);
    for (int i = 0; i < 0x8000; ++i) {
        HFILE churn = _lopen(dir.path("churn.bin").c_str(), OF_READ);
        ASSERT_NE(churn, HFILE_ERROR) << "open " << i;
        ASSERT_NE(churn, kept) << "open " << i << " was given a handle still in use";
        ASSERT_EQ(_lclose(churn), 0);
    }
    char c = 0;
    EXPECT_EQ(_lread(kept, &c, 1), 1u);
    EXPECT_EQ(c, 'K');
    EXPECT_EQ(_lclose(kept), 0);
}

// A file written through one handle is read through a second handle on the same file, as the
// plug-in reads the header of the cache file it is still writing.
TEST(KernelClassicFile, SecondHandleSeesWrittenData) {
    ScratchDir dir;
    std::string path = dir.win_path("cache.mov");
    HFILE writer = _lcreat(path.c_str(), 0);
    ASSERT_NE(writer, HFILE_ERROR);
    ASSERT_EQ(_llseek(writer, 0, FILE_BEGIN), 0);
    ASSERT_EQ(_hwrite(writer, "\0\0\0\x10moov", 8), 8);
    HFILE reader = _lopen(path.c_str(), OF_READ);
    ASSERT_NE(reader, HFILE_ERROR);
    ASSERT_NE(reader, writer);
    char header[8];
    EXPECT_EQ(_llseek(reader, 0, FILE_BEGIN), 0);
    EXPECT_EQ(_lread(reader, header, 8), 8u);
    EXPECT_EQ(std::string(header + 4, 4), "moov");
    EXPECT_EQ(_lclose(reader), 0);
    EXPECT_EQ(_hwrite(writer, "more", 4), 4) << "closing the reader affected the writer";
    EXPECT_EQ(_lclose(writer), 0);
}

TEST(KernelClassicFile, NullBufferIsRefused) {
    ScratchDir dir;
    write_file(dir.path("f.bin"), "abc");
    HFILE file = _lopen(dir.path("f.bin").c_str(), OF_READWRITE);
    ASSERT_NE(file, HFILE_ERROR);
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_lread(file, nullptr, 2), UINT(HFILE_ERROR)); }),
              DWORD(ERROR_NOACCESS));
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_hwrite(file, nullptr, 2), HFILE_ERROR); }),
              DWORD(ERROR_NOACCESS));
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_hread(file, nullptr, -1), HFILE_ERROR); }),
              DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(_lread(file, nullptr, 0), 0u) << "nothing to read needs no buffer";
    _lclose(file);
    EXPECT_EQ(read_file(dir.path("f.bin")), "abc");
}

TEST(KernelClassicFile, WriteToFullDiskIsAnError) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "this system has no /dev/full";
    HFILE file = _lopen("/dev/full", OF_WRITE);
    ASSERT_NE(file, HFILE_ERROR);
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_hwrite(file, "data", 4), HFILE_ERROR); }),
              DWORD(ERROR_DISK_FULL));
    EXPECT_EQ(error_of([&] { EXPECT_EQ(_lwrite(file, "data", 4), UINT(HFILE_ERROR)); }),
              DWORD(ERROR_DISK_FULL));
    _lclose(file);
}

} // namespace
