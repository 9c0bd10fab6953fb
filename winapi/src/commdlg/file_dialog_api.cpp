// GetOpenFileNameA, GetSaveFileNameA and CommDlgExtendedError.
#include "commdlg/file_dialog.h"

#include "kernel/native_path.h"

#include <commdlg.h>

#include <cstring>

namespace winapi::commdlg {

namespace {

DWORD& last_error() {
    static DWORD error = 0;
    return error;
}

BOOL fail(DWORD error) {
    last_error() = error;
    return FALSE;
}

std::string default_title(bool save) {
    return save ? "Save As" : "Open";
}

// The request from the record; false (with the reason in last_error) for a bad record.
bool read_request(const OPENFILENAMEA* ofn, bool save, FileDialogRequest* request) {
    if (!ofn || (ofn->lStructSize != sizeof(OPENFILENAMEA) &&
                 ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400A)) {
        last_error() = CDERR_STRUCTSIZE;
        return false;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        last_error() = CDERR_INITIALIZATION;
        return false;
    }
    if ((ofn->Flags & OFN_ENABLEHOOK) && !ofn->lpfnHook) {
        last_error() = CDERR_NOHOOK;
        return false;
    }
    request->save = save;
    request->flags = ofn->Flags;
    request->owner = ofn->hwndOwner;
    request->title = ofn->lpstrTitle ? ofn->lpstrTitle : default_title(save);
    request->initial_name = std::string(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile));
    request->filters = parse_filters(ofn->lpstrFilter);
    request->filter_index = ofn->nFilterIndex > 0 ? ofn->nFilterIndex - 1 : 0;
    std::string extension = ofn->lpstrDefExt ? ofn->lpstrDefExt : "";
    // Callers sometimes write the extension with its dot.
    extension.erase(0, extension.find_first_not_of('.'));
    request->default_extension = extension;
    std::string initial = kernel::native_path(request->initial_name);
    if (ofn->lpstrInitialDir && *ofn->lpstrInitialDir) {
        request->folder = kernel::native_path(ofn->lpstrInitialDir);
    } else if (initial.find('/') != std::string::npos) {
        request->folder = kernel::parent_directory(initial);
        request->initial_name = kernel::last_component(initial);
    }
    return true;
}

// Fills the record's outputs from the chosen path.
BOOL store_result(OPENFILENAMEA* ofn, const std::string& path) {
    if (path.size() + 1 > ofn->nMaxFile) {
        // The buffer holds the size it needs, as documented.
        if (ofn->nMaxFile >= 2) {
            auto needed = static_cast<WORD>(std::min<size_t>(path.size() + 1, 0xFFFF));
            std::memcpy(ofn->lpstrFile, &needed, sizeof needed);
        }
        return fail(FNERR_BUFFERTOOSMALL);
    }
    std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
    size_t slash = path.find_last_of('/');
    size_t name_start = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.find_last_of('.');
    ofn->nFileOffset = static_cast<WORD>(name_start);
    ofn->nFileExtension =
        dot != std::string::npos && dot >= name_start ? static_cast<WORD>(dot + 1) : 0;
    if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0) {
        std::string name = path.substr(name_start);
        size_t count = std::min<size_t>(name.size(), ofn->nMaxFileTitle - 1);
        std::memcpy(ofn->lpstrFileTitle, name.data(), count);
        ofn->lpstrFileTitle[count] = '\0';
    }
    last_error() = 0;
    return TRUE;
}

BOOL run(OPENFILENAMEA* ofn, bool save) {
    last_error() = 0;
    FileDialogRequest request;
    if (!read_request(ofn, save, &request)) return FALSE;
    std::string path;
    int outcome = run_file_dialog(request, &path);
    if (outcome < 0) return fail(CDERR_DIALOGFAILURE);
    if (outcome != IDOK) return FALSE; // cancelled: no extended error
    return store_result(ofn, path);
}

} // namespace

} // namespace winapi::commdlg

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn) {
    return winapi::commdlg::run(ofn, false);
}

BOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA ofn) {
    return winapi::commdlg::run(ofn, true);
}

DWORD WINAPI CommDlgExtendedError(void) {
    return winapi::commdlg::last_error();
}
