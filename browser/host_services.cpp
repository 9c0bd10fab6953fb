#include "host_services.h"

#include <cstdlib>
#include <cstring>

namespace browser {

namespace {

HostDelegate* g_delegate = nullptr;
size_t g_blocks = 0;

// Host blocks carry their size in front, aligned for any type.
constexpr size_t kHeader = alignof(std::max_align_t);

NPError NPN_GetURL(NPP instance, const char* url, const char* window) {
    if (!instance || !g_delegate) return NPERR_INVALID_INSTANCE_ERROR;
    if (!url) return NPERR_INVALID_URL;
    return g_delegate->get_url(instance, url, window);
}

// Posting needs a form submission path the viewer does not have.
NPError NPN_PostURL(NPP, const char*, const char*, uint32, const char*, NPBool) {
    return NPERR_GENERIC_ERROR;
}

// The viewer's streams are not seekable, so no byte range can be asked for.
NPError NPN_RequestRead(NPStream*, NPByteRange*) {
    return NPERR_STREAM_NOT_SEEKABLE;
}

// Streams from a plug-in to the viewer are not supported.
NPError NPN_NewStream(NPP, NPMIMEType, const char*, NPStream** stream) {
    if (stream) *stream = nullptr;
    return NPERR_GENERIC_ERROR;
}

int32 NPN_Write(NPP, NPStream*, int32, void*) {
    return -1;
}

NPError NPN_DestroyStream(NPP instance, NPStream* stream, NPReason reason) {
    if (!instance || !g_delegate) return NPERR_INVALID_INSTANCE_ERROR;
    if (!stream) return NPERR_INVALID_PARAM;
    return g_delegate->destroy_stream(instance, stream, reason);
}

void NPN_Status(NPP instance, const char* message) {
    if (instance && g_delegate) g_delegate->status(instance, message ? message : "");
}

const char* NPN_UserAgent(NPP) {
    return user_agent();
}

void* NPN_MemAlloc(uint32 size) {
    return host_alloc(size);
}

void NPN_MemFree(void* block) {
    host_free(block);
}

// Nothing is cached that could be given back.
uint32 NPN_MemFlush(uint32) {
    return 0;
}

void NPN_ReloadPlugins(NPBool) {}

JRIEnv* NPN_GetJavaEnv() {
    return nullptr;
}

jref NPN_GetJavaPeer(NPP) {
    return nullptr;
}

NPError NPN_GetURLNotify(NPP, const char*, const char*, void*) {
    return NPERR_GENERIC_ERROR;
}

NPError NPN_PostURLNotify(NPP, const char*, const char*, uint32, const char*, NPBool, void*) {
    return NPERR_GENERIC_ERROR;
}

NPError NPN_GetValue(NPP instance, NPNVariable variable, void* value) {
    if (!value) return NPERR_INVALID_PARAM;
    switch (variable) {
    case NPNVnetscapeWindow:
        if (!instance || !g_delegate) return NPERR_INVALID_INSTANCE_ERROR;
        *static_cast<void**>(value) = g_delegate->page_window(instance);
        return NPERR_NO_ERROR;
    case NPNVjavascriptEnabledBool:
    case NPNVasdEnabledBool:
    case NPNVisOfflineBool:
        *static_cast<NPBool*>(value) = 0;
        return NPERR_NO_ERROR;
    default:
        return NPERR_GENERIC_ERROR;
    }
}

NPError NPN_SetValue(NPP, NPPVariable, void*) {
    return NPERR_GENERIC_ERROR;
}

void NPN_InvalidateRect(NPP instance, NPRect* rect) {
    if (instance && g_delegate) g_delegate->invalidate(instance, rect);
}

// Instances are windowed, so a region is simply the whole window.
void NPN_InvalidateRegion(NPP instance, NPRegion) {
    if (instance && g_delegate) g_delegate->invalidate(instance, nullptr);
}

void NPN_ForceRedraw(NPP instance) {
    if (instance && g_delegate) g_delegate->force_redraw(instance);
}

NPNetscapeFuncs make_table() {
    NPNetscapeFuncs table{};
    table.size = sizeof(NPNetscapeFuncs);
    table.version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    table.geturl = NPN_GetURL;
    table.posturl = NPN_PostURL;
    table.requestread = NPN_RequestRead;
    table.newstream = NPN_NewStream;
    table.write = NPN_Write;
    table.destroystream = NPN_DestroyStream;
    table.status = NPN_Status;
    table.uagent = NPN_UserAgent;
    table.memalloc = NPN_MemAlloc;
    table.memfree = NPN_MemFree;
    table.memflush = NPN_MemFlush;
    table.reloadplugins = NPN_ReloadPlugins;
    table.getJavaEnv = NPN_GetJavaEnv;
    table.getJavaPeer = NPN_GetJavaPeer;
    table.geturlnotify = NPN_GetURLNotify;
    table.posturlnotify = NPN_PostURLNotify;
    table.getvalue = NPN_GetValue;
    table.setvalue = NPN_SetValue;
    table.invalidaterect = NPN_InvalidateRect;
    table.invalidateregion = NPN_InvalidateRegion;
    table.forceredraw = NPN_ForceRedraw;
    return table;
}

} // namespace

void set_host_delegate(HostDelegate* delegate) {
    g_delegate = delegate;
}

NPNetscapeFuncs* host_table() {
    // A plug-in keeps the pointer until NP_Shutdown, so the table lives as long as the
    // process; refilling it keeps it whole should a plug-in have written into it.
    static NPNetscapeFuncs table;
    table = make_table();
    return &table;
}

const char* user_agent() {
    return "Lanternix-View/1.0";
}

void* host_alloc(uint32 size) {
    void* raw = std::malloc(kHeader + size);
    if (!raw) return nullptr;
    std::memcpy(raw, &size, sizeof size);
    ++g_blocks;
    return static_cast<char*>(raw) + kHeader;
}

void host_free(void* block) {
    if (!block) return;
    --g_blocks;
    std::free(static_cast<char*>(block) - kHeader);
}

size_t host_blocks_outstanding() {
    return g_blocks;
}

} // namespace browser
