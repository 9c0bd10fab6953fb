// Whole-file operations: CopyFileA, MoveFileA and DeleteFileA.

#include "kernel/file_error.h"
#include "kernel/native_path.h"
#include "kernel/staged_file.h"
#include "kernel/unique_fd.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <winbase.h>
#include <winerror.h>

namespace winapi::kernel {
namespace {

bool is_read_only(mode_t mode) {
    return (mode & 0222) == 0;
}

bool fail_with(DWORD error) {
    SetLastError(error);
    return false;
}

// Copies the regular file open as `source` (whose status is `st`) to `target` through a
// staged file, so the target appears complete or not at all. Without `replace` an existing
// target makes it fail with ERROR_ALREADY_EXISTS.
bool copy_contents(int source, const struct stat& st, const std::string& target, bool replace) {
    StagedFile staged(target, 0666);
    if (staged.error() == ERROR_SUCCESS) {
        staged.copy_from(source);
        if (is_read_only(st.st_mode)) staged.make_read_only();
        if (staged.error() == ERROR_SUCCESS) staged.commit(replace, false);
    }
    return staged.error() == ERROR_SUCCESS || fail_with(staged.error());
}

// Opens a file for copying; directories are refused as Windows refuses them.
bool open_source(const std::string& path, int& fd, struct stat& st) {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail_for_path(path);
    if (::fstat(fd, &st) != 0) return fail_for_path(path);
    if (S_ISDIR(st.st_mode)) return fail_with(ERROR_ACCESS_DENIED);
    return true;
}

// A move between file systems: the file is copied, and the original removed once the copy
// is in place. Folders cannot be moved that way.
bool move_across_devices(const std::string& source, const std::string& target) {
    int fd = -1;
    struct stat st;
    bool opened = open_source(source, fd, st);
    UniqueFd guard(fd);
    if (!opened) {
        if (GetLastError() == ERROR_ACCESS_DENIED) SetLastError(ERROR_NOT_SAME_DEVICE);
        return false;
    }
    if (!copy_contents(fd, st, target, false)) return false;
    if (::unlink(source.c_str()) != 0) {
        DWORD error = error_for_path(errno, source);
        ::unlink(target.c_str());
        return fail_with(error);
    }
    return true;
}

} // namespace
} // namespace winapi::kernel

using namespace winapi::kernel;

BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists) {
    std::optional<std::string> source = native_path_or_error(lpExistingFileName);
    if (!source) return FALSE;
    std::optional<std::string> target = native_path_or_error(lpNewFileName);
    if (!target) return FALSE;
    int fd = -1;
    struct stat st;
    bool opened = open_source(*source, fd, st);
    UniqueFd guard(fd);
    if (!opened) return FALSE;
    // An existing target is kept when asked, and a read-only one (or a folder) is never
    // replaced.
    struct stat existing;
    if (::stat(target->c_str(), &existing) == 0) {
        if (bFailIfExists) return fail_with(ERROR_FILE_EXISTS);
        if (S_ISDIR(existing.st_mode) || is_read_only(existing.st_mode))
            return fail_with(ERROR_ACCESS_DENIED);
    }
    if (copy_contents(fd, st, *target, !bFailIfExists)) return TRUE;
    if (GetLastError() == ERROR_ALREADY_EXISTS) SetLastError(ERROR_FILE_EXISTS);
    return FALSE;
}

BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName) {
    std::optional<std::string> source = native_path_or_error(lpExistingFileName);
    if (!source) return FALSE;
    std::optional<std::string> target = native_path_or_error(lpNewFileName);
    if (!target) return FALSE;
    struct stat st;
    if (::lstat(source->c_str(), &st) != 0) return fail_for_path(*source);
    if (::lstat(target->c_str(), &st) == 0) return fail_with(ERROR_ALREADY_EXISTS);
    if (::renameat2(AT_FDCWD, source->c_str(), AT_FDCWD, target->c_str(), RENAME_NOREPLACE) == 0)
        return TRUE;
    // File systems without the no-replace rename get the check above and a plain rename.
    if ((errno == EINVAL || errno == ENOSYS) && ::rename(source->c_str(), target->c_str()) == 0)
        return TRUE;
    if (errno == EXDEV) return move_across_devices(*source, *target);
    if (errno == EEXIST || errno == ENOTEMPTY) return fail_with(ERROR_ALREADY_EXISTS);
    return fail_for_path(*target);
}

BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
    std::optional<std::string> path = native_path_or_error(lpFileName);
    if (!path) return FALSE;
    // Folders are not deleted as files, and a read-only file refuses deletion, as on
    // Windows (this system would let its owner delete it).
    struct stat st;
    if (::lstat(path->c_str(), &st) != 0) return fail_for_path(*path);
    if (S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && is_read_only(st.st_mode)))
        return fail_with(ERROR_ACCESS_DENIED);
    // A file that a handle holds open without FILE_SHARE_DELETE stays. The lock is held
    // until the name is gone, so nobody can lock the file in between.
    int fd = S_ISREG(st.st_mode) ? ::open(path->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
    UniqueFd guard(fd);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return fail_with(ERROR_SHARING_VIOLATION);
    if (::unlink(path->c_str()) != 0) return fail_for_path(*path);
    return TRUE;
}
