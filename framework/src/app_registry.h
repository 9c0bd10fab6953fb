// How the application object and the module state find each other inside the framework.
#pragma once

#include "afx_module_state.h"

// This module's state, without resolving its handles: safe while the module is loading.
AFX_MODULE_STATE* afx_unresolved_static_state();

// True once the module's handles are known.
bool afx_static_state_resolved();

// Gives the application object its module handle and the names derived from the module's
// file (program name, profile name, application name), and records the name in the state.
void afx_complete_app(CWinApp* app, HINSTANCE module);
