// Conformance tests of CreateFileA and CloseHandle for files: each creation disposition, the
// handle's use as a classic file handle, and exclusive creation raced by several processes.

#include "kernel_test_support.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <windows.h>

using kernel_test::read_file;
using kernel_test::ScratchDir;
using kernel_test::write_file;

namespace {

const DWORD ReadWrite = GENERIC_READ | GENERIC_WRITE;

HANDLE create(const std::string& path, DWORD disposition, DWORD access = ReadWrite) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

HFILE as_hfile(HANDLE handle) {
    return static_cast<HFILE>(reinterpret_cast<INT_PTR>(handle));
}

TEST(KernelCreateFile, CreateNewMakesAFileTheClassicFunctionsUse) {
    ScratchDir dir;
    HANDLE file = create(dir.path("new.bin"), CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(_hwrite(as_hfile(file), "abcdef", 6), 6);
    EXPECT_EQ(_llseek(as_hfile(file), 2, FILE_BEGIN), 2);
    char buffer[4] = {};
    EXPECT_EQ(_lread(as_hfile(file), buffer, 3), 3u);
    EXPECT_STREQ(buffer, "cde");
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(read_file(dir.path("new.bin")), "abcdef");
    // Closed means closed, whichever way it is closed.
    EXPECT_EQ(_lclose(as_hfile(file)), HFILE_ERROR);
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(KernelCreateFile, CreateNewNeverTouchesWhatExists) {
    ScratchDir dir;
    write_file(dir.path("taken.bin"), "someone's data");
    EXPECT_EQ(create(dir.path("taken.bin"), CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(read_file(dir.path("taken.bin")), "someone's data");
    // A link planted under the name is not followed to its target.
    ASSERT_EQ(symlink(dir.path("target.bin").c_str(), dir.path("link.bin").c_str()), 0);
    EXPECT_EQ(create(dir.path("link.bin"), CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    struct stat st;
    EXPECT_NE(stat(dir.path("target.bin").c_str(), &st), 0);
    // Nor is a folder.
    ASSERT_TRUE(CreateDirectoryA(dir.path("folder").c_str(), nullptr));
    EXPECT_EQ(create(dir.path("folder"), CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
}

TEST(KernelCreateFile, OtherDispositions) {
    ScratchDir dir;
    std::string path = dir.path("file.bin");
    EXPECT_EQ(create(path, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(create(path, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    HANDLE file = create(path, OPEN_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(_hwrite(as_hfile(file), "12345", 5), 5);
    CloseHandle(file);
    file = create(path, OPEN_ALWAYS);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(file);
    EXPECT_EQ(read_file(path), "12345");
    file = create(path, CREATE_ALWAYS);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(file);
    EXPECT_EQ(read_file(path), "");
    write_file(path, "again");
    file = create(path, TRUNCATE_EXISTING, GENERIC_WRITE);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(read_file(path), "");
    // Emptying needs the right to write; unknown dispositions and access bits are refused.
    EXPECT_EQ(create(path, TRUNCATE_EXISTING, GENERIC_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(create(path, 9), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(create(path, OPEN_EXISTING, 0x1), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(KernelCreateFile, ReadOnlyFilesAndFolders) {
    ScratchDir dir;
    std::string path = dir.path("locked.bin");
    HANDLE file = CreateFileA(path.c_str(), ReadWrite, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_READONLY, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    // The handle that made it still writes.
    EXPECT_EQ(_hwrite(as_hfile(file), "x", 1), 1);
    CloseHandle(file);
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(create(path, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    file = create(path, OPEN_EXISTING, GENERIC_READ);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(create(dir.path(""), OPEN_EXISTING, GENERIC_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

// Eight processes start together and each creates the same name exclusively: exactly one
// may succeed, and the file holds that one's bytes alone.
TEST(KernelCreateFile, ProcessesRacingForOneNameCreateItOnce) {
    ScratchDir dir;
    std::string path = dir.path("race.bin");
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        unlink(path.c_str());
        int start[2];
        ASSERT_EQ(pipe(start), 0);
        const int count = 8;
        pid_t children[count];
        for (int i = 0; i < count; ++i) {
            children[i] = fork();
            ASSERT_GE(children[i], 0);
            if (children[i] != 0) continue;
            close(start[1]);
            char byte;
            (void)!read(start[0], &byte, 1);
            HANDLE file = create(path, CREATE_NEW);
            if (file == INVALID_HANDLE_VALUE) _exit(GetLastError() == ERROR_FILE_EXISTS ? 1 : 2);
            char mine = static_cast<char>('a' + i);
            _exit(_hwrite(as_hfile(file), &mine, 1) == 1 && CloseHandle(file) ? 0 : 3);
        }
        close(start[0]);
        close(start[1]);
        int winners = 0;
        char winner = 0;
        for (int i = 0; i < count; ++i) {
            int status = 0;
            ASSERT_EQ(waitpid(children[i], &status, 0), children[i]);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_LE(WEXITSTATUS(status), 1) << "child " << i;
            if (WEXITSTATUS(status) == 0) {
                ++winners;
                winner = static_cast<char>('a' + i);
            }
        }
        EXPECT_EQ(winners, 1);
        EXPECT_EQ(read_file(path), std::string(1, winner));
    }
}

} // namespace

TEST(KernelDuplicateHandle, ACopyReadsTheSameFileAfterTheOriginalCloses) {
    ScratchDir dir;
    HANDLE file = create(dir.path("grows.bin"), CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    HANDLE process = GetCurrentProcess();
    HANDLE copy = nullptr;
    ASSERT_TRUE(DuplicateHandle(process, file, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, file);
    // Written through the original after the copy was made, read through the copy.
    EXPECT_EQ(_hwrite(as_hfile(file), "abcdef", 6), 6);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(_llseek(as_hfile(copy), 1, FILE_BEGIN), 1);
    char buffer[4] = {};
    EXPECT_EQ(_lread(as_hfile(copy), buffer, 3), 3u);
    EXPECT_STREQ(buffer, "bcd");
    EXPECT_EQ(_lclose(as_hfile(copy)), 0);
}

TEST(KernelDuplicateHandle, TheTwoHandlesShareThePosition) {
    ScratchDir dir;
    write_file(dir.path("data.bin"), "0123456789");
    HFILE file = _lopen(dir.path("data.bin").c_str(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    HANDLE process = GetCurrentProcess();
    HANDLE copy = nullptr;
    ASSERT_TRUE(DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(file)),
                                process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS));
    EXPECT_EQ(_llseek(file, 4, FILE_BEGIN), 4);
    char buffer[3] = {};
    EXPECT_EQ(_lread(as_hfile(copy), buffer, 2), 2u);
    EXPECT_STREQ(buffer, "45");
    EXPECT_EQ(_lclose(file), 0);
    EXPECT_TRUE(CloseHandle(copy));
}

TEST(KernelDuplicateHandle, RefusesWhatIsNotAnOpenFileOfThisProcess) {
    ScratchDir dir;
    HANDLE process = GetCurrentProcess();
    HANDLE copy = reinterpret_cast<HANDLE>(1);
    // Never a descriptor the layer did not open, standard input included.
    EXPECT_FALSE(DuplicateHandle(process, reinterpret_cast<HANDLE>(0), process, &copy, 0, FALSE,
                                 DUPLICATE_SAME_ACCESS));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(copy, nullptr);

    HANDLE file = create(dir.path("f.bin"), CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    HANDLE other_process = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x1234));
    EXPECT_FALSE(DuplicateHandle(other_process, file, process, &copy, 0, FALSE, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(DuplicateHandle(process, file, process, nullptr, 0, FALSE, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    // Closing the source through the call leaves nothing to close afterwards.
    EXPECT_TRUE(DuplicateHandle(process, file, process, nullptr, 0, FALSE, DUPLICATE_CLOSE_SOURCE));
    EXPECT_FALSE(CloseHandle(file));
}
