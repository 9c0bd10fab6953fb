// The file dialogs behind GetOpenFileNameA and GetSaveFileNameA: what the caller asked for,
// and the dialog window that lets a person choose.
#pragma once

#include <windows.h>

#include <winapi/desktop.h>

#include <string>
#include <vector>

namespace winapi::commdlg {

struct FileDialogRequest {
    bool save = false;
    DWORD flags = 0;
    std::string title;
    std::string initial_name;      // the name proposed in the name box
    std::string folder;            // the folder listed first
    std::string default_extension; // without its dot
    std::vector<desktop::FileFilter> filters;
    size_t filter_index = 0; // 0-based
    HWND owner = nullptr;
};

// Runs the dialog. IDOK with the chosen path (as typed, made absolute against the listed
// folder) when the person pressed OK and the name passed the checks the flags ask for;
// IDCANCEL when the person cancelled; -1 when the dialog could not be made.
int run_file_dialog(const FileDialogRequest& request, std::string* path);

// Splits "Description\0pattern\0...\0\0" into filters.
std::vector<desktop::FileFilter> parse_filters(const char* filter);

// The checks OK makes, on a path already made absolute; asks the person (message boxes
// owned by `dialog`) where the flags say so. Returns the final path (the default extension
// added), or an empty string when the dialog must stay open.
std::string accept_path(HWND dialog, const FileDialogRequest& request, std::string path);

} // namespace winapi::commdlg
