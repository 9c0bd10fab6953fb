// Classic file handles beyond what Win32 offers: not a Win32 interface.
#pragma once

#include <windef.h>

namespace winapi::files {

// A second handle to the file open behind `file`, which the caller closes with _lclose. It
// stays usable after `file` is closed: a module that is handed an open file only for the
// length of a call (the movie engine) keeps reading the file through it, including what is
// written to the file later. HFILE_ERROR (with ERROR_INVALID_HANDLE) when `file` is not an
// open handle, or ERROR_TOO_MANY_OPEN_FILES when no handle is left.
__attribute__((visibility("default"))) HFILE duplicate_file_handle(HFILE file);

} // namespace winapi::files
