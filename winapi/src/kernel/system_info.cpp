// The process error mode and the version this layer reports.
//
// The version is fixed rather than taken from the running kernel, whose numbers mean
// nothing to Windows programs: an NT platform, version 6.1 build 7601 with Service Pack 1.
// Programs that branch on the platform take their NT path, which is what this layer
// implements.

#include <atomic>
#include <cstring>
#include <winbase.h>
#include <winerror.h>

namespace winapi::kernel {
namespace {

constexpr DWORD major_version = 6;
constexpr DWORD minor_version = 1;
constexpr DWORD build_number = 7601;
constexpr char service_pack[] = "Service Pack 1";

// The error mode of the process. Nothing here shows system dialogs, so the mode is only
// kept and reported.
std::atomic<UINT> g_error_mode{0};

void fill_version(OSVERSIONINFOA& info) {
    info.dwMajorVersion = major_version;
    info.dwMinorVersion = minor_version;
    info.dwBuildNumber = build_number;
    info.dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(info.szCSDVersion, 0, sizeof info.szCSDVersion);
    std::memcpy(info.szCSDVersion, service_pack, sizeof service_pack);
}

} // namespace
} // namespace winapi::kernel

using namespace winapi::kernel;

UINT WINAPI SetErrorMode(UINT uMode) {
    return g_error_mode.exchange(uMode);
}

UINT WINAPI GetErrorMode(void) {
    return g_error_mode.load();
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation) {
    if (!lpVersionInformation) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The size field says which of the two records the caller passed.
    DWORD size = lpVersionInformation->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOA) && size != sizeof(OSVERSIONINFOEXA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    fill_version(*lpVersionInformation);
    if (size == sizeof(OSVERSIONINFOEXA)) {
        auto* extended = reinterpret_cast<OSVERSIONINFOEXA*>(lpVersionInformation);
        extended->wServicePackMajor = 1;
        extended->wServicePackMinor = 0;
        extended->wSuiteMask = 0;
        extended->wProductType = VER_NT_WORKSTATION;
        extended->wReserved = 0;
    }
    return TRUE;
}

DWORD WINAPI GetVersion(void) {
    // Low byte major, next byte minor, high word the build; the top bit clear means NT.
    return major_version | (minor_version << 8) | (build_number << 16);
}
