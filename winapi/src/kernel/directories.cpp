// CreateDirectoryA and RemoveDirectoryA.

#include "kernel/file_error.h"
#include "kernel/native_path.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <winbase.h>
#include <winerror.h>

using namespace winapi::kernel;

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes) {
    // Security descriptors have no counterpart here; the folder gets the usual permissions.
    (void)lpSecurityAttributes;
    std::optional<std::string> path = native_path_or_error(lpPathName);
    if (!path) return FALSE;
    if (::mkdir(path->c_str(), 0777) != 0) return fail_for_path(*path);
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName) {
    std::optional<std::string> path = native_path_or_error(lpPathName);
    if (!path) return FALSE;
    struct stat st;
    if (::lstat(path->c_str(), &st) != 0) return fail_for_path(*path);
    if (!S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    if (::rmdir(path->c_str()) != 0) return fail_for_path(*path);
    return TRUE;
}
