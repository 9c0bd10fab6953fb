#include "windows_files.h"

#include "plugin_module.h"

#include <windows.h>

namespace winhost {

std::string temporary_directory() {
    char path[MAX_PATH] = "";
    DWORD length = GetTempPathA(sizeof path, path);
    return length < sizeof path ? std::string(path, length) : std::string();
}

std::string windows_directory() {
    char path[MAX_PATH] = "";
    UINT length = GetWindowsDirectoryA(path, sizeof path);
    return length < sizeof path ? std::string(path, length) : std::string();
}

std::vector<uint8_t> read_whole_file(const std::string& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    DWORD size = GetFileSize(file, nullptr);
    if (size != INVALID_FILE_SIZE) {
        bytes.resize(size);
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size) bytes.clear();
    }
    CloseHandle(file);
    return bytes;
}

bool file_exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> list_files(const std::string& folder, const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(join_path(folder, pattern).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

std::string profile_value(const std::string& file, const char* section, const char* key) {
    char value[512] = "";
    GetPrivateProfileStringA(section, key, "(missing)", value, sizeof value, file.c_str());
    return value;
}

} // namespace winhost
