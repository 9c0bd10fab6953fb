#include "module/library_name.h"

#include "module/module_list.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

namespace winapi::module {

namespace {

bool is_regular_file(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string join(const std::string& directory, const std::string& file_name) {
    if (directory.empty()) return file_name;
    if (directory.back() == '/') return directory + file_name;
    return directory + '/' + file_name;
}

} // namespace

std::string map_library_name(std::string_view name) {
    std::string mapped(name);
    std::replace(mapped.begin(), mapped.end(), '\\', '/');
    size_t slash = mapped.rfind('/');
    size_t name_start = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = mapped.rfind('.');
    if (dot == std::string::npos || dot < name_start) return mapped + ".so";
    if (dot + 1 == mapped.size()) return mapped.substr(0, dot);
    if (equal_ignoring_case(std::string_view(mapped).substr(dot), ".dll"))
        return mapped.substr(0, dot) + ".so";
    return mapped;
}

bool has_directory(std::string_view name) {
    return name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos;
}

std::string file_name_of(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string directory_of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string absolute_path(const std::string& path) {
    char buffer[PATH_MAX];
    if (path.empty() || !realpath(path.c_str(), buffer)) return path;
    return buffer;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<std::string> find_in_directory(const std::string& directory,
                                             const std::string& file_name) {
    std::string exact = join(directory, file_name);
    if (is_regular_file(exact)) return exact;
    DIR* listing = opendir(directory.empty() ? "." : directory.c_str());
    if (!listing) return std::nullopt;
    std::optional<std::string> found;
    while (dirent* entry = readdir(listing)) {
        if (!equal_ignoring_case(entry->d_name, file_name)) continue;
        std::string candidate = join(directory, entry->d_name);
        if (is_regular_file(candidate)) {
            found = candidate;
            break;
        }
    }
    closedir(listing);
    return found;
}

std::vector<std::string> library_search_folders(const std::string& caller_directory) {
    std::vector<std::string> folders;
    if (const char* variable = std::getenv("LANTERNIX_LIBRARY_PATH")) {
        std::string_view rest(variable);
        while (!rest.empty()) {
            size_t colon = rest.find(':');
            std::string_view folder = rest.substr(0, colon);
            if (!folder.empty()) folders.emplace_back(folder);
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
    }
    if (!caller_directory.empty()) folders.push_back(caller_directory);
    if (std::optional<LoadedModule> program = find_module(nullptr);
        program && !program->path.empty())
        folders.push_back(directory_of(program->path));
    return folders;
}

std::optional<std::string> find_library_file(const std::string& mapped_name,
                                             const std::string& caller_directory) {
    if (mapped_name.empty()) return std::nullopt;
    if (has_directory(mapped_name))
        return find_in_directory(directory_of(mapped_name), file_name_of(mapped_name));
    for (const std::string& folder : library_search_folders(caller_directory)) {
        if (std::optional<std::string> path = find_in_directory(folder, mapped_name)) return path;
    }
    return std::nullopt;
}

} // namespace winapi::module
