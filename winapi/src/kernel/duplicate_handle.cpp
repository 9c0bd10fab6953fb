// DuplicateHandle and GetCurrentProcess for file handles. A copy is a second handle to the
// same open file, as on Windows: it shares the file position, stays usable after the
// original is closed, and sees what is written to the file later. That is what lets a module
// that is handed an open file only for the length of a call (the movie engine) keep reading
// the file while it grows.
#include "kernel/file_handle_table.h"

#include <winbase.h>
#include <winerror.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The pseudo handle of the current process, the value Windows uses.
HANDLE current_process() {
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));
}

// The file behind a handle value, when it is one of the table's.
std::shared_ptr<winapi::kernel::OpenFile> file_of(HANDLE handle) {
    using winapi::kernel::FileHandleTable;
    INT_PTR value = reinterpret_cast<INT_PTR>(handle);
    if (value < FileHandleTable::first_handle || value > FileHandleTable::last_handle)
        return nullptr;
    return winapi::kernel::file_handles().find(static_cast<HFILE>(value));
}

} // namespace

HANDLE WINAPI GetCurrentProcess(void) {
    return current_process();
}

BOOL WINAPI DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle,
                            HANDLE hTargetProcessHandle, LPHANDLE lpTargetHandle, DWORD, BOOL,
                            DWORD dwOptions) {
    if (!lpTargetHandle && !(dwOptions & DUPLICATE_CLOSE_SOURCE)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (lpTargetHandle) *lpTargetHandle = nullptr;
    // There is one process: a handle cannot be given to or taken from another.
    if (hSourceProcessHandle != current_process() ||
        (lpTargetHandle && hTargetProcessHandle != current_process())) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::shared_ptr<winapi::kernel::OpenFile> open = file_of(hSourceHandle);
    if (!open) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // A descriptor carries its access, so a copy has the original's whatever is asked.
    BOOL result = TRUE;
    if (lpTargetHandle) {
        int fd = ::fcntl(open->fd(), F_DUPFD_CLOEXEC, 0);
        HFILE copy = fd < 0 ? HFILE_ERROR : winapi::kernel::file_handles().add(fd);
        if (copy == HFILE_ERROR) {
            SetLastError(ERROR_TOO_MANY_OPEN_FILES);
            result = FALSE;
        } else {
            *lpTargetHandle = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(copy));
        }
    }
    // The source is closed whether or not the copy was made, as Windows does.
    if (dwOptions & DUPLICATE_CLOSE_SOURCE)
        winapi::kernel::file_handles().remove(
            static_cast<HFILE>(reinterpret_cast<INT_PTR>(hSourceHandle)));
    return result;
}
