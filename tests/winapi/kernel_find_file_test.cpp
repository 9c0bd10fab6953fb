// Conformance tests of FindFirstFileA, FindNextFileA and FindClose, and of the deletion lock
// that a CreateFileA handle without FILE_SHARE_DELETE holds, within a process and across
// processes.

#include "kernel_test_support.h"

#include <algorithm>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <windows.h>

using kernel_test::ScratchDir;
using kernel_test::write_file;

namespace {

std::vector<std::string> find_all(const std::string& pattern, DWORD* error = nullptr) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        if (error) *error = GetLastError();
        return names;
    }
    do
        names.push_back(data.cFileName);
    while (FindNextFileA(search, &data));
    if (error) *error = GetLastError();
    EXPECT_TRUE(FindClose(search));
    std::sort(names.begin(), names.end());
    return names;
}

TEST(KernelFindFile, PatternsMatchAsOnWindows) {
    ScratchDir dir;
    for (const char* name :
         {"LX000001.mov", "lx000002.MOV", "LX1.mov", "clip.mov", "LXa.txt", "noext"})
        write_file(dir.path(name), "x");
    DWORD error = 0;
    EXPECT_EQ(find_all(dir.win_path("LX*.mov"), &error),
              (std::vector<std::string>{"LX000001.mov", "LX1.mov", "lx000002.MOV"}));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_EQ(find_all(dir.path("LX??????.mov")),
              (std::vector<std::string>{"LX000001.mov", "lx000002.MOV"}));
    EXPECT_EQ(find_all(dir.path("*.*")).size(), 8u) << "every name, with . and ..";
    EXPECT_EQ(find_all(dir.path("noext")), std::vector<std::string>{"noext"});
    EXPECT_TRUE(find_all(dir.path("*.avi"), &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(find_all(dir.path("missing/*"), &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(KernelFindFile, DataDescribesTheEntry) {
    ScratchDir dir;
    write_file(dir.path("five.bin"), "12345");
    ASSERT_TRUE(CreateDirectoryA(dir.path("sub").c_str(), nullptr));
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(dir.path("five.bin").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    // Later than 2001 in 100-nanosecond steps since 1601.
    EXPECT_GT(data.ftLastWriteTime.dwHighDateTime, 0x01C00000u);
    EXPECT_FALSE(FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(search));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    search = FindFirstFileA(dir.path("sub").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    FindClose(search);
}

HANDLE open_keeping(const std::string& path, DWORD disposition, DWORD share = FILE_SHARE_READ) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(KernelFindFile, OpenFileWithoutDeleteSharingCannotBeDeleted) {
    ScratchDir dir;
    std::string path = dir.path("held.bin");
    HANDLE file = open_keeping(path, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    // A handle that shares deletion does not hold the file.
    file = open_keeping(path, CREATE_NEW, FILE_SHARE_READ | FILE_SHARE_DELETE);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    CloseHandle(file);
    // Nor do the classic handles.
    write_file(path, "x");
    HFILE classic = _lopen(path.c_str(), OF_READWRITE);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    _lclose(classic);
}

TEST(KernelFindFile, AnotherProcessHoldsItsFileUntilItEnds) {
    ScratchDir dir;
    std::string path = dir.path("theirs.bin");
    int ready[2], finish[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(finish), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        close(finish[1]);
        HANDLE file = open_keeping(path, CREATE_NEW);
        (void)!write(ready[1], file == INVALID_HANDLE_VALUE ? "n" : "y", 1);
        char byte;
        (void)!read(finish[0], &byte, 1);
        _exit(0); // ends without closing: the system lets go of the file
    }
    close(ready[1]);
    close(finish[0]);
    char opened = 0;
    ASSERT_EQ(read(ready[0], &opened, 1), 1);
    ASSERT_EQ(opened, 'y');
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    close(finish[1]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    close(ready[0]);
}

} // namespace
