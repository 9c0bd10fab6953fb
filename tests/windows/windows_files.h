// The files the plug-in leaves behind, seen through the system's own file functions: the
// cache files in the temporary directory and the profile in the Windows directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace winhost {

// GetTempPathA, with its trailing backslash.
std::string temporary_directory();
// GetWindowsDirectoryA, without a trailing backslash.
std::string windows_directory();

// The whole file, empty when it cannot be read. Other handles may have it open.
std::vector<uint8_t> read_whole_file(const std::string& path);
bool file_exists(const std::string& path);

// The names of the files in `folder` that match `pattern` ("LX*.mov").
std::vector<std::string> list_files(const std::string& folder, const char* pattern);

// A value of an initialisation file, or "(missing)" when the key is not there.
std::string profile_value(const std::string& file, const char* section, const char* key);

} // namespace winhost
