// The plug-in's side of the host interface: the nine entry points that NP_GetEntryPoints puts
// into the host's copy of the plug-in table, and the library start-up and shutdown that
// NP_Initialize and NP_Shutdown run.
//
// Each entry point selects the library's module state first, finds the instance object in
// the NPP record's pdata and forwards the call to one of its virtual operations. A null NPP,
// or an NPP without an instance object, gets NPERR_INVALID_INSTANCE_ERROR (as a 32-bit count
// from NPP_WriteReady and NPP_Write); the two entries without a result then do nothing.
#pragma once

#include "host/host_interface.h"

// Serves "video/quicktime" only (exact, case-sensitive): any other type gets
// NPERR_INVALID_PLUGIN_ERROR and creates nothing. Creates the instance object in host memory
// (NPERR_OUT_OF_MEMORY_ERROR when that fails), stores it in instance->pdata and returns what
// its New returns; pdata keeps the object whatever New returns.
NPError NPP_New(NPMIMEType pluginType, NPP instance, uint16 mode, int16 argc, char* argn[],
                char* argv[], NPSavedData* saved);
// Clears pdata, lets the object hand over its saved data, deletes it; NPERR_NO_ERROR.
NPError NPP_Destroy(NPP instance, NPSavedData** save);
NPError NPP_SetWindow(NPP instance, NPWindow* window);
NPError NPP_NewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable,
                      uint16* stype);
NPError NPP_DestroyStream(NPP instance, NPStream* stream, NPReason reason);
void NPP_StreamAsFile(NPP instance, NPStream* stream, const char* fname);
int32 NPP_WriteReady(NPP instance, NPStream* stream);
int32 NPP_Write(NPP instance, NPStream* stream, int32 offset, int32 len, void* buffer);
void NPP_Print(NPP instance, NPPrint* platformPrint);

// The library start-up, run by NP_Initialize once the host's table has been accepted; its
// result is NP_Initialize's result.
NPError NPP_Initialize(void);
// The library shutdown, run by NP_Shutdown while HostFuncs is still valid.
void NPP_Shutdown(void);
