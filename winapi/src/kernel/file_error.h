// Win32 error codes for the failures of this system's file calls.
#pragma once

#include <string>
#include <windef.h>

namespace winapi::kernel {

// The Win32 code for an errno value of a file call that did not concern one path.
DWORD error_from_errno(int err);

// The Win32 code for an errno value of a call on `path` (native). A missing file is
// ERROR_FILE_NOT_FOUND when the folder that should hold it exists, and ERROR_PATH_NOT_FOUND
// when the folder itself is missing, as Windows distinguishes them.
DWORD error_for_path(int err, const std::string& path);

// Sets the last error from errno for a call on `path` and returns false, so that failure
// paths read `return fail_for_path(path);`.
bool fail_for_path(const std::string& path);

} // namespace winapi::kernel
