#include <winerror.h>

// The last error is per thread, as on Windows.
static thread_local DWORD t_last_error = ERROR_SUCCESS;

DWORD WINAPI GetLastError(void) {
    return t_last_error;
}

void WINAPI SetLastError(DWORD code) {
    t_last_error = code;
}
