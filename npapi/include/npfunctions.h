/* The tables of entry points that a plug-in and its host exchange, the type of every entry,
 * and the three functions a plug-in library exports by name.
 *
 * On Windows the three exports use the system's calling convention (WINAPI) and the table
 * entries the compiler's default one; elsewhere there is one convention and nothing is
 * special. */
#ifndef LANTERNIX_NPFUNCTIONS_H
#define LANTERNIX_NPFUNCTIONS_H

#include "npapi.h"

#include <stddef.h>

#ifdef _WIN32
#define NP_EXPORT_CALL WINAPI
#define NP_EXPORT_VISIBLE
#else
#define NP_EXPORT_CALL
/* Libraries here are built with hidden symbols; the three exports must stay visible. */
#define NP_EXPORT_VISIBLE __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Plug-in entries, called by the host ---------------------------------------------- */

typedef NPError (*NPP_NewProcPtr)(NPMIMEType pluginType, NPP instance, uint16 mode, int16 argc,
                                  char* argn[], char* argv[], NPSavedData* saved);
typedef NPError (*NPP_DestroyProcPtr)(NPP instance, NPSavedData** save);
typedef NPError (*NPP_SetWindowProcPtr)(NPP instance, NPWindow* window);
typedef NPError (*NPP_NewStreamProcPtr)(NPP instance, NPMIMEType type, NPStream* stream,
                                        NPBool seekable, uint16* stype);
typedef NPError (*NPP_DestroyStreamProcPtr)(NPP instance, NPStream* stream, NPReason reason);
typedef void (*NPP_StreamAsFileProcPtr)(NPP instance, NPStream* stream, const char* fname);
typedef int32 (*NPP_WriteReadyProcPtr)(NPP instance, NPStream* stream);
typedef int32 (*NPP_WriteProcPtr)(NPP instance, NPStream* stream, int32 offset, int32 len,
                                  void* buffer);
typedef void (*NPP_PrintProcPtr)(NPP instance, NPPrint* platformPrint);
typedef int16 (*NPP_HandleEventProcPtr)(NPP instance, void* event);
typedef void (*NPP_URLNotifyProcPtr)(NPP instance, const char* url, NPReason reason,
                                     void* notifyData);
typedef NPError (*NPP_GetValueProcPtr)(NPP instance, NPPVariable variable, void* value);
typedef NPError (*NPP_SetValueProcPtr)(NPP instance, NPNVariable variable, void* value);

/* The plug-in's table. The host sets size (the bytes it allocated) before asking the plug-in
 * to fill it; the plug-in fills the entries the size covers and sets version. */
typedef struct _NPPluginFuncs {
    uint16 size;
    uint16 version;
    NPP_NewProcPtr newp;
    NPP_DestroyProcPtr destroy;
    NPP_SetWindowProcPtr setwindow;
    NPP_NewStreamProcPtr newstream;
    NPP_DestroyStreamProcPtr destroystream;
    NPP_StreamAsFileProcPtr asfile;
    NPP_WriteReadyProcPtr writeready;
    NPP_WriteProcPtr write;
    NPP_PrintProcPtr print;
    NPP_HandleEventProcPtr event;
    /* Entries of later versions of the interface. */
    NPP_URLNotifyProcPtr urlnotify;
    JRIGlobalRef javaClass;
    NPP_GetValueProcPtr getvalue;
    NPP_SetValueProcPtr setvalue;
} NPPluginFuncs;

/* ---- Host services, called by the plug-in --------------------------------------------- */

typedef NPError (*NPN_GetURLProcPtr)(NPP instance, const char* url, const char* window);
typedef NPError (*NPN_PostURLProcPtr)(NPP instance, const char* url, const char* window, uint32 len,
                                      const char* buf, NPBool file);
typedef NPError (*NPN_RequestReadProcPtr)(NPStream* stream, NPByteRange* rangeList);
typedef NPError (*NPN_NewStreamProcPtr)(NPP instance, NPMIMEType type, const char* window,
                                        NPStream** stream);
typedef int32 (*NPN_WriteProcPtr)(NPP instance, NPStream* stream, int32 len, void* buffer);
typedef NPError (*NPN_DestroyStreamProcPtr)(NPP instance, NPStream* stream, NPReason reason);
typedef void (*NPN_StatusProcPtr)(NPP instance, const char* message);
typedef const char* (*NPN_UserAgentProcPtr)(NPP instance);
typedef void* (*NPN_MemAllocProcPtr)(uint32 size);
typedef void (*NPN_MemFreeProcPtr)(void* ptr);
typedef uint32 (*NPN_MemFlushProcPtr)(uint32 size);
typedef void (*NPN_ReloadPluginsProcPtr)(NPBool reloadPages);
typedef JRIEnv* (*NPN_GetJavaEnvProcPtr)(void);
typedef jref (*NPN_GetJavaPeerProcPtr)(NPP instance);
typedef NPError (*NPN_GetURLNotifyProcPtr)(NPP instance, const char* url, const char* target,
                                           void* notifyData);
