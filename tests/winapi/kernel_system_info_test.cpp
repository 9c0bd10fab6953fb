// Conformance tests of the error mode, the reported version and the string helpers.

#include <cstring>
#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(KernelSystemInfo, SetErrorModeReturnsThePreviousMode) {
    UINT original = GetErrorMode();
    EXPECT_EQ(SetErrorMode(SEM_NOOPENFILEERRORBOX), original);
    EXPECT_EQ(GetErrorMode(), UINT(SEM_NOOPENFILEERRORBOX));
    EXPECT_EQ(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX),
              UINT(SEM_NOOPENFILEERRORBOX));
    EXPECT_EQ(SetErrorMode(original), UINT(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX));
    EXPECT_EQ(GetErrorMode(), original);
}

TEST(KernelSystemInfo, VersionRecordSizeIsChecked) {
    static_assert(sizeof(OSVERSIONINFOA) == 148, "the record the plug-in passes");
    static_assert(sizeof(OSVERSIONINFOEXA) == 156, "the extended record");
    for (DWORD size : {DWORD{0}, DWORD{147}, DWORD{149}, DWORD{155}, DWORD{1000}}) {
        SCOPED_TRACE(testing::Message() << "size " << size);
        OSVERSIONINFOEXA info;
        std::memset(&info, 0x5a, sizeof info);
        info.dwOSVersionInfoSize = size;
        SetLastError(0);
        EXPECT_FALSE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(info.dwPlatformId, 0x5a5a5a5au) << "a refused record was written to";
    }
    EXPECT_FALSE(GetVersionExA(nullptr));
}

TEST(KernelSystemInfo, VersionIsNt) {
    OSVERSIONINFOA info;
    std::memset(&info, 0x5a, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(info.dwMajorVersion, 6u);
    EXPECT_EQ(info.dwMinorVersion, 1u);
    EXPECT_EQ(info.dwBuildNumber, 7601u);
    EXPECT_STREQ(info.szCSDVersion, "Service Pack 1");
    DWORD packed = GetVersion();
    EXPECT_EQ(LOBYTE(LOWORD(packed)), info.dwMajorVersion);
    EXPECT_EQ(HIBYTE(LOWORD(packed)), info.dwMinorVersion);
    EXPECT_EQ(HIWORD(packed), info.dwBuildNumber);
    EXPECT_EQ(packed & 0x80000000u, 0u) << "the top bit set would mean a non-NT platform";

    OSVERSIONINFOEXA extended;
    std::memset(&extended, 0x5a, sizeof extended);
    extended.dwOSVersionInfoSize = sizeof extended;
    ASSERT_TRUE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended)));
    EXPECT_EQ(extended.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(extended.wServicePackMajor, 1u);
    EXPECT_EQ(extended.wProductType, VER_NT_WORKSTATION);
}

TEST(KernelStrings, CopyLengthAndCompare) {
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(lstrcpynA(buffer, "Lanternix", 5), buffer);
    EXPECT_STREQ(buffer, "Lant") << "at most n - 1 characters and a terminator";
    EXPECT_EQ(buffer[5], '#');
    EXPECT_STREQ(lstrcpynA(buffer, "ab", 8), "ab");
    EXPECT_EQ(lstrcpynA(nullptr, "ab", 8), nullptr);
    EXPECT_EQ(lstrlenA("movie"), 5);
    EXPECT_EQ(lstrlenA(""), 0);
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrcmpiA("Video/QuickTime", "video/quicktime"), 0);
    EXPECT_LT(lstrcmpiA("abc", "ABD"), 0);
    EXPECT_GT(lstrcmpiA("abcd", "ABC"), 0);
    EXPECT_LT(lstrcmpiA(nullptr, "a"), 0);
}

} // namespace
