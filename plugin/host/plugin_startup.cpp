// The library start-up and shutdown: what the library holds once for all its instances.
#include <afxwin.h>

#include "host/plugin_entries.h"

// Placeholder until the engine start-up, the context menu and the preferences exist: the
// library holds nothing library-wide yet, so there is nothing to start and start-up always
// succeeds.
NPError NPP_Initialize(void) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return NPERR_NO_ERROR;
}

// Placeholder until the context menu and the preferences exist: there is nothing to destroy
// or save yet.
void NPP_Shutdown(void) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
}