typedef NPError (*NPN_PostURLNotifyProcPtr)(NPP instance, const char* url, const char* target,
                                            uint32 len, const char* buf, NPBool file,
                                            void* notifyData);
typedef NPError (*NPN_GetValueProcPtr)(NPP instance, NPNVariable variable, void* value);
typedef NPError (*NPN_SetValueProcPtr)(NPP instance, NPPVariable variable, void* value);
typedef void (*NPN_InvalidateRectProcPtr)(NPP instance, NPRect* invalidRect);
typedef void (*NPN_InvalidateRegionProcPtr)(NPP instance, NPRegion invalidRegion);
typedef void (*NPN_ForceRedrawProcPtr)(NPP instance);

/* The host's table, handed to NP_Initialize. It belongs to the host and stays valid until
 * NP_Shutdown returns. */
typedef struct _NPNetscapeFuncs {
    uint16 size;
    uint16 version;
    NPN_GetURLProcPtr geturl;
    NPN_PostURLProcPtr posturl;
    NPN_RequestReadProcPtr requestread;
    NPN_NewStreamProcPtr newstream;
    NPN_WriteProcPtr write;
    NPN_DestroyStreamProcPtr destroystream;
    NPN_StatusProcPtr status;
    NPN_UserAgentProcPtr uagent;
    NPN_MemAllocProcPtr memalloc;
    NPN_MemFreeProcPtr memfree;
    NPN_MemFlushProcPtr memflush;
    NPN_ReloadPluginsProcPtr reloadplugins;
    /* Entries of later versions of the interface. */
    NPN_GetJavaEnvProcPtr getJavaEnv;
    NPN_GetJavaPeerProcPtr getJavaPeer;
    NPN_GetURLNotifyProcPtr geturlnotify;
    NPN_PostURLNotifyProcPtr posturlnotify;
    NPN_GetValueProcPtr getvalue;
    NPN_SetValueProcPtr setvalue;
    NPN_InvalidateRectProcPtr invalidaterect;
    NPN_InvalidateRegionProcPtr invalidateregion;
    NPN_ForceRedrawProcPtr forceredraw;
} NPNetscapeFuncs;

/* ---- Smallest tables ------------------------------------------------------------------ */

/* The smallest plug-in table a host may hand over: it must reach to the end of the event
 * entry. The smallest host table a plug-in accepts reaches to the end of reloadplugins.
 * Both are computed from the records, so they hold for any pointer size. */
#define NP_PLUGIN_TABLE_MIN_SIZE (offsetof(NPPluginFuncs, event) + sizeof(void*))
#define NP_HOST_TABLE_MIN_SIZE (offsetof(NPNetscapeFuncs, reloadplugins) + sizeof(void*))

#if defined(__cplusplus)
#define NP_STATIC_ASSERT(condition, message) static_assert(condition, message)
#else
#define NP_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

#if UINTPTR_MAX == 0xffffffffu
/* The sizes the interface publishes for 32-bit systems. */
NP_STATIC_ASSERT(NP_PLUGIN_TABLE_MIN_SIZE == 44, "the plug-in table reaches event in 44 bytes");
NP_STATIC_ASSERT(NP_HOST_TABLE_MIN_SIZE == 52, "the host table reaches reloadplugins in 52 bytes");
#endif

/* ---- The plug-in library's exports ---------------------------------------------------- */

/* Fills the plug-in table; NPERR_INVALID_FUNCTABLE_ERROR for a null or too small table. */
typedef NPError(NP_EXPORT_CALL* NP_GetEntryPointsFunc)(NPPluginFuncs* pFuncs);
/* Hands the host's table to the plug-in and starts the library. */
typedef NPError(NP_EXPORT_CALL* NP_InitializeFunc)(NPNetscapeFuncs* pFuncs);
/* Stops the library; the host's table may go away after it returns. */
typedef NPError(NP_EXPORT_CALL* NP_ShutdownFunc)(void);

NP_EXPORT_VISIBLE NPError NP_EXPORT_CALL NP_GetEntryPoints(NPPluginFuncs* pFuncs);
NP_EXPORT_VISIBLE NPError NP_EXPORT_CALL NP_Initialize(NPNetscapeFuncs* pFuncs);
NP_EXPORT_VISIBLE NPError NP_EXPORT_CALL NP_Shutdown(void);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LANTERNIX_NPFUNCTIONS_H */
