// How Win32 library names become files here, and where libraries are searched for.
#pragma once

#include "common/internal_api.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace winapi::module {

// Maps a Win32 library name to a file name of this system: backslashes become slashes, a
// trailing ".dll" (any case) becomes ".so", a name without extension gets ".so", and a name
// ending in a dot (Win32's way to say "no extension") loses the dot.
LX_INTERNAL_API std::string map_library_name(std::string_view name);

// True when the (mapped) name holds a directory, so it is used as a path, not searched for.
bool has_directory(std::string_view name);

std::string file_name_of(const std::string& path);
std::string directory_of(const std::string& path);

// The path with symbolic links and relative parts resolved; the path itself when it does not
// exist.
std::string absolute_path(const std::string& path);

bool equal_ignoring_case(std::string_view a, std::string_view b);

// Looks for `file_name` in `directory`: the exact name first, then, as on a Windows file
// system, a name that differs only in ASCII case. Returns the file's path.
std::optional<std::string> find_in_directory(const std::string& directory,
                                             const std::string& file_name);

// The folders a name without a directory is searched in, in order: each folder of
// LANTERNIX_LIBRARY_PATH, then `caller_directory` (the folder of the module asking), then the
// program's folder.
std::vector<std::string> library_search_folders(const std::string& caller_directory);

// Finds the file for a mapped library name: a name with a directory is looked up as it is
// (its file name case-insensitively), a bare name in the search folders. Empty when there is
// no such file.
std::optional<std::string> find_library_file(const std::string& mapped_name,
                                             const std::string& caller_directory);

} // namespace winapi::module
