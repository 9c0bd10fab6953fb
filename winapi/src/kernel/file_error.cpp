#include "kernel/file_error.h"

#include "kernel/native_path.h"

#include <cerrno>
#include <sys/stat.h>
#include <winerror.h>

namespace winapi::kernel {

DWORD error_from_errno(int err) {
    switch (err) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EFAULT:
        return ERROR_NOACCESS;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ELOOP:
        return ERROR_INVALID_NAME;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

static bool is_directory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

DWORD error_for_path(int err, const std::string& path) {
    if (err == ENOENT && !is_directory(parent_directory(path))) return ERROR_PATH_NOT_FOUND;
    return error_from_errno(err);
}

bool fail_for_path(const std::string& path) {
    SetLastError(error_for_path(errno, path));
    return false;
}

} // namespace winapi::kernel
