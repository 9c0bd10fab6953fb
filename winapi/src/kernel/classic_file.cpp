// The classic file handle functions (_lcreat, _lopen, _llseek, _lread, _hread, _lwrite,
// _hwrite, _lclose) on top of descriptors kept in the process's HFILE table.

#include "kernel/file_error.h"
#include "kernel/file_handle_table.h"
#include "kernel/native_path.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <winbase.h>
#include <winerror.h>

namespace winapi::kernel {
namespace {

// Largest single read or write handed to the system; longer transfers loop.
constexpr size_t max_transfer = 1 << 30;

// The attribute bits _lcreat accepts: read-only, hidden and system. Only read-only has an
// effect here; hidden and system have no meaning on this file system.
constexpr int lcreat_attribute_mask = 0x7;
constexpr int lcreat_read_only = 0x1;

bool is_read_only(mode_t mode) {
    return (mode & 0222) == 0;
}

// The open file behind a handle, or null with ERROR_INVALID_HANDLE.
std::shared_ptr<OpenFile> file_or_error(HFILE handle) {
    std::shared_ptr<OpenFile> file = file_handles().find(handle);
    if (!file) SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

// Sets the last error for a failed read or write on a valid handle. A descriptor that refuses
// the direction (a read-only handle written to) reports access denied, as Windows does.
void set_transfer_error(int err) {
    SetLastError(err == EBADF ? ERROR_ACCESS_DENIED : error_from_errno(err));
}

// Registers a freshly opened descriptor, or closes it when the table is full.
HFILE register_descriptor(int fd) {
    HFILE handle = file_handles().add(fd);
    if (handle == HFILE_ERROR) SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return handle;
}

// Reads up to `count` bytes, stopping early only at the end of the file. Returns the count
// read, or -1 with errno set.
int64_t read_fully(int fd, char* data, size_t count) {
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::read(fd, data + done, std::min(count - done, max_transfer));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

// Writes all `count` bytes. A write that stops short (the disk is full) is an error, never
// a partial success. Returns false with errno set.
bool write_fully(int fd, const char* data, size_t count) {
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd, data + done, std::min(count - done, max_transfer));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Reads into a caller's buffer through a handle: the count read, or -1 with the last error.
int64_t read_handle(HFILE handle, void* buffer, size_t count) {
    std::shared_ptr<OpenFile> file = file_or_error(handle);
    if (!file) return -1;
    if (count == 0) return 0;
    if (!buffer) {
        SetLastError(ERROR_NOACCESS);
        return -1;
    }
    int64_t got = read_fully(file->fd(), static_cast<char*>(buffer), count);
    if (got < 0) set_transfer_error(errno);
    return got;
}

// Writes a caller's buffer through a handle: true, or false with the last error.
bool write_handle(HFILE handle, const char* buffer, size_t count) {
    std::shared_ptr<OpenFile> file = file_or_error(handle);
    if (!file) return false;
    if (count == 0) return true;
    if (!buffer) {
        SetLastError(ERROR_NOACCESS);
        return false;
    }
    if (write_fully(file->fd(), buffer, count)) return true;
    set_transfer_error(errno);
    return false;
}

// The position a seek asks for, from the file's current position and size.
bool seek_base(int fd, int origin, off_t& base) {
    struct stat st;
    switch (origin) {
    case FILE_BEGIN:
        base = 0;
        return true;
    case FILE_CURRENT:
        base = ::lseek(fd, 0, SEEK_CUR);
        return base >= 0;
    case FILE_END:
        if (::fstat(fd, &st) != 0) return false;
        base = st.st_size;
        return true;
    default:
        errno = EINVAL;
        return false;
    }
}

} // namespace
} // namespace winapi::kernel

using namespace winapi::kernel;

HFILE WINAPI _lcreat(LPCSTR lpPathName, int iAttribute) {
    std::optional<std::string> path = native_path_or_error(lpPathName);
    if (!path) return HFILE_ERROR;
    if (iAttribute & ~lcreat_attribute_mask) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    // An existing read-only file is not emptied, and a directory is not a file.
    struct stat st;
    if (::stat(path->c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || is_read_only(st.st_mode))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return HFILE_ERROR;
    }
    bool read_only = iAttribute & lcreat_read_only;
    int fd = ::open(path->c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, read_only ? 0444 : 0666);
    if (fd < 0) {
        fail_for_path(*path);
        return HFILE_ERROR;
    }
    // The attribute applies to an emptied file as well; the handle itself stays writable.
    if (read_only && ::fstat(fd, &st) == 0) ::fchmod(fd, st.st_mode & 07555);
    return register_descriptor(fd);
}

HFILE WINAPI _lopen(LPCSTR lpPathName, int iReadWrite) {
    std::optional<std::string> path = native_path_or_error(lpPathName);
    if (!path) return HFILE_ERROR;
    int access = iReadWrite & 0x3;
    int sharing = iReadWrite & 0x70;
    if (access == 0x3 || sharing > OF_SHARE_DENY_NONE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    int flags = access == OF_WRITE ? O_WRONLY : access == OF_READWRITE ? O_RDWR : O_RDONLY;
    int fd = ::open(path->c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        fail_for_path(*path);
        return HFILE_ERROR;
    }
    // Directories open for reading here but are not files on Windows, and a read-only file
    // refuses writers even when the system would let this user write it.
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) ||
        (access != OF_READ && is_read_only(st.st_mode))) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return HFILE_ERROR;
    }
    return register_descriptor(fd);
}

