#include "kernel/file_handle_table.h"

#include <winapi/file_handles.h>
#include <winbase.h>
#include <winerror.h>

#include <fcntl.h>
#include <unistd.h>

namespace winapi::files {

HFILE duplicate_file_handle(HFILE file) {
    std::shared_ptr<kernel::OpenFile> open = kernel::file_handles().find(file);
    if (!open) {
        SetLastError(ERROR_INVALID_HANDLE);
        return HFILE_ERROR;
    }
    int fd = ::fcntl(open->fd(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return HFILE_ERROR;
    }
    HFILE copy = kernel::file_handles().add(fd);
    if (copy == HFILE_ERROR) SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return copy;
}

} // namespace winapi::files
