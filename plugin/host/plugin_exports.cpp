// The three functions the library exports by name (NPLant32.def): the host asks for the
// plug-in table, hands over its own table and starts the library, and finally stops it.
#include <afxwin.h>

#include "host/host_interface.h"
#include "host/plugin_entries.h"

namespace {

// The interface version the library writes into the plug-in table: major 0, minor 6.
const uint16 PluginTableVersion = 6;

// The plug-in table must reach to the end of its event entry, and the host's table to the
// end of its reloadplugins entry (44 and 52 bytes on a 32-bit system).
const size_t PluginTableMinSize = NP_PLUGIN_TABLE_MIN_SIZE;
const size_t HostTableMinSize = NP_HOST_TABLE_MIN_SIZE;

} // namespace

// Fills the host's plug-in table with the nine entry points. NPERR_INVALID_FUNCTABLE_ERROR,
// and nothing written, for a null table or one whose size does not reach the event entry.
// The size field stays as the host wrote it; entries beyond event are not touched.
NPError NP_EXPORT_CALL NP_GetEntryPoints(NPPluginFuncs* pFuncs) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!pFuncs || pFuncs->size < PluginTableMinSize) return NPERR_INVALID_FUNCTABLE_ERROR;
    pFuncs->version = PluginTableVersion;
    pFuncs->newp = NPP_New;
    pFuncs->destroy = NPP_Destroy;
    pFuncs->setwindow = NPP_SetWindow;
    pFuncs->newstream = NPP_NewStream;
    pFuncs->destroystream = NPP_DestroyStream;
    pFuncs->asfile = NPP_StreamAsFile;
    pFuncs->writeready = NPP_WriteReady;
    pFuncs->write = NPP_Write;
    pFuncs->print = NPP_Print;
    // Window messages reach an instance through its subclassed window, not as host events.
    pFuncs->event = nullptr;
    return NPERR_NO_ERROR;
}

// Keeps the host's table and starts the library. The table is kept before it is checked, so
// HostFuncs points at it even when the checks refuse it: NPERR_INCOMPATIBLE_VERSION_ERROR for
// a major version other than 0, NPERR_INVALID_FUNCTABLE_ERROR for a table that does not reach
// the reloadplugins entry. Otherwise the result of the library start-up.
NPError NP_EXPORT_CALL NP_Initialize(NPNetscapeFuncs* pFuncs) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!pFuncs) return NPERR_INVALID_FUNCTABLE_ERROR;
    HostFuncs = pFuncs;
    if (HIBYTE(pFuncs->version) != 0) return NPERR_INCOMPATIBLE_VERSION_ERROR;
    if (pFuncs->size < HostTableMinSize) return NPERR_INVALID_FUNCTABLE_ERROR;
    return NPP_Initialize();
}

// Stops the library, then forgets the host's table: the shutdown still frees host memory.
// Always NPERR_NO_ERROR.
NPError NP_EXPORT_CALL NP_Shutdown(void) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    NPP_Shutdown();
    HostFuncs = nullptr;
    return NPERR_NO_ERROR;
}
