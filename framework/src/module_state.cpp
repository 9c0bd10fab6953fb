#include "afx_module_state.h"

#include "app_registry.h"

namespace {

// Both states are plain data with constant initialisers, so they exist before any static
// constructor runs: an application object in another file may register itself early.
AFX_MODULE_STATE g_static_state;  // this module's own state
AFX_MODULE_STATE g_program_state; // a library's view of the program, current before guards
bool g_resolved = false;

thread_local AFX_MODULE_STATE* t_current_state = nullptr;

// Fills in the module handles the first time a state is asked for. This is not done while
// the module is being loaded (static constructors of a library run before its loader has
// finished), only once the module is in use.
void resolve_states() {
    if (g_resolved) return;
    g_resolved = true;
    HMODULE program = GetModuleHandleA(nullptr);
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&g_static_state), &self))
        self = program;
    g_static_state.m_hCurrentInstanceHandle = self;
    if (!g_static_state.m_hCurrentResourceHandle) g_static_state.m_hCurrentResourceHandle = self;
    g_static_state.m_bDLL = self != program;
    g_program_state.m_hCurrentInstanceHandle = program;
    g_program_state.m_hCurrentResourceHandle = program;
    if (g_static_state.m_pCurrentWinApp) afx_complete_app(g_static_state.m_pCurrentWinApp, self);
}

} // namespace

AFX_MODULE_STATE* afx_unresolved_static_state() {
    return &g_static_state;
}

bool afx_static_state_resolved() {
    return g_resolved;
}

AFX_MODULE_STATE* AfxGetStaticModuleState() {
    resolve_states();
    return &g_static_state;
}

AFX_MODULE_STATE* AfxGetModuleState() {
    if (t_current_state) return t_current_state;
    resolve_states();
    // A program that links the framework is the program: its own state is the default.
    return g_static_state.m_bDLL ? &g_program_state : &g_static_state;
}

AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state) {
    AFX_MODULE_STATE* previous = AfxGetModuleState();
    t_current_state = state;
    return previous;
}

AFX_MAINTAIN_STATE::AFX_MAINTAIN_STATE(AFX_MODULE_STATE* state) noexcept
    : m_pPrevModuleState(AfxSetModuleState(state)) {}

AFX_MAINTAIN_STATE::~AFX_MAINTAIN_STATE() {
    AfxSetModuleState(m_pPrevModuleState);
}

CWinApp* AfxGetApp() {
    return AfxGetModuleState()->m_pCurrentWinApp;
}

HINSTANCE AfxGetInstanceHandle() {
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}

HINSTANCE AfxGetResourceHandle() {
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}

void AfxSetResourceHandle(HINSTANCE resource_handle) {
    AfxGetModuleState()->m_hCurrentResourceHandle = resource_handle;
}

LPCSTR AfxGetAppName() {
    return AfxGetModuleState()->m_lpszCurrentAppName;
}

HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type) {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    HINSTANCE resources = state->m_hCurrentResourceHandle;
    HINSTANCE instance = state->m_hCurrentInstanceHandle;
    // Probing must not disturb the caller's last error: a miss here is not a failure.
    DWORD saved_error = GetLastError();
    HINSTANCE found = resources;
    if (!(resources && FindResourceA(resources, name, type)) && instance && instance != resources &&
        FindResourceA(instance, name, type))
        found = instance;
    SetLastError(saved_error);
    return found;
}
