// CWinApp: the application object. Each module that links the framework has at most one,
// usually a static object of a class derived from CWinApp; constructing it makes it the
// module's application object (AfxGetApp while the module's state is current).
#pragma once

#include <windows.h>

#include "afx_string.h"

class CWinApp {
  public:
    // `app_name` names the application; without it the module's file name is used.
    explicit CWinApp(LPCSTR app_name = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start and end of the application; the base versions do nothing. InitInstance
    // returns TRUE to go on.
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // The profile: the initialisation file m_pszProfileName in the Windows directory.
    // Reads give `default_value` for a missing section or entry; writes return FALSE when
    // the file cannot be written. A null entry in WriteProfileStringA deletes the section,
    // a null value deletes the entry.
    CString GetProfileStringA(LPCSTR section, LPCSTR entry, LPCSTR default_value = nullptr);
    UINT GetProfileIntA(LPCSTR section, LPCSTR entry, int default_value);
    BOOL WriteProfileStringA(LPCSTR section, LPCSTR entry, LPCSTR value);
    BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value);

    // Filled in from the module once the module is in use (the first time its state is
    // asked for, or at construction when that has already happened): the module's handle,
    // its file's base name without extension, "<base name>.INI", and the application name.
    HINSTANCE m_hInstance = nullptr;
    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszExeName = nullptr;
    LPCSTR m_pszProfileName = nullptr;

  private:
    friend void afx_complete_app(CWinApp* app, HINSTANCE module);
    // Makes sure the names above are set before the profile is used.
    void ensure_complete();

    CString m_app_name_given;
    CString m_app_name;
    CString m_exe_name;
    CString m_profile_name;
};
