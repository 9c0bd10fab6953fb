#include "afx_win_app.h"

#include "app_registry.h"

#include <cstdio>
#include <cstring>

namespace {

// The base name of a module's file without its extension: "NPLant32" for
// ".../NPLant32.so". Both separators count, so Windows-style paths work as well.
CString module_base_name(HINSTANCE module) {
    char path[MAX_PATH + 1] = "";
    GetModuleFileNameA(module, path, sizeof path);
    const char* name = path;
    for (const char* c = path; *c; ++c) {
        if (*c == '/' || *c == '\\') name = c + 1;
    }
    const char* dot = strrchr(name, '.');
    return CString(name, dot ? static_cast<int>(dot - name) : static_cast<int>(strlen(name)));
}

} // namespace

void afx_complete_app(CWinApp* app, HINSTANCE module) {
    app->m_hInstance = module;
    app->m_exe_name = module_base_name(module);
    app->m_profile_name = app->m_exe_name + ".INI";
    app->m_app_name = app->m_app_name_given.IsEmpty() ? app->m_exe_name : app->m_app_name_given;
    app->m_pszExeName = app->m_exe_name;
    app->m_pszProfileName = app->m_profile_name;
    app->m_pszAppName = app->m_app_name;
    afx_unresolved_static_state()->m_lpszCurrentAppName = app->m_pszAppName;
}

CWinApp::CWinApp(LPCSTR app_name) : m_app_name_given(app_name) {
    // Registration only: a library's application object is constructed while the library
    // is being loaded, before its module handle can be asked for.
    AFX_MODULE_STATE* state = afx_unresolved_static_state();
    state->m_pCurrentWinApp = this;
    if (afx_static_state_resolved()) afx_complete_app(this, state->m_hCurrentInstanceHandle);
}

CWinApp::~CWinApp() {
    AFX_MODULE_STATE* state = afx_unresolved_static_state();
    if (state->m_pCurrentWinApp == this) {
        state->m_pCurrentWinApp = nullptr;
        state->m_lpszCurrentAppName = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

void CWinApp::ensure_complete() {
    // Asking for the state resolves it, which completes the registered application object.
    AfxGetStaticModuleState();
    if (!m_pszProfileName)
        afx_complete_app(this, AfxGetStaticModuleState()->m_hCurrentInstanceHandle);
}

CString CWinApp::GetProfileStringA(LPCSTR section, LPCSTR entry, LPCSTR default_value) {
    ensure_complete();
    // Profile values have no length limit of their own: read until the buffer was big enough.
    CString value;
    for (DWORD size = 256;; size *= 2) {
        DWORD length = GetPrivateProfileStringA(section, entry, default_value ? default_value : "",
                                                value.GetBuffer(static_cast<int>(size)), size,
                                                m_pszProfileName);
        if (length + 1 < size || size >= (1u << 20)) {
            value.ReleaseBuffer(static_cast<int>(length));
            return value;
        }
    }
}

UINT CWinApp::GetProfileIntA(LPCSTR section, LPCSTR entry, int default_value) {
    ensure_complete();
    return GetPrivateProfileIntA(section, entry, default_value, m_pszProfileName);
}

BOOL CWinApp::WriteProfileStringA(LPCSTR section, LPCSTR entry, LPCSTR value) {
    ensure_complete();
    return WritePrivateProfileStringA(section, entry, value, m_pszProfileName);
}

BOOL CWinApp::WriteProfileInt(LPCSTR section, LPCSTR entry, int value) {
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    return WriteProfileStringA(section, entry, text);
}
