// MovieInstance: the cache file the stream is written into, from its creation to its
// deletion, or to the copy of it that the preferences may ask to keep.
#include "movie/movie_instance.h"

#include "host/plugin_globals.h"

#include <stdio.h>
#include <string.h>

namespace {

// Names tried after the one the tick count gives, when that one is taken.
const int CacheNameAttempts = 100;

// The size of a path buffer, zero included.
const int PathSize = 256;

// Formats "<directory>\<name>" into a path buffer; FALSE when it does not fit.
BOOL JoinPath(char* path, const char* directory, const char* name) {
    int length = snprintf(path, PathSize, "%s\\%s", directory, name);
    return length >= 0 && length < PathSize;
}

BOOL IsDeviceName(const char* name) {
    static const char* const Devices[] = {"CON",    "PRN",    "AUX",    "NUL",
                                          "CLOCK$", "CONIN$", "CONOUT$"};
    // A device name stays one with any extension: "nul.mov" is the device too.
    char stem[8] = "";
    size_t length = strcspn(name, ".");
    if (length >= sizeof stem) return FALSE;
    memcpy(stem, name, length);
    stem[length] = '\0';
    for (const char* device : Devices) {
        if (lstrcmpiA(stem, device) == 0) return TRUE;
    }
    if (length != 4 || stem[3] < '1' || stem[3] > '9') return FALSE;
    stem[3] = '\0';
    return lstrcmpiA(stem, "COM") == 0 || lstrcmpiA(stem, "LPT") == 0;
}

// The kept copy's name comes from the page. It may only name a file directly inside the
// cache directory: one path component, not a device, not "." or "..", and nothing the
// file system would silently change (a trailing dot or space).
BOOL IsSafeFileName(const char* name) {
    size_t length = strlen(name);
    if (length == 0 || name[length - 1] == '.' || name[length - 1] == ' ') return FALSE;
    for (const char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 32 || strchr("\\/:*?\"<>|", c)) return FALSE;
    }
    return !IsDeviceName(name);
}

// Numbered names tried for a kept copy when the movie's own name is taken.
const int KeptNameAttempts = 100;

// Formats "<directory>\<stem> (<number>)<extension>" from the path of the unnumbered name,
// in place; FALSE when it does not fit. The extension is what follows the name's last dot.
BOOL NumberedName(char* path, const char* name, int number) {
    char* file = strrchr(path, '\\') + 1;
    const char* dot = strrchr(name, '.');
    int stem = dot ? static_cast<int>(dot - name) : lstrlenA(name);
    int room = PathSize - static_cast<int>(file - path);
    int length = snprintf(file, room, "%.*s (%d)%s", stem, name, number, dot ? dot : "");
    return length >= 0 && length < room;
}

// The file part of a path built by JoinPath.
const char* NamePart(const char* path) {
    const char* separator = strrchr(path, '\\');
    return separator ? separator + 1 : path;
}

// Whether `name` has the form of a cache file's name: "LX", six or more digits, ".mov".
BOOL IsCacheFileName(const char* name) {
    int length = lstrlenA(name);
    if (length < 12 || (name[0] != 'L' && name[0] != 'l') || (name[1] != 'X' && name[1] != 'x'))
        return FALSE;
    for (int i = 2; i < length - 4; ++i)
        if (name[i] < '0' || name[i] > '9') return FALSE;
    return lstrcmpiA(name + length - 4, ".mov") == 0;
}

} // namespace

void RemoveStaleCacheFiles(const char* directory) {
    char pattern[PathSize];
    if (!directory || !directory[0] || !JoinPath(pattern, directory, "LX*.mov")) return;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        char path[PathSize];
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            IsCacheFileName(entry.cFileName) && JoinPath(path, directory, entry.cFileName))
            DeleteFileA(path); // refused for a file that a live instance holds open
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

BOOL MovieInstance::CreateCacheFile() {
    if (!PluginPreferences || !PluginPreferences->CacheDirectory[0]) return FALSE;
    // Two instances, in this process or another, whose streams begin within the same tenth
    // of a second get the same name, and a file of that name may be somebody's kept copy.
    // The file is created only when the name is free, in one step with the test, so no file
    // is ever emptied or shared: on a clash the next number is tried.
    int number = static_cast<int>(StreamStartTick / 100);
    for (int attempt = 0; attempt < CacheNameAttempts; ++attempt, ++number) {
        char name[32];
        snprintf(name, sizeof name, "LX%6.6d.mov", number);
        // A path that does not fit is refused rather than cut short, which would put the
        // file somewhere else than the cache directory.
        if (!JoinPath(CacheFilePath, PluginPreferences->CacheDirectory, name)) break;
        HANDLE file = CreateFileA(CacheFilePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS)
                continue;
            break;
        }
        // A file handle is also a classic file handle, which the download uses.
        CacheFile = static_cast<short>(reinterpret_cast<INT_PTR>(file));
        return TRUE;
    }
    CacheFilePath[0] = '\0';
    return FALSE;
}

BOOL MovieInstance::KeepCacheFile() {
    char target[PathSize];
    // Without a cache directory the path would name the root of the file system.
    if (!PluginPreferences->CacheDirectory[0] || !IsSafeFileName(FileName) ||
        !JoinPath(target, PluginPreferences->CacheDirectory, FileName))
        return FALSE;
    // The cache file already carries the movie's name: it stays as it is.
    if (lstrcmpiA(NamePart(CacheFilePath), FileName) == 0) return TRUE;
    // The move never replaces a file: when the name is taken (by another movie's copy,
    // another instance's cache file or a file the user keeps there) the copy is kept as
    // "name (2).mov", "name (3).mov" and so on.
    for (int number = 1; number <= KeptNameAttempts; ++number) {
        if (number > 1 && !NumberedName(target, FileName, number)) return FALSE;
        if (MoveFileA(CacheFilePath, target)) return TRUE;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return FALSE;
    }
    return FALSE;
}

void MovieInstance::DisposeCacheFile() {
    if (!CacheFilePath[0]) return;
    // Only a copy of the whole movie is kept: a stream that ended short, or that the host
    // broke off, would otherwise leave a damaged copy under the movie's name.
    BOOL keep = PluginPreferences && (PluginPreferences->Flags & Preferences::DontDeleteMovies) &&
                StreamComplete && StreamLength <= BytesWritten;
    if (keep && KeepCacheFile()) return;
    // Removes the cache file when it was not kept, or when the move failed.
    DeleteFileA(CacheFilePath);
}
