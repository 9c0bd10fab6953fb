#include "host_services.h"

#include <map>

namespace winhost {

namespace {

HostRecord g_record;
HWND g_host_window = nullptr;

// Host memory comes from a heap of its own, so that the plug-in's blocks are never mixed up
// with the C runtime's and a stray free shows up as a bad free instead of corrupting memory.
HANDLE host_heap() {
    static HANDLE heap = HeapCreate(0, 0, 0);
    return heap;
}

std::map<void*, unsigned long>& live_blocks() {
    static std::map<void*, unsigned long> blocks;
    return blocks;
}

NPError host_get_url(NPP, const char* url, const char* target) {
    g_record.url_requests.push_back({url ? url : "", target ? target : ""});
    return NPERR_NO_ERROR;
}

NPError host_post_url(NPP, const char*, const char*, uint32, const char*, NPBool) {
    ++g_record.unexpected_calls;
    return NPERR_GENERIC_ERROR;
}

NPError host_request_read(NPStream*, NPByteRange*) {
    ++g_record.unexpected_calls;
    return NPERR_GENERIC_ERROR;
}

NPError host_new_stream(NPP, NPMIMEType, const char*, NPStream**) {
    ++g_record.unexpected_calls;
    return NPERR_GENERIC_ERROR;
}

int32 host_write(NPP, NPStream*, int32, void*) {
    ++g_record.unexpected_calls;
    return -1;
}

NPError host_destroy_stream(NPP, NPStream*, NPReason) {
    ++g_record.unexpected_calls;
    return NPERR_GENERIC_ERROR;
}

void host_status(NPP, const char* message) {
    g_record.status_texts.push_back(message ? message : "");
}

const char* host_user_agent(NPP) {
    ++g_record.user_agent_calls;
    return "Mozilla/3.0 (Win95; I) LanternixTestHost/1.0";
}

void* host_mem_alloc(uint32 size) {
    void* block = HeapAlloc(host_heap(), 0, size ? size : 1);
    if (block) live_blocks()[block] = size;
    return block;
}

void host_mem_free(void* block) {
    if (!block) return;
    auto found = live_blocks().find(block);
    if (found == live_blocks().end()) {
        ++g_record.bad_frees;
        return;
    }
    live_blocks().erase(found);
    HeapFree(host_heap(), 0, block);
}

uint32 host_mem_flush(uint32) {
    return 0;
}

void host_reload_plugins(NPBool) {
    ++g_record.unexpected_calls;
}

NPError host_get_url_notify(NPP, const char* url, const char* target, void*) {
    g_record.url_requests.push_back({url ? url : "", target ? target : ""});
    return NPERR_NO_ERROR;
}

NPError host_get_value(NPP, NPNVariable variable, void* value) {
    if (variable == NPNVnetscapeWindow && value) {
        *static_cast<HWND*>(value) = g_host_window;
        return NPERR_NO_ERROR;
    }
    return NPERR_GENERIC_ERROR;
}

} // namespace

NPNetscapeFuncs make_host_table() {
    NPNetscapeFuncs table = {};
    table.size = sizeof(NPNetscapeFuncs);
    table.version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    table.geturl = host_get_url;
    table.posturl = host_post_url;
    table.requestread = host_request_read;
    table.newstream = host_new_stream;
    table.write = host_write;
    table.destroystream = host_destroy_stream;
    table.status = host_status;
    table.uagent = host_user_agent;
    table.memalloc = host_mem_alloc;
    table.memfree = host_mem_free;
    table.memflush = host_mem_flush;
    table.reloadplugins = host_reload_plugins;
    table.geturlnotify = host_get_url_notify;
    table.getvalue = host_get_value;
    return table;
}

void set_host_window(HWND window) {
    g_host_window = window;
}

const HostRecord& host_record() {
    return g_record;
}

void reset_host_record() {
    g_record = HostRecord{};
}

int outstanding_blocks() {
    return static_cast<int>(live_blocks().size());
}

unsigned long outstanding_bytes() {
    unsigned long total = 0;
    for (const auto& block : live_blocks())
        total += block.second;
    return total;
}

bool is_host_block(const void* block, unsigned long size) {
    auto found = live_blocks().find(const_cast<void*>(block));
    return found != live_blocks().end() && found->second >= size;
}

void host_free(void* block) {
    host_mem_free(block);
}

} // namespace winhost
