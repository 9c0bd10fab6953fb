// The file dialog as a person sees it: the folder and its listing, a name box, the file
// type, OK and Cancel. Typing a folder's name and pressing OK lists that folder.
#include "commdlg/file_dialog.h"

#include "dialog/dialog_manager.h"
#include "kernel/native_path.h"
#include "window/modal_automation.h"

#include <commdlg.h>

#include <algorithm>
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

namespace winapi::commdlg {

namespace {

constexpr size_t kListedEntries = 14;

struct FileDialogRun {
    const FileDialogRequest* request = nullptr;
    std::string folder;
    std::string chosen;
};

dialog::DialogItem item(const char* cls, const char* title, UINT id, RECT rect, DWORD style) {
    dialog::DialogItem it;
    it.class_name = cls;
    it.title = title;
    it.id = id;
    it.rect = rect;
    it.style = WS_CHILD | WS_VISIBLE | style;
    return it;
}

dialog::DialogTemplate make_template(const FileDialogRequest& request) {
    dialog::DialogTemplate t;
    t.style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t.rect = RECT{0, 0, 260, 176};
    t.title = request.title;
    const char* ok = request.save ? "Save" : "Open";
    t.items = {
        item("STATIC", "", stc1, RECT{7, 6, 253, 16}, SS_LEFTNOWORDWRAP | SS_NOPREFIX),
        item("STATIC", "", lst1, RECT{7, 18, 253, 124}, SS_LEFT | SS_NOPREFIX),
        item("STATIC", "File &name:", stc3, RECT{7, 134, 52, 142}, SS_LEFT),
        item("EDIT", "", edt1, RECT{54, 132, 200, 144}, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL),
        item("STATIC", "Files of type:", stc2 + 0x10, RECT{7, 152, 52, 160}, SS_LEFT),
        item("STATIC", "", stc2, RECT{54, 152, 200, 160}, SS_LEFTNOWORDWRAP | SS_NOPREFIX),
        item("BUTTON", ok, IDOK, RECT{205, 131, 253, 145}, BS_DEFPUSHBUTTON | WS_TABSTOP),
        item("BUTTON", "Cancel", IDCANCEL, RECT{205, 149, 253, 163}, BS_PUSHBUTTON | WS_TABSTOP),
    };
    return t;
}

FileDialogRun* run_of(HWND dialog) {
    return reinterpret_cast<FileDialogRun*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

bool matches(const std::string& name, const std::string& patterns) {
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(';', start);
        if (end == std::string::npos) end = patterns.size();
        std::string pattern = patterns.substr(start, end - start);
        // Filters often carry blanks around their patterns.
        pattern.erase(0, pattern.find_first_not_of(' '));
        pattern.erase(pattern.find_last_not_of(' ') + 1);
        if (pattern == "*.*" || pattern == "*") return true;
        if (!pattern.empty() && fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// The folder's sub-folders (with a trailing '/') and the files the current filter admits.
std::string listing(const FileDialogRun& run) {
    const FileDialogRequest& request = *run.request;
    std::string patterns = request.filter_index < request.filters.size()
                               ? request.filters[request.filter_index].pattern
                               : "*";
    std::vector<std::string> folders;
    std::vector<std::string> files;
    if (DIR* dir = opendir(run.folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            if (name[0] == '.' && !(request.flags & OFN_FORCESHOWHIDDEN)) continue;
            struct stat info {};
            std::string full = run.folder + "/" + name;
            if (stat(full.c_str(), &info) != 0) continue;
            if (S_ISDIR(info.st_mode))
                folders.push_back(name + "/");
            else if (matches(name, patterns))
                files.push_back(name);
        }
        closedir(dir);
    }
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());
    folders.insert(folders.end(), files.begin(), files.end());
    std::string text;
    for (size_t i = 0; i < folders.size() && i < kListedEntries; ++i)
        text += folders[i] + "\n";
    if (folders.size() > kListedEntries) text += "...";
    return text;
}

void show_folder(HWND dialog, FileDialogRun& run) {
    SetDlgItemTextA(dialog, stc1, ("Look in: " + run.folder).c_str());
    SetDlgItemTextA(dialog, lst1, listing(run).c_str());
}

std::string absolute(const FileDialogRun& run, const std::string& typed) {
    std::string path = kernel::native_path(typed);
    if (!path.empty() && path[0] == '/') return path;
    return run.folder == "/" ? "/" + path : run.folder + "/" + path;
}

void on_ok(HWND dialog, FileDialogRun& run) {
    char typed[4096] = "";
    GetDlgItemTextA(dialog, edt1, typed, sizeof typed);
    if (!typed[0]) return;
    std::string path = absolute(run, typed);
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        run.folder = path;
        SetDlgItemTextA(dialog, edt1, "");
        show_folder(dialog, run);
        return;
    }
    std::string accepted = accept_path(dialog, *run.request, path);
    if (accepted.empty()) return;
    run.chosen = accepted;
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK file_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* run = reinterpret_cast<FileDialogRun*>(lparam);
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lparam);
        SetDlgItemTextA(dialog, edt1, run->request->initial_name.c_str());
        const auto& filters = run->request->filters;
        if (run->request->filter_index < filters.size())
            SetDlgItemTextA(dialog, stc2, filters[run->request->filter_index].description.c_str());
        show_folder(dialog, *run);
        return TRUE;
    }
    FileDialogRun* run = run_of(dialog);
    if (message != WM_COMMAND || !run) return FALSE;
    if (LOWORD(wparam) == IDOK) {
        on_ok(dialog, *run);
        return TRUE;
    }
    if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// Headless: the automation callback answers; a path it gives is put in the name box, then
// OK or Cancel is clicked as a person would.
void answer_round(HWND dialog, int round) {
    FileDialogRun* run = run_of(dialog);
    if (!run) return;
    const FileDialogRequest& request = *run->request;
    std::string path;
    desktop::ModalEvent event;
    event.kind = desktop::ModalKind::FileDialog;
    event.owner = request.owner;
    event.window = dialog;
    event.round = round;
    event.text = request.initial_name.c_str();
    event.caption = request.title.c_str();
    event.type = request.flags;
    event.save = request.save;
    event.default_extension = request.default_extension.c_str();
    event.filters = request.filters;
    event.file_path = &path;
    int answer = window::ask_automation(event);
    if (answer == desktop::kModalContinue || !IsWindow(dialog)) return;
    if (answer == IDOK && !path.empty()) SetDlgItemTextA(dialog, edt1, path.c_str());
    desktop::click_dialog_item(dialog, answer == IDOK ? IDOK : IDCANCEL);
}

std::string current_folder() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string("/");
}

} // namespace

int run_file_dialog(const FileDialogRequest& request, std::string* path) {
    FileDialogRun run;
    run.request = &request;
    run.folder = request.folder.empty() ? current_folder() : request.folder;
    while (run.folder.size() > 1 && run.folder.back() == '/')
        run.folder.pop_back();
    dialog::DialogTemplate t = make_template(request);
    HWND dialog = dialog::create_dialog(nullptr, t, request.owner, file_dialog_proc,
                                        reinterpret_cast<LPARAM>(&run), true);
    if (!dialog) return -1;
    INT_PTR result = dialog::run_modal_dialog(dialog, request.owner, answer_round);
    if (result != IDOK || run.chosen.empty()) return IDCANCEL;
    *path = run.chosen;
    return IDOK;
}

} // namespace winapi::commdlg
