// Conformance tests of the whole-file operations and attributes: CopyFileA, MoveFileA,
// DeleteFileA, GetFileAttributesA, SetFileAttributesA, CreateDirectoryA, RemoveDirectoryA.

#include "kernel_test_support.h"

#include <sys/stat.h>
#include <windows.h>

using kernel_test::exists;
using kernel_test::read_file;
using kernel_test::ScratchDir;
using kernel_test::write_file;

using kernel_test::error_of;
using kernel_test::untouched;

namespace {

void make_read_only(const std::string& path) {
    ::chmod(path.c_str(), 0444);
}

// --- CopyFileA ---------------------------------------------------------------------------

TEST(KernelCopyFile, CopiesContents) {
    ScratchDir dir;
    std::string payload(200000, '\0');
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<char>(i * 7);
    write_file(dir.path("movie.mov"), payload);
    ASSERT_TRUE(
        CopyFileA(dir.win_path("movie.mov").c_str(), dir.win_path("copy.mov").c_str(), TRUE));
    EXPECT_TRUE(read_file(dir.path("copy.mov")) == payload) << "the copy differs";
    EXPECT_EQ(dir.listing(), (std::vector<std::string>{"copy.mov", "movie.mov"}))
        << "the copy left other files behind";
}

TEST(KernelCopyFile, FailIfExistsKeepsTheTarget) {
    ScratchDir dir;
    write_file(dir.path("src"), "new");
    write_file(dir.path("dst"), "old");
    EXPECT_EQ(error_of([&] {
                  EXPECT_FALSE(CopyFileA(dir.path("src").c_str(), dir.path("dst").c_str(), TRUE));
              }),
              DWORD(ERROR_FILE_EXISTS));
    EXPECT_EQ(read_file(dir.path("dst")), "old");
    EXPECT_TRUE(CopyFileA(dir.path("src").c_str(), dir.path("dst").c_str(), FALSE));
    EXPECT_EQ(read_file(dir.path("dst")), "new") << "without failIfExists the target is replaced";
    EXPECT_EQ(dir.listing(), (std::vector<std::string>{"dst", "src"}));
}

TEST(KernelCopyFile, FailuresLeaveNoTarget) {
    ScratchDir dir;
    ::mkdir(dir.path("folder").c_str(), 0777);
    struct Case {
        const char* label;
        std::string source;
        std::string target;
        DWORD error;
    };
    const Case cases[] = {
        {"missing source", dir.path("missing"), dir.path("t1"), ERROR_FILE_NOT_FOUND},
        {"source in missing folder", dir.path("no/missing"), dir.path("t2"), ERROR_PATH_NOT_FOUND},
        {"folder as source", dir.path("folder"), dir.path("t3"), ERROR_ACCESS_DENIED},
        {"target in missing folder", dir.path("folder/../src"), dir.path("no/t4"),
         ERROR_PATH_NOT_FOUND},
    };
    write_file(dir.path("src"), "data");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(
            error_of([&] { EXPECT_FALSE(CopyFileA(c.source.c_str(), c.target.c_str(), FALSE)); }),
            c.error);
        EXPECT_FALSE(exists(c.target));
    }
    EXPECT_EQ(dir.listing(), (std::vector<std::string>{"folder", "src"}));
    EXPECT_EQ(error_of([&] { EXPECT_FALSE(CopyFileA(nullptr, dir.path("x").c_str(), FALSE)); }),
              DWORD(ERROR_INVALID_PARAMETER));
}

