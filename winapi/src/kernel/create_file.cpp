// CreateFileA and CloseHandle for files. The handles they deal in are the classic file
// handles of the process's HFILE table, as on 32-bit Windows, where the value CreateFileA
// returns is also a valid HFILE; so code that must create a file exclusively (which _lcreat
// cannot) goes on using the _l functions on it.

#include "kernel/file_error.h"
#include "kernel/file_handle_table.h"
#include "kernel/native_path.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <winbase.h>
#include <winerror.h>

namespace winapi::kernel {
namespace {

constexpr DWORD known_access = GENERIC_READ | GENERIC_WRITE;

HANDLE fail_with(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

// The open(2) flags for an access mask and a creation disposition; false for a disposition
// that does not exist, or one that empties a file without the right to write it.
bool open_flags(DWORD access, DWORD disposition, int& flags) {
    bool writes = access & GENERIC_WRITE;
    flags = (writes ? ((access & GENERIC_READ) ? O_RDWR : O_WRONLY) : O_RDONLY) | O_CLOEXEC;
    switch (disposition) {
    case CREATE_NEW:
        // O_EXCL makes the test for the name and the creation one step; it also refuses a
        // symbolic link planted under the name instead of following it.
        flags |= O_CREAT | O_EXCL;
        return true;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        return true;
    case OPEN_EXISTING:
        return true;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        return true;
    case TRUNCATE_EXISTING:
        flags |= O_TRUNC;
        return writes;
    default:
        return false;
    }
}

// Refuses what is not a file for Windows (a folder) and writers of a read-only file that
// this call did not create. Closes the descriptor when refusing.
bool acceptable(int fd, bool writes, bool created) {
    struct stat st;
    if (::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode) &&
        (created || !writes || (st.st_mode & 0222) != 0))
        return true;
    ::close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
}

// Creates `path` exclusively with the deletion lock already on it, so that no process can
// find the name before the lock is there: the file is made without a name, locked, and
// then given its name, which fails with EEXIST when the name is taken. File systems that
// cannot make a file without a name get an exclusive create and the lock right after.
int create_locked(const std::string& path, int flags, mode_t mode) {
    int fd = ::open(parent_directory(path).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    if (fd >= 0) {
        ::flock(fd, LOCK_SH | LOCK_NB);
        std::string self = "/proc/self/fd/" + std::to_string(fd);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return fd;
        int error = errno;
        ::close(fd);
        errno = error;
        if (error != ENOENT && error != EXDEV && error != EPERM) return -1;
    }
    return ::open(path.c_str(), flags, mode);
}

HANDLE as_handle(HFILE file) {
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(file));
}

} // namespace
} // namespace winapi::kernel

using namespace winapi::kernel;

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE) {
    std::optional<std::string> path = native_path_or_error(lpFileName);
    if (!path) return INVALID_HANDLE_VALUE;
    int flags = 0;
    if ((dwDesiredAccess & ~known_access) ||
        !open_flags(dwDesiredAccess, dwCreationDisposition, flags))
        return fail_with(ERROR_INVALID_PARAMETER);
    struct stat st;
    bool existed = ::lstat(path->c_str(), &st) == 0;
    mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    // A file open without FILE_SHARE_DELETE holds a shared lock that DeleteFileA respects.
    bool keeps = !(dwShareMode & FILE_SHARE_DELETE);
    bool locked_create =
        keeps && dwCreationDisposition == CREATE_NEW && (dwDesiredAccess & GENERIC_WRITE);
    int fd = locked_create ? create_locked(*path, flags, mode) : ::open(path->c_str(), flags, mode);
    if (fd < 0) {
        if (errno == EEXIST && dwCreationDisposition == CREATE_NEW)
            return fail_with(ERROR_FILE_EXISTS);
        fail_for_path(*path);
        return INVALID_HANDLE_VALUE;
    }
    bool created = (flags & O_EXCL) || !existed;
    if (!acceptable(fd, dwDesiredAccess & GENERIC_WRITE, created)) return INVALID_HANDLE_VALUE;
    if (keeps) ::flock(fd, LOCK_SH | LOCK_NB);
    HFILE file = file_handles().add(fd);
    if (file == HFILE_ERROR) return fail_with(ERROR_TOO_MANY_OPEN_FILES);
    bool reports_existing =
        dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS;
    SetLastError(reports_existing && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return as_handle(file);
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    INT_PTR value = reinterpret_cast<INT_PTR>(hObject);
    bool in_range = value >= FileHandleTable::first_handle && value <= FileHandleTable::last_handle;
    if (!in_range || !file_handles().remove(static_cast<HFILE>(value))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
