// Module state: which module's resources, application object and profile the framework uses
// right now.
//
// The framework is a static library, so every module that links it (a program, or a library
// such as the plug-in) has its own copy with its own state: AfxGetStaticModuleState(). What
// the framework functions use is the *current* state of the thread. Before any guard it is
// the program's: in a program that links the framework that is its own state; in a library it
// is a state naming the main program, with no application object. A library's entry points
// therefore select their own state first, with AFX_MANAGE_STATE, and the guard puts the
// previous state back on every way out, exceptions included.
#pragma once

#include <windows.h>

class CWinApp;

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle = nullptr; // the module this state belongs to
    HINSTANCE m_hCurrentResourceHandle = nullptr; // where resources are looked for first
    LPCSTR m_lpszCurrentAppName = nullptr;        // the application object's name
    CWinApp* m_pCurrentWinApp = nullptr;          // the module's application object, if any
    BOOL m_bDLL = FALSE;                          // the module is a library, not the program
};

// The thread's current module state (never null).
AFX_MODULE_STATE* AfxGetModuleState();

// Makes `state` current for this thread and returns the state that was current. Passing
// null goes back to the state that is current before any guard.
AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state);

// The state of the module that calls it (the module this copy of the framework is linked
// into). Its instance and resource handles are that module's handle.
AFX_MODULE_STATE* AfxGetStaticModuleState();

// Selects a module state for the lifetime of the guard object and restores the previous one
// when the guard goes out of scope, however the scope is left.
//
// The constructor and destructor are deliberately not inline: an inline copy in one module
// could be bound by the dynamic linker to another module's copy, which would then switch
// that other module's state instead of the caller's.
class AFX_MAINTAIN_STATE {
  public:
    explicit AFX_MAINTAIN_STATE(AFX_MODULE_STATE* state) noexcept;
    ~AFX_MAINTAIN_STATE();
    AFX_MAINTAIN_STATE(const AFX_MAINTAIN_STATE&) = delete;
    AFX_MAINTAIN_STATE& operator=(const AFX_MAINTAIN_STATE&) = delete;

  private:
    AFX_MODULE_STATE* m_pPrevModuleState;
};

// Put first in a function: selects `state` until the function returns.
#define AFX_MANAGE_STATE(state) AFX_MAINTAIN_STATE _afxManageState(state)

// Shortcuts into the current state.
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resource_handle);
LPCSTR AfxGetAppName();

// The module to load resource `name` of `type` from: the current resource handle when it
// holds that resource, else the current module's instance handle when that one holds it,
// else the current resource handle (where the load will then fail as usual).
HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type);
