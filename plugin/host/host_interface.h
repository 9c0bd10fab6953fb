// The host interface: the published plug-in records and codes, the host's function table as
// the library keeps it, and the host services the library calls through it.
//
// The browser hands its table to NP_Initialize, which keeps it in HostFuncs until
// NP_Shutdown. Every NPN_ function below reads HostFuncs at the moment of the call and calls
// the table entry with its arguments unchanged, returning the entry's result unchanged.
#pragma once

#include <windows.h>

#include <npapi.h>
#include <npfunctions.h>

// The host's table, valid from NP_Initialize to NP_Shutdown. The table belongs to the host:
// the library never copies or frees it. Null outside that time.
extern NPNetscapeFuncs* HostFuncs;

// The host services, in the order of the host's table. When HostFuncs is null, or the
// host's table is too short to hold the entry, or the entry itself is null, the service is
// not called: the wrapper answers as a host without that service would (NPERR_GENERIC_ERROR,
// a null pointer, 0, or nothing), so a call outside NP_Initialize..NP_Shutdown cannot crash.

// Asks the host to load `url` into the frame or window named `window`.
NPError NPN_GetURL(NPP instance, const char* url, const char* window);
// Asks the host to post `len` bytes of `buf` (or the file it names, when `file` is true).
NPError NPN_PostURL(NPP instance, const char* url, const char* window, uint32 len, const char* buf,
                    NPBool file);
// Asks for ranges of a seekable stream.
NPError NPN_RequestRead(NPStream* stream, NPByteRange* rangeList);
// Asks the host for a stream from the plug-in to the browser.
NPError NPN_NewStream(NPP instance, NPMIMEType type, const char* window, NPStream** stream);
// Writes into a stream made by NPN_NewStream; the number of bytes taken, negative on error.
int32 NPN_Write(NPP instance, NPStream* stream, int32 len, void* buffer);
// Ends a stream.
NPError NPN_DestroyStream(NPP instance, NPStream* stream, NPReason reason);
// Shows `message` in the host's status line.
void NPN_Status(NPP instance, const char* message);
// The host's user agent text.
const char* NPN_UserAgent(NPP instance);
// A block of `size` bytes of host memory, or null when memory is short.
void* NPN_MemAlloc(uint32 size);
// Gives a block from NPN_MemAlloc back to the host. A null block is ignored.
void NPN_MemFree(void* ptr);
// Asks the host to free up to `size` bytes; the number it freed.
uint32 NPN_MemFlush(uint32 size);
// Asks the host to look for new plug-ins.
void NPN_ReloadPlugins(NPBool reloadPages);
