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

// The file part of a path built by JoinPath.
const char* NamePart(const char* path) {
    const char* separator = strrchr(path, '\\');
    return separator ? separator + 1 : path;
}

} // namespace

BOOL MovieInstance::CreateCacheFile() {
    if (!PluginPreferences) return FALSE;
    // Two instances whose streams begin within the same tenth of a second would get the same
    // name, and a file of that name may be somebody's kept copy: a name whose file exists is
    // never emptied, the next number is tried instead.
    int number = static_cast<int>(StreamStartTick / 100);
    for (int attempt = 0; attempt < CacheNameAttempts; ++attempt, ++number) {
        char name[32];
        snprintf(name, sizeof name, "LX%6.6d.mov", number);
        // A path that does not fit is refused rather than cut short, which would put the
        // file somewhere else than the cache directory.
        if (!JoinPath(CacheFilePath, PluginPreferences->CacheDirectory, name)) break;
        if (GetFileAttributesA(CacheFilePath) != INVALID_FILE_ATTRIBUTES) continue;
        HFILE file = _lcreat(CacheFilePath, 0);
        if (file == HFILE_ERROR) break;
        CacheFile = static_cast<short>(file);
        return TRUE;
    }
    CacheFilePath[0] = '\0';
    return FALSE;
}

void MovieInstance::DisposeCacheFile() {
    if (!CacheFilePath[0]) return;
    // Only a copy of the whole movie is kept: a stream that ended short, or that the host
    // broke off, would otherwise replace an older good copy with a damaged one.
    BOOL keep = PluginPreferences && (PluginPreferences->Flags & Preferences::DontDeleteMovies) &&
                StreamComplete && StreamLength <= BytesWritten;
    char target[PathSize];
    if (keep && IsSafeFileName(FileName) &&
        JoinPath(target, PluginPreferences->CacheDirectory, FileName)) {
        // The cache file already carries the movie's name: it stays as it is.
        if (lstrcmpiA(NamePart(CacheFilePath), FileName) == 0) return;
        DeleteFileA(target);
        MoveFileA(CacheFilePath, target);
    }
    // Removes the cache file when it was not kept, or when the move failed.
    DeleteFileA(CacheFilePath);
}
