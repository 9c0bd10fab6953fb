// File attributes as Windows reports them: folder, read-only (no one may write the file),
// or normal. Hidden, system and archive have no meaning on this file system.

#include "kernel/file_error.h"
#include "kernel/native_path.h"

#include <sys/stat.h>
#include <winbase.h>
#include <winerror.h>

using namespace winapi::kernel;

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    std::optional<std::string> path = native_path_or_error(lpFileName);
    if (!path) return INVALID_FILE_ATTRIBUTES;
    struct stat st;
    if (::stat(path->c_str(), &st) != 0) {
        fail_for_path(*path);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    if ((st.st_mode & 0222) == 0) return FILE_ATTRIBUTE_READONLY;
    return FILE_ATTRIBUTE_NORMAL;
}

BOOL WINAPI SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes) {
    std::optional<std::string> path = native_path_or_error(lpFileName);
    if (!path) return FALSE;
    struct stat st;
    if (::stat(path->c_str(), &st) != 0) return fail_for_path(*path);
    // Only the read-only bit of a file has an effect: it takes every write permission away,
    // and clearing it gives the owner write permission back. On a folder Windows does not
    // enforce read-only either, so folders are left alone.
    if (S_ISDIR(st.st_mode)) return TRUE;
    mode_t mode = st.st_mode & 07777;
    mode_t wanted = (dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~0222)
                    : (mode & 0222) == 0                         ? (mode | S_IWUSR)
                                                                 : mode;
    if (wanted != mode && ::chmod(path->c_str(), wanted) != 0) return fail_for_path(*path);
    return TRUE;
}
