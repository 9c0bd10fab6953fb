// Conformance tests of GetTempPathA and GetWindowsDirectoryA: where they point, and the
// buffer contract (length without the terminator when it fits, the size needed with the
// terminator when it does not, the buffer then left alone).

#include "kernel_test_support.h"

#include <cstring>
#include <windows.h>

using kernel_test::exists;
using kernel_test::ScopedEnv;
using kernel_test::ScratchDir;

namespace {

std::string temp_path() {
    char buffer[MAX_PATH];
    DWORD length = GetTempPathA(sizeof buffer, buffer);
    return length < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string windows_directory() {
    char buffer[MAX_PATH];
    UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    return length < sizeof buffer ? std::string(buffer, length) : std::string();
}

TEST(KernelSystemDirectories, TempPathFollowsTmpdir) {
    struct Case {
        std::optional<std::string> tmpdir;
        std::string expected;
    };
    const Case cases[] = {
        {"/var/tmp/lx", "/var/tmp/lx/"},
        {"/var/tmp/lx/", "/var/tmp/lx/"},
        {"", "/tmp/"},
        {std::nullopt, "/tmp/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tmpdir ? "TMPDIR=" + *c.tmpdir : std::string("TMPDIR unset"));
        ScopedEnv env("TMPDIR", c.tmpdir);
        EXPECT_EQ(temp_path(), c.expected);
    }
}

TEST(KernelSystemDirectories, TempPathBufferContract) {
    ScopedEnv env("TMPDIR", "/var/tmp/abc"); // "/var/tmp/abc/" is 13 characters
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetTempPathA(13, buffer), 14u) << "no room for the terminator";
    EXPECT_EQ(buffer[0], '#') << "a buffer that is too small was written to";
    EXPECT_EQ(GetTempPathA(0, nullptr), 14u);
    EXPECT_EQ(GetTempPathA(14, buffer), 13u);
    EXPECT_STREQ(buffer, "/var/tmp/abc/");
}

TEST(KernelSystemDirectories, WindowsDirectoryUnderXdgConfigHome) {
    ScratchDir dir;
    ScopedEnv env("XDG_CONFIG_HOME", dir.path("config"));
    EXPECT_FALSE(exists(dir.path("config")));
    EXPECT_EQ(windows_directory(), dir.path("config/lanternix"));
    EXPECT_EQ(GetFileAttributesA(dir.path("config/lanternix").c_str()),
              DWORD(FILE_ATTRIBUTE_DIRECTORY))
        << "the folder is created on demand, with its parents";
}

TEST(KernelSystemDirectories, WindowsDirectoryFallsBackToHome) {
    ScratchDir dir;
    ScopedEnv home("HOME", dir.path());
    for (std::optional<std::string> xdg :
         {std::optional<std::string>{}, std::optional<std::string>{""},
          std::optional<std::string>{"relative/config"}}) {
        SCOPED_TRACE(xdg ? "XDG_CONFIG_HOME=" + *xdg : std::string("XDG_CONFIG_HOME unset"));
        ScopedEnv env("XDG_CONFIG_HOME", xdg);
        EXPECT_EQ(windows_directory(), dir.path(".config/lanternix"));
    }
    EXPECT_TRUE(exists(dir.path(".config/lanternix")));
}

TEST(KernelSystemDirectories, WindowsDirectoryBufferContract) {
    ScratchDir dir;
    ScopedEnv env("XDG_CONFIG_HOME", dir.path());
    std::string expected = dir.path("lanternix");
    UINT needed = static_cast<UINT>(expected.size() + 1);
    std::vector<char> buffer(needed + 4, '#');
    EXPECT_EQ(GetWindowsDirectoryA(buffer.data(), needed - 1), needed);
    EXPECT_EQ(buffer[0], '#') << "a buffer that is too small was written to";
    EXPECT_EQ(GetWindowsDirectoryA(nullptr, 0), needed);
    EXPECT_EQ(GetWindowsDirectoryA(buffer.data(), needed), needed - 1);
    EXPECT_EQ(std::string(buffer.data()), expected) << "no trailing separator, as on Windows";
}

} // namespace
