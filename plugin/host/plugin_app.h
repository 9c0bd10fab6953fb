// The library's framework application object. The framework finds the library's resources
// and profile through it: while the library's module state is selected, AfxGetApp is this
// object, and the preferences record reads and writes its profile through it. It has no
// message handlers, and its own start and exit routines (the framework's, which do nothing)
// do nothing of the library's: all start-up work happens in NPP_Initialize.
#pragma once

#include <afxwin.h>

class PluginApplication : public CWinApp {
  public:
    PluginApplication() = default;
};

// The one application object, constructed when the library is loaded. Without a name of its
// own it takes the library's file name, so its profile is NPLant32.INI.
extern PluginApplication PluginApp;