TEST(KernelCopyFile, ReadOnlyTargetIsNotReplaced) {
    ScratchDir dir;
    write_file(dir.path("src"), "new");
    write_file(dir.path("dst"), "old");
    make_read_only(dir.path("dst"));
    EXPECT_EQ(error_of([&] {
                  EXPECT_FALSE(CopyFileA(dir.path("src").c_str(), dir.path("dst").c_str(), FALSE));
              }),
              DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(read_file(dir.path("dst")), "old");
}

TEST(KernelCopyFile, CopyOfReadOnlyFileIsReadOnly) {
    ScratchDir dir;
    write_file(dir.path("src"), "x");
    make_read_only(dir.path("src"));
    ASSERT_TRUE(CopyFileA(dir.path("src").c_str(), dir.path("dst").c_str(), TRUE));
    EXPECT_EQ(GetFileAttributesA(dir.path("dst").c_str()), DWORD(FILE_ATTRIBUTE_READONLY));
}

// --- MoveFileA ---------------------------------------------------------------------------

TEST(KernelMoveFile, RenamesAFile) {
    ScratchDir dir;
    write_file(dir.path("a"), "contents");
    ASSERT_TRUE(MoveFileA(dir.win_path("a").c_str(), dir.win_path("b").c_str()));
    EXPECT_FALSE(exists(dir.path("a")));
    EXPECT_EQ(read_file(dir.path("b")), "contents");
}

TEST(KernelMoveFile, ExistingTargetIsAnError) {
    ScratchDir dir;
    write_file(dir.path("a"), "A");
    write_file(dir.path("b"), "B");
    EXPECT_EQ(
        error_of([&] { EXPECT_FALSE(MoveFileA(dir.path("a").c_str(), dir.path("b").c_str())); }),
        DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(read_file(dir.path("a")), "A");
    EXPECT_EQ(read_file(dir.path("b")), "B");
}

TEST(KernelMoveFile, MissingSourceIsAnError) {
    ScratchDir dir;
    EXPECT_EQ(
        error_of([&] { EXPECT_FALSE(MoveFileA(dir.path("none").c_str(), dir.path("b").c_str())); }),
        DWORD(ERROR_FILE_NOT_FOUND));
    write_file(dir.path("a"), "A");
    EXPECT_EQ(
        error_of([&] { EXPECT_FALSE(MoveFileA(dir.path("a").c_str(), dir.path("no/b").c_str())); }),
        DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(read_file(dir.path("a")), "A");
}

TEST(KernelMoveFile, MovesAFolder) {
    ScratchDir dir;
    ::mkdir(dir.path("old").c_str(), 0777);
    write_file(dir.path("old/inner"), "i");
    ASSERT_TRUE(MoveFileA(dir.path("old").c_str(), dir.path("new").c_str()));
    EXPECT_EQ(read_file(dir.path("new/inner")), "i");
}

TEST(KernelMoveFile, MovesBetweenFileSystems) {
    ScratchDir here;
    struct stat a, b;
    if (::stat(here.path().c_str(), &a) != 0 || ::stat("/dev/shm", &b) != 0 ||
        a.st_dev == b.st_dev || ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second writable file system at /dev/shm";
    ScratchDir there("/dev/shm");
    write_file(here.path("movie"), "frames");
    ASSERT_TRUE(MoveFileA(here.path("movie").c_str(), there.path("movie").c_str()));
    EXPECT_EQ(read_file(there.path("movie")), "frames");
    EXPECT_FALSE(exists(here.path("movie"))) << "the original stayed behind";
    EXPECT_EQ(there.listing(), std::vector<std::string>{"movie"});
    write_file(here.path("other"), "x");
    EXPECT_EQ(error_of([&] {
                  EXPECT_FALSE(MoveFileA(here.path("other").c_str(), there.path("movie").c_str()));
              }),
              DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(read_file(there.path("movie")), "frames");
}

// --- DeleteFileA -------------------------------------------------------------------------

TEST(KernelDeleteFile, DeletesAndReportsFailures) {
    ScratchDir dir;
    write_file(dir.path("f"), "x");
    EXPECT_TRUE(DeleteFileA(dir.win_path("f").c_str()));
    EXPECT_FALSE(exists(dir.path("f")));
    ::mkdir(dir.path("folder").c_str(), 0777);
    struct Case {
        const char* label;
        std::string path;
        DWORD error;
    };
    const Case cases[] = {
        {"deleted already", dir.path("f"), ERROR_FILE_NOT_FOUND},
        {"missing folder", dir.path("no/f"), ERROR_PATH_NOT_FOUND},
        {"folder", dir.path("folder"), ERROR_ACCESS_DENIED},
        {"empty path", "", ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(error_of([&] { EXPECT_FALSE(DeleteFileA(c.path.c_str())); }), c.error);
    }
    EXPECT_TRUE(exists(dir.path("folder")));
}

TEST(KernelDeleteFile, ReadOnlyFileNeedsItsAttributeCleared) {
    ScratchDir dir;
    write_file(dir.path("ro"), "x");
    ASSERT_TRUE(SetFileAttributesA(dir.path("ro").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(error_of([&] { EXPECT_FALSE(DeleteFileA(dir.path("ro").c_str())); }),
              DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(exists(dir.path("ro")));
    ASSERT_TRUE(SetFileAttributesA(dir.path("ro").c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesA(dir.path("ro").c_str()), DWORD(FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileA(dir.path("ro").c_str()));
}

// --- Attributes --------------------------------------------------------------------------

TEST(KernelFileAttributes, ReportsKindAndReadOnly) {
    ScratchDir dir;
    ::mkdir(dir.path("folder").c_str(), 0777);
    write_file(dir.path("plain"), "p");
    write_file(dir.path("locked"), "l");
    make_read_only(dir.path("locked"));
    struct Case {
        const char* label;
        std::string path;
        DWORD attributes;
        DWORD error;
    };
    const Case cases[] = {
        {"folder", dir.path("folder"), FILE_ATTRIBUTE_DIRECTORY, 0},
        {"folder, backslashes, trailing separator", dir.win_path("folder") + "\\",
         FILE_ATTRIBUTE_DIRECTORY, 0},
        {"plain file", dir.win_path("plain"), FILE_ATTRIBUTE_NORMAL, 0},
        {"read-only file", dir.path("locked"), FILE_ATTRIBUTE_READONLY, 0},
        {"missing file", dir.path("missing"), INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND},
        {"missing folder", dir.path("nowhere/missing"), INVALID_FILE_ATTRIBUTES,
         ERROR_PATH_NOT_FOUND},
        {"file used as folder", dir.path("plain/inner"), INVALID_FILE_ATTRIBUTES,
         ERROR_PATH_NOT_FOUND},
        {"empty path", "", INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        DWORD attributes = 0;
        DWORD error = error_of([&] { attributes = GetFileAttributesA(c.path.c_str()); });
        EXPECT_EQ(attributes, c.attributes);
        if (c.error) {
            EXPECT_EQ(error, c.error);
        }
    }
    EXPECT_EQ(GetFileAttributesA(nullptr), INVALID_FILE_ATTRIBUTES);
}

TEST(KernelFileAttributes, SetOnMissingFileFails) {
    ScratchDir dir;
    EXPECT_EQ(error_of([&] {
                  EXPECT_FALSE(
                      SetFileAttributesA(dir.path("missing").c_str(), FILE_ATTRIBUTE_READONLY));
              }),
              DWORD(ERROR_FILE_NOT_FOUND));
}

// --- Directories -------------------------------------------------------------------------

TEST(KernelDirectories, CreateAndRemove) {
    ScratchDir dir;
    EXPECT_TRUE(CreateDirectoryA(dir.win_path("cache").c_str(), nullptr));
    EXPECT_EQ(GetFileAttributesA(dir.path("cache").c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(error_of([&] { EXPECT_FALSE(CreateDirectoryA(dir.path("cache").c_str(), nullptr)); }),
              DWORD(ERROR_ALREADY_EXISTS));
    SECURITY_ATTRIBUTES security = {sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
    EXPECT_EQ(error_of([&] { EXPECT_FALSE(CreateDirectoryA(dir.path("a/b").c_str(), &security)); }),
              DWORD(ERROR_PATH_NOT_FOUND));
    write_file(dir.path("cache/f"), "x");
    EXPECT_EQ(error_of([&] { EXPECT_FALSE(RemoveDirectoryA(dir.path("cache").c_str())); }),
              DWORD(ERROR_DIR_NOT_EMPTY));
    EXPECT_EQ(error_of([&] { EXPECT_FALSE(RemoveDirectoryA(dir.path("cache/f").c_str())); }),
              DWORD(ERROR_DIRECTORY));
    ASSERT_TRUE(DeleteFileA(dir.path("cache/f").c_str()));
    EXPECT_TRUE(RemoveDirectoryA(dir.win_path("cache").c_str()));
    EXPECT_EQ(error_of([&] { EXPECT_FALSE(RemoveDirectoryA(dir.path("cache").c_str())); }),
              DWORD(ERROR_FILE_NOT_FOUND));
}

} // namespace
