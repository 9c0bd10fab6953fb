// The private-profile functions on INI files: GetPrivateProfileStringA,
// GetPrivateProfileIntA and WritePrivateProfileStringA.
//
// Every call reads the file afresh, so changes made by another process (or by hand) are
// seen at once. A rewrite goes to a temporary file in the same folder that then replaces
// the profile in one rename: a crash leaves the old profile or the new one, never a torn one.

#include "kernel/file_error.h"
#include "kernel/ini_document.h"
#include "kernel/native_path.h"
#include "kernel/staged_file.h"
#include "kernel/system_directories.h"
#include "kernel/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <winbase.h>
#include <winerror.h>

namespace winapi::kernel {
namespace {

// Where a profile lives: a bare file name in the Windows directory, a path as given.
std::string profile_path(const char* file_name) {
    if (has_separator(file_name)) return native_path(file_name);
    return windows_directory() + "/" + file_name;
}

// The whole content of a file; ERROR_SUCCESS, or the Win32 code of the failure.
DWORD read_file(const std::string& path, std::string& bytes) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return error_for_path(errno, path);
    char buffer[16 * 1024];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return error_from_errno(errno);
        if (n == 0) return ERROR_SUCCESS;
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

// A value without the single or double quotes that enclose it, as Windows returns it.
std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The default string without trailing blanks, which Windows cuts off.
std::string_view default_value(const char* text) {
    std::string_view value = text ? text : "";
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.remove_suffix(1);
    return value;
}

// Copies one string: cut to size - 1 characters when it does not fit. Returns the count
// copied without the terminator. `size` is at least 1.
DWORD copy_string(std::string_view text, char* buffer, DWORD size) {
    size_t count = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<DWORD>(count);
}

// Copies a list of names, each ending in a nul, with a second nul after the last. When the
// list does not fit it is cut after size - 2 characters and ended with two nuls, and the
// result is size - 2. The result never counts the final nul. `size` is at least 1.
DWORD copy_list(const std::vector<std::string>& names, char* buffer, DWORD size) {
    std::string list;
    for (const std::string& name : names)
        list.append(name).push_back('\0');
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        if (list.empty() && size >= 2) buffer[1] = '\0';
        return static_cast<DWORD>(list.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = buffer[size - 1] = '\0';
    return size - 2;
}

// The integer at the start of a value: optional sign, then decimal digits; 0 when there
// are none. Overflow wraps around, as the 32-bit result of Windows does.
UINT parse_profile_int(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint32_t result = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        result = result * 10u + static_cast<uint32_t>(text[i] - '0');
    return negative ? 0u - result : result;
}

// The file a rewrite replaces: the target of a symbolic link, so the link stays a link.
std::string resolved_target(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string result = real;
    std::free(real);
    return result;
}

// Writes a document over the profile at `path`, keeping the permissions of the file it
// replaces. A read-only profile is not rewritten, as on Windows.
bool save(const std::string& path, const IniDocument& document) {
    std::string target = resolved_target(path);
    struct stat st;
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && (S_ISDIR(st.st_mode) || (st.st_mode & 0222) == 0)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    StagedFile staged(target, 0666);
    if (staged.error() == ERROR_SUCCESS && exists) staged.set_mode(st.st_mode & 07777);
    if (staged.error() == ERROR_SUCCESS) staged.write(document.bytes());
    if (staged.error() == ERROR_SUCCESS) staged.commit(true, true);
    if (staged.error() == ERROR_SUCCESS) return true;
    SetLastError(staged.error());
    return false;
}

} // namespace
} // namespace winapi::kernel

using namespace winapi::kernel;

DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                      LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
    if (!lpReturnedString || nSize == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        lpReturnedString[0] = '\0';
        return 0;
    }
    std::string bytes;
    DWORD read_error = read_file(profile_path(lpFileName), bytes);
    IniDocument document(bytes);
    if (read_error != ERROR_SUCCESS) SetLastError(read_error);
    if (!lpAppName) return copy_list(document.section_names(), lpReturnedString, nSize);
    if (!lpKeyName) {
        std::optional<std::vector<std::string>> keys = document.key_names(lpAppName);
        return copy_list(keys ? *keys : std::vector<std::string>{}, lpReturnedString, nSize);
    }
    std::optional<std::string> value = document.value(lpAppName, lpKeyName);
    if (!value) {
        if (read_error == ERROR_SUCCESS) SetLastError(ERROR_FILE_NOT_FOUND);
        return copy_string(default_value(lpDefault), lpReturnedString, nSize);
    }
    return copy_string(unquote(*value), lpReturnedString, nSize);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault,
                                  LPCSTR lpFileName) {
    if (!lpAppName || !lpKeyName || !lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return static_cast<UINT>(nDefault);
    }
    std::string bytes;
    DWORD read_error = read_file(profile_path(lpFileName), bytes);
    std::optional<std::string> value = IniDocument(bytes).value(lpAppName, lpKeyName);
    // A missing key, and a key whose value is empty, give the default; any other value
    // gives the number it starts with (0 when it starts with none).
    std::string_view text = value ? unquote(*value) : std::string_view{};
    if (text.empty()) {
        SetLastError(read_error != ERROR_SUCCESS ? read_error : ERROR_FILE_NOT_FOUND);
        return static_cast<UINT>(nDefault);
    }
    return parse_profile_int(text);
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                       LPCSTR lpFileName) {
    if (!lpAppName || !lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = profile_path(lpFileName);
    std::string bytes;
    DWORD read_error = read_file(path, bytes);
    if (read_error != ERROR_SUCCESS && read_error != ERROR_FILE_NOT_FOUND) {
        SetLastError(read_error);
        return FALSE;
    }
    IniDocument document(bytes);
    bool changed = !lpKeyName  ? document.remove_section(lpAppName)
                   : !lpString ? document.remove_key(lpAppName, lpKeyName)
                               : document.set_value(lpAppName, lpKeyName, lpString);
    // Nothing to change leaves the file alone; deleting from a missing file creates none.
    if (!changed) return TRUE;
    return save(path, document);
}
