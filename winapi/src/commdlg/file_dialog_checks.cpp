// What OK does in a file dialog: the default extension, and the checks and questions the
// flags ask for, before the dialog may close.
#include "commdlg/file_dialog.h"

#include <commdlg.h>

#include <sys/stat.h>

namespace winapi::commdlg {

namespace {

bool exists(const std::string& path, bool* is_directory) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return false;
    if (is_directory) *is_directory = S_ISDIR(info.st_mode);
    return true;
}

std::string folder_of(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string name_of(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string with_default_extension(const std::string& path, const std::string& extension) {
    if (extension.empty() || name_of(path).find('.') != std::string::npos) return path;
    return path + "." + extension;
}

int ask(HWND dialog, const FileDialogRequest& request, const std::string& text, UINT type) {
    return MessageBoxA(dialog, text.c_str(), request.title.c_str(), type);
}

} // namespace

std::vector<desktop::FileFilter> parse_filters(const char* filter) {
    std::vector<desktop::FileFilter> filters;
    if (!filter) return filters;
    const char* p = filter;
    while (*p) {
        desktop::FileFilter pair;
        pair.description = p;
        p += pair.description.size() + 1;
        pair.pattern = p;
        p += pair.pattern.size() + (*p ? 1 : 0);
        filters.push_back(pair);
        if (pair.pattern.empty()) break;
    }
    return filters;
}

std::string accept_path(HWND dialog, const FileDialogRequest& request, std::string path) {
    // An open dialog takes an existing file as typed when the name with the default extension
    // does not exist: programs here rarely carry the extension such dialogs ask for.
    std::string extended = with_default_extension(path, request.default_extension);
    if (request.save || exists(extended, nullptr) || !exists(path, nullptr)) path = extended;
    bool is_directory = false;
    std::string folder = folder_of(path);
    bool folder_is_directory = false;
    bool need_folder = request.save || (request.flags & OFN_PATHMUSTEXIST);
    if (need_folder && (!exists(folder, &folder_is_directory) || !folder_is_directory)) {
        ask(dialog, request, path + "\nPath does not exist.\nCheck the path and try again.",
            MB_OK | MB_ICONWARNING);
        return {};
    }
    bool present = exists(path, &is_directory);
    if (present && is_directory) return {}; // the caller opens folders instead
    if (!request.save && (request.flags & OFN_FILEMUSTEXIST) && !present) {
        ask(dialog, request, path + "\nFile not found.\nCheck the file name and try again.",
            MB_OK | MB_ICONWARNING);
        return {};
    }
    if (request.save && (request.flags & OFN_OVERWRITEPROMPT) && present) {
        std::string question = name_of(path) + " already exists.\nDo you want to replace it?";
        if (ask(dialog, request, question, MB_YESNO | MB_ICONWARNING) != IDYES) return {};
    }
    return path;
}

} // namespace winapi::commdlg
