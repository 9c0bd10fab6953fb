// The fixture module: a library that links the framework, as the plug-in does, so the tests
// can watch the framework's module state from inside a library.
#pragma once

#include <windows.h>

class CWinApp;

// What the module sees with and without its own module state selected.
struct FixtureView {
    HINSTANCE instance;     // AfxGetInstanceHandle()
    HINSTANCE resources;    // AfxGetResourceHandle()
    CWinApp* app;           // AfxGetApp()
    char whose_string[64];  // CString::LoadString(IDS_WHOSE), empty when it failed
    char module_string[64]; // CString::LoadString(IDS_MODULE_ONLY), empty when it failed
};

struct FixtureReport {
    FixtureView outside;       // before the guard
    FixtureView inside;        // with AFX_MANAGE_STATE(AfxGetStaticModuleState())
    FixtureView after;         // after the guard's scope has ended
    HINSTANCE static_instance; // AfxGetStaticModuleState()->m_hCurrentInstanceHandle
    const char* exe_name;      // the module's application object's m_pszExeName
    const char* profile_name;  // and m_pszProfileName
};

extern "C" __attribute__((visibility("default"))) void fixture_report(FixtureReport* report);

// The address of a function inside the module, to find its handle from outside.
extern "C" __attribute__((visibility("default"))) void* fixture_address();
