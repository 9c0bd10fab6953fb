#include "kernel/system_directories.h"

#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <winbase.h>

namespace winapi::kernel {
namespace {

// An environment variable, or empty when it is unset.
std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The user's home folder: $HOME, else the password database's entry.
std::string home_directory() {
    std::string home = environment("HOME");
    if (!home.empty()) return home;
    std::vector<char> buffer(16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return found->pw_dir;
    return "/tmp";
}

// Creates a folder and its missing parents; failures show up later, when the folder is used.
void make_directories(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0777);
    ::mkdir(path.c_str(), 0777);
}

// Copies a path to a caller's buffer under the Win32 contract: the length without the
// terminator when it fits, else the size needed including the terminator, with the buffer
// left as it was.
DWORD copy_path(const std::string& path, char* buffer, size_t size) {
    if (!buffer || path.size() >= size) return static_cast<DWORD>(path.size() + 1);
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

} // namespace

std::string windows_directory() {
    // XDG base directories must be absolute paths; anything else is ignored.
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/') config = home_directory() + "/.config";
    while (config.size() > 1 && config.back() == '/')
        config.pop_back();
    std::string directory = config == "/" ? "/lanternix" : config + "/lanternix";
    make_directories(directory);
    return directory;
}

std::string temp_directory() {
    std::string directory = environment("TMPDIR");
    if (directory.empty()) directory = "/tmp/";
    if (directory.back() != '/') directory += '/';
    return directory;
}

} // namespace winapi::kernel

using namespace winapi::kernel;

DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
    return copy_path(temp_directory(), lpBuffer, nBufferLength);
}

UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) {
    return copy_path(windows_directory(), lpBuffer, uSize);
}
