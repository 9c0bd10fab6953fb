/* The Netscape plug-in interface (NPAPI): the records, codes and types that a browser and
 * a plug-in exchange, with the layouts the interface publishes for 32-bit Windows. The
 * tables of entry points live in npfunctions.h.
 *
 * The integer types of the interface (uint16, int32, ...) are fixed-width here, so every
 * record keeps its published size on 64-bit systems as well; only pointers grow. */
#ifndef LANTERNIX_NPAPI_H
#define LANTERNIX_NPAPI_H

#ifdef _WIN32
#include <windows.h>
#else
#include <windef.h>
#endif

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Basic types ---------------------------------------------------------------------- */

typedef uint8_t uint8;
typedef int8_t int8;
typedef uint16_t uint16;
typedef int16_t int16;
typedef uint32_t uint32;
typedef int32_t int32;

typedef unsigned char NPBool;
typedef int16 NPError;
typedef int16 NPReason;
typedef char* NPMIMEType;

/* The interface version a host or plug-in writes into its table: major in the high byte. */
#define NP_VERSION_MAJOR 0
#define NP_VERSION_MINOR 11

/* ---- Error and reason codes ----------------------------------------------------------- */

#define NPERR_BASE 0
#define NPERR_NO_ERROR (NPERR_BASE + 0)
#define NPERR_GENERIC_ERROR (NPERR_BASE + 1)
#define NPERR_INVALID_INSTANCE_ERROR (NPERR_BASE + 2)
#define NPERR_INVALID_FUNCTABLE_ERROR (NPERR_BASE + 3)
#define NPERR_MODULE_LOAD_FAILED_ERROR (NPERR_BASE + 4)
#define NPERR_OUT_OF_MEMORY_ERROR (NPERR_BASE + 5)
#define NPERR_INVALID_PLUGIN_ERROR (NPERR_BASE + 6)
#define NPERR_INVALID_PLUGIN_DIR_ERROR (NPERR_BASE + 7)
#define NPERR_INCOMPATIBLE_VERSION_ERROR (NPERR_BASE + 8)
#define NPERR_INVALID_PARAM (NPERR_BASE + 9)
#define NPERR_INVALID_URL (NPERR_BASE + 10)
#define NPERR_FILE_NOT_FOUND (NPERR_BASE + 11)
#define NPERR_NO_DATA (NPERR_BASE + 12)
#define NPERR_STREAM_NOT_SEEKABLE (NPERR_BASE + 13)

/* Why a stream ended (NPP_DestroyStream, NPP_URLNotify). */
#define NPRES_BASE 0
#define NPRES_DONE (NPRES_BASE + 0)
#define NPRES_NETWORK_ERR (NPRES_BASE + 1)
#define NPRES_USER_BREAK (NPRES_BASE + 2)

/* ---- Instance modes and stream types -------------------------------------------------- */

/* How an instance is shown: inside a page, or filling the browser window. */
#define NP_EMBED 1
#define NP_FULL 2

/* How a plug-in asks for a stream's data (the stype out-parameter of NPP_NewStream). */
#define NP_NORMAL 1
#define NP_SEEK 2
#define NP_ASFILE 3
#define NP_ASFILEONLY 4

/* The largest count NPP_WriteReady may answer. */
#define NP_MAXREADY (((unsigned)(~0) << 1) >> 1)

/* ---- Records -------------------------------------------------------------------------- */

/* One plug-in instance. The plug-in owns pdata; the host owns ndata. */
typedef struct _NPP {
    void* pdata;
    void* ndata;
} NPP_t;
typedef NPP_t* NPP;

/* A stream of data sent to a plug-in. The plug-in owns pdata; the host owns the rest. */
typedef struct _NPStream {
    void* pdata;
    void* ndata;
    const char* url;
    uint32 end;          /* length of the data in bytes, 0 when unknown */
    uint32 lastmodified; /* seconds since 1 January 1970, 0 when unknown */
    void* notifyData;    /* what NPN_GetURLNotify / NPN_PostURLNotify were given */
} NPStream;

/* A range of a seekable stream asked for with NPN_RequestRead; a list through next. */
typedef struct _NPByteRange {
    int32 offset; /* negative: counted from the end of the stream */
    uint32 length;
    struct _NPByteRange* next;
} NPByteRange;

/* Data a plug-in leaves to the host when an instance ends, handed to a later instance of
 * the same page. Allocated with NPN_MemAlloc; the host owns it once handed over. */
typedef struct _NPSavedData {
    int32 len;
    void* buf;
} NPSavedData;

typedef struct _NPRect {
    uint16 top;
    uint16 left;
    uint16 bottom;
    uint16 right;
} NPRect;

/* The window a host gives an instance. This is the Windows layout of the interface's
 * windowed-only generation: no windowless "type" field follows clipRect (that field, and
 * the X11 ws_info pointer, belong to later and other platforms). window is the HWND. */
typedef struct _NPWindow {
    void* window;
    uint32 x; /* position of the top left corner relative to the page */
    uint32 y;
    uint32 width; /* size of the instance area */
    uint32 height;
    NPRect clipRect; /* the part of the window that is visible */
} NPWindow;

/* A region of an instance's window, for NPN_InvalidateRegion. */
typedef HRGN NPRegion;

/* Printing: a full-page instance may print the whole page itself; an embedded instance
 * draws into the window record given. platformPrint is the printer's device context. */
typedef struct _NPFullPrint {
    NPBool pluginPrinted; /* out: the plug-in printed the page */
    NPBool printOne;      /* print one copy on the default printer, without a dialog */
    void* platformPrint;
} NPFullPrint;

typedef struct _NPEmbedPrint {
    NPWindow window;
    void* platformPrint;
} NPEmbedPrint;

typedef struct _NPPrint {
    uint16 mode; /* NP_FULL or NP_EMBED: which member of print applies */
    union {
        NPFullPrint fullPrint;
        NPEmbedPrint embedPrint;
    } print;
} NPPrint;

/* Values a host asks a plug-in for (NPP_GetValue) and a plug-in asks the host for
 * (NPN_GetValue). */
typedef enum {
    NPPVpluginNameString = 1,
    NPPVpluginDescriptionString,
    NPPVpluginWindowBool,
    NPPVpluginTransparentBool
} NPPVariable;

typedef enum {
    NPNVxDisplay = 1,
    NPNVxtAppContext,
    NPNVnetscapeWindow,
    NPNVjavascriptEnabledBool,
    NPNVasdEnabledBool,
    NPNVisOfflineBool
} NPNVariable;

/* Java integration of the era, carried only as opaque pointers. */
typedef void* JRIGlobalRef;
typedef void* jref;
typedef struct JRIEnvInterface JRIEnvInterface;
typedef const JRIEnvInterface* JRIEnv;

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LANTERNIX_NPAPI_H */
