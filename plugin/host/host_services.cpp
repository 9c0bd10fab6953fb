// The host services: thin wrappers that call the host's table as it stands at the moment of
// the call.
#include "host/host_interface.h"

#include <cstddef>

NPNetscapeFuncs* HostFuncs = nullptr;

namespace {

// The host's entry `entry`, or null when there is no table, when the host's table is too
// short to hold the entry (the host's size field says how far it reaches) or when the host
// left it empty. NP_Initialize keeps a table that is too short as well, so this check is what
// stops a wrapper from reading past the end of such a table.
template <typename Entry>
Entry HostEntry(Entry NPNetscapeFuncs::*entry) {
    if (!HostFuncs) return nullptr;
    const char* table = reinterpret_cast<const char*>(HostFuncs);
    const char* field = reinterpret_cast<const char*>(&(HostFuncs->*entry));
    if (static_cast<size_t>(field - table) + sizeof(Entry) > HostFuncs->size) return nullptr;
    return HostFuncs->*entry;
}

} // namespace

NPError NPN_GetURL(NPP instance, const char* url, const char* window) {
    NPN_GetURLProcPtr entry = HostEntry(&NPNetscapeFuncs::geturl);
    return entry ? entry(instance, url, window) : NPERR_GENERIC_ERROR;
}

NPError NPN_PostURL(NPP instance, const char* url, const char* window, uint32 len, const char* buf,
                    NPBool file) {
    NPN_PostURLProcPtr entry = HostEntry(&NPNetscapeFuncs::posturl);
    return entry ? entry(instance, url, window, len, buf, file) : NPERR_GENERIC_ERROR;
}

NPError NPN_RequestRead(NPStream* stream, NPByteRange* rangeList) {
    NPN_RequestReadProcPtr entry = HostEntry(&NPNetscapeFuncs::requestread);
    return entry ? entry(stream, rangeList) : NPERR_GENERIC_ERROR;
}

NPError NPN_NewStream(NPP instance, NPMIMEType type, const char* window, NPStream** stream) {
    NPN_NewStreamProcPtr entry = HostEntry(&NPNetscapeFuncs::newstream);
    return entry ? entry(instance, type, window, stream) : NPERR_GENERIC_ERROR;
}

int32 NPN_Write(NPP instance, NPStream* stream, int32 len, void* buffer) {
    NPN_WriteProcPtr entry = HostEntry(&NPNetscapeFuncs::write);
    return entry ? entry(instance, stream, len, buffer) : -1;
}

NPError NPN_DestroyStream(NPP instance, NPStream* stream, NPReason reason) {
    NPN_DestroyStreamProcPtr entry = HostEntry(&NPNetscapeFuncs::destroystream);
    return entry ? entry(instance, stream, reason) : NPERR_GENERIC_ERROR;
}

void NPN_Status(NPP instance, const char* message) {
    NPN_StatusProcPtr entry = HostEntry(&NPNetscapeFuncs::status);
    if (entry) entry(instance, message);
}

const char* NPN_UserAgent(NPP instance) {
    NPN_UserAgentProcPtr entry = HostEntry(&NPNetscapeFuncs::uagent);
    return entry ? entry(instance) : nullptr;
}

void* NPN_MemAlloc(uint32 size) {
    NPN_MemAllocProcPtr entry = HostEntry(&NPNetscapeFuncs::memalloc);
    return entry ? entry(size) : nullptr;
}

void NPN_MemFree(void* ptr) {
    NPN_MemFreeProcPtr entry = HostEntry(&NPNetscapeFuncs::memfree);
    if (entry && ptr) entry(ptr);
}

uint32 NPN_MemFlush(uint32 size) {
    NPN_MemFlushProcPtr entry = HostEntry(&NPNetscapeFuncs::memflush);
    return entry ? entry(size) : 0;
}

void NPN_ReloadPlugins(NPBool reloadPages) {
    NPN_ReloadPluginsProcPtr entry = HostEntry(&NPNetscapeFuncs::reloadplugins);
    if (entry) entry(reloadPages);
}