LONG WINAPI _llseek(HFILE hFile, LONG lOffset, int iOrigin) {
    std::shared_ptr<OpenFile> file = file_or_error(hFile);
    if (!file) return HFILE_ERROR;
    off_t base = 0;
    if (!seek_base(file->fd(), iOrigin, base)) {
        SetLastError(error_from_errno(errno));
        return HFILE_ERROR;
    }
    // A position before the start fails and leaves the position where it was. A position
    // past the end is allowed; writing there fills the gap with zeros. Positions beyond what
    // the LONG result can express are refused rather than reported wrongly.
    off_t target = base + lOffset;
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return HFILE_ERROR;
    }
    if (target > LONG_MAX) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    if (::lseek(file->fd(), target, SEEK_SET) < 0) {
        SetLastError(error_from_errno(errno));
        return HFILE_ERROR;
    }
    return static_cast<LONG>(target);
}

UINT WINAPI _lread(HFILE hFile, LPVOID lpBuffer, UINT uBytes) {
    int64_t got = read_handle(hFile, lpBuffer, uBytes);
    return got < 0 ? static_cast<UINT>(HFILE_ERROR) : static_cast<UINT>(got);
}

LONG WINAPI _hread(HFILE hFile, LPVOID lpBuffer, LONG lBytes) {
    if (lBytes < 0) {
        SetLastError(file_handles().find(hFile) ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return HFILE_ERROR;
    }
    int64_t got = read_handle(hFile, lpBuffer, static_cast<size_t>(lBytes));
    return got < 0 ? HFILE_ERROR : static_cast<LONG>(got);
}

UINT WINAPI _lwrite(HFILE hFile, LPCCH lpBuffer, UINT uBytes) {
    return write_handle(hFile, lpBuffer, uBytes) ? uBytes : static_cast<UINT>(HFILE_ERROR);
}

LONG WINAPI _hwrite(HFILE hFile, LPCCH lpBuffer, LONG lBytes) {
    if (lBytes < 0) {
        SetLastError(file_handles().find(hFile) ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return HFILE_ERROR;
    }
    return write_handle(hFile, lpBuffer, static_cast<size_t>(lBytes)) ? lBytes : HFILE_ERROR;
}

HFILE WINAPI _lclose(HFILE hFile) {
    if (!file_handles().remove(hFile)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return HFILE_ERROR;
    }
    return 0;
}
