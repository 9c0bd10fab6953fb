// FindFirstFileA, FindNextFileA and FindClose: listing a folder's entries that match a
// pattern with '*' and '?', as Windows matches them.

#include "kernel/file_error.h"
#include "kernel/native_path.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <winbase.h>
#include <winerror.h>

namespace winapi::kernel {
namespace {

// Find handles are numbers of their own, far above the classic file handles, so that a
// find handle is never taken for a file or the other way round.
constexpr INT_PTR first_find_handle = 0x10000;

// Seconds from 1601-01-01, where Windows counts file times from, to 1970-01-01.
constexpr uint64_t seconds_1601_to_1970 = 11644473600ull;

struct FindState {
    DIR* folder = nullptr;
    std::string folder_path;
    std::string pattern;
    ~FindState() {
        if (folder) closedir(folder);
    }
};

struct FindTable {
    std::mutex mutex;
    std::map<INT_PTR, std::unique_ptr<FindState>> states;
    INT_PTR next = first_find_handle;
};

FindTable& find_table() {
    static FindTable table;
    return table;
}

char fold(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Whether `name` matches `pattern`: '*' any run, '?' one character, the rest without regard
// to ASCII case. Backtracks only to the last '*', so it takes linear time per star.
bool matches(const char* pattern, const char* name) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || (*pattern && fold(*pattern) == fold(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

FILETIME file_time(const struct timespec& time) {
    uint64_t ticks = (static_cast<uint64_t>(time.tv_sec) + seconds_1601_to_1970) * 10000000ull +
                     static_cast<uint64_t>(time.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

void fill(const std::string& folder, const char* name, WIN32_FIND_DATAA& data) {
    std::memset(&data, 0, sizeof data);
    std::strcpy(data.cFileName, name);
    struct stat st {};
    if (::stat((folder + "/" + name).c_str(), &st) != 0) {
        data.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
        return;
    }
    DWORD attributes = 0;
    if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if ((st.st_mode & 0222) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
    data.dwFileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    data.ftCreationTime = file_time(st.st_mtim);
    data.ftLastAccessTime = file_time(st.st_atim);
    data.ftLastWriteTime = file_time(st.st_mtim);
    uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size);
}

// The next entry that matches, into `data`; false at the end of the folder.
bool next_match(FindState& state, WIN32_FIND_DATAA& data) {
    while (dirent* entry = readdir(state.folder)) {
        if (std::strlen(entry->d_name) >= sizeof data.cFileName) continue;
        if (!matches(state.pattern.c_str(), entry->d_name)) continue;
        fill(state.folder_path, entry->d_name, data);
        return true;
    }
    return false;
}

FindState* find_state(HANDLE handle) {
    auto it = find_table().states.find(reinterpret_cast<INT_PTR>(handle));
    return it == find_table().states.end() ? nullptr : it->second.get();
}

} // namespace
} // namespace winapi::kernel

using namespace winapi::kernel;

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    std::optional<std::string> path = native_path_or_error(lpFileName);
    if (!path) return INVALID_HANDLE_VALUE;
    if (!lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto state = std::make_unique<FindState>();
    state->folder_path = parent_directory(*path);
    state->pattern = path->back() == '/' ? std::string() : last_component(*path);
    // "*.*" is Windows' way of saying every name, with a dot or without.
    if (state->pattern == "*.*") state->pattern = "*";
    state->folder = opendir(state->folder_path.c_str());
    if (!state->folder) {
        SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                         : error_from_errno(errno));
        return INVALID_HANDLE_VALUE;
    }
    if (state->pattern.empty() || !next_match(*state, *lpFindFileData)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::lock_guard<std::mutex> lock(find_table().mutex);
    INT_PTR handle = find_table().next++;
    find_table().states[handle] = std::move(state);
    SetLastError(ERROR_SUCCESS);
    return reinterpret_cast<HANDLE>(handle);
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    std::lock_guard<std::mutex> lock(find_table().mutex);
    FindState* state = find_state(hFindFile);
    if (!state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (next_match(*state, *lpFindFileData)) return TRUE;
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    std::lock_guard<std::mutex> lock(find_table().mutex);
    if (find_table().states.erase(reinterpret_cast<INT_PTR>(hFindFile)) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
