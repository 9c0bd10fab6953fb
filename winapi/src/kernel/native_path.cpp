#include "kernel/native_path.h"

#include <algorithm>
#include <winerror.h>

namespace winapi::kernel {

std::string native_path(std::string_view path) {
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

std::optional<std::string> native_path_or_error(const char* path) {
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    if (!*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    return native_path(path);
}

// The path with trailing separators removed, except for the root itself.
static std::string_view without_trailing_separators(std::string_view path) {
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

std::string parent_directory(std::string_view path) {
    path = without_trailing_separators(path);
    size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return ".";
    std::string_view parent = without_trailing_separators(path.substr(0, slash + 1));
    return std::string(parent);
}

std::string last_component(std::string_view path) {
    path = without_trailing_separators(path);
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool has_separator(std::string_view path) {
    return path.find_first_of("/\\") != std::string_view::npos;
}

} // namespace winapi::kernel
