// Turning the paths that Win32 code writes into paths of this system.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace winapi::kernel {

// The system path for a path written by Win32 code: every '\\' becomes '/', nothing else
// changes.
std::string native_path(std::string_view path);

// Like native_path, for a path handed to a public function: a null path sets
// ERROR_INVALID_PARAMETER and an empty one ERROR_PATH_NOT_FOUND, and both give nothing.
std::optional<std::string> native_path_or_error(const char* path);

// The directory that holds the last component of a native path, without trailing
// separators: "." for a bare name, "/" for a name in the root.
std::string parent_directory(std::string_view path);

// The last component of a native path; trailing separators are ignored.
std::string last_component(std::string_view path);

// True when the path names a folder as well as a file, i.e. holds either separator.
bool has_separator(std::string_view path);

} // namespace winapi::kernel
