#include "support/test_host.h"

#include <winapi/desktop.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace plugin_test {

namespace {

std::string text_or_empty(const char* text) {
    return text ? text : "";
}

HostCall call_of(const char* service, NPP instance, const char* text = nullptr,
                 const char* target = nullptr) {
    HostCall call;
    call.service = service;
    call.instance = instance;
    call.text = text_or_empty(text);
    call.target = text_or_empty(target);
    call.text_null = !text;
    call.target_null = !target;
    return call;
}

// ---- The table's entries --------------------------------------------------------------

NPError get_url(NPP instance, const char* url, const char* window) {
    host().record(call_of("NPN_GetURL", instance, url, window));
    return NPERR_NO_ERROR;
}

NPError post_url(NPP instance, const char* url, const char* window, uint32, const char*, NPBool) {
    host().record(call_of("NPN_PostURL", instance, url, window));
    return NPERR_GENERIC_ERROR; // this host posts nothing
}

NPError request_read(NPStream*, NPByteRange*) {
    host().record(call_of("NPN_RequestRead", nullptr));
    return NPERR_STREAM_NOT_SEEKABLE;
}

NPError new_stream(NPP instance, NPMIMEType type, const char* window, NPStream** stream) {
    host().record(call_of("NPN_NewStream", instance, type, window));
    if (stream) *stream = nullptr;
    return NPERR_GENERIC_ERROR;
}

int32 write(NPP instance, NPStream*, int32, void*) {
    host().record(call_of("NPN_Write", instance));
    return -1;
}

NPError destroy_stream(NPP instance, NPStream*, NPReason) {
    host().record(call_of("NPN_DestroyStream", instance));
    return NPERR_GENERIC_ERROR;
}

void status(NPP instance, const char* message) {
    host().record(call_of("NPN_Status", instance, message));
}

const char* user_agent(NPP instance) {
    host().record(call_of("NPN_UserAgent", instance));
    return "LanternixTestHost/1.0";
}

void* mem_alloc(uint32 size) {
    return host().allocate(size);
}

void mem_free(void* block) {
    host().free_block(block);
}

uint32 mem_flush(uint32) {
    return 0; // nothing cached that could be given up
}

void reload_plugins(NPBool) {
    host().record(call_of("NPN_ReloadPlugins", nullptr));
}

JRIEnv* get_java_env() {
    return nullptr;
}

jref get_java_peer(NPP) {
    return nullptr;
}

NPError get_url_notify(NPP instance, const char* url, const char* target, void*) {
    host().record(call_of("NPN_GetURLNotify", instance, url, target));
    return NPERR_GENERIC_ERROR;
}

NPError post_url_notify(NPP instance, const char* url, const char* target, uint32, const char*,
                        NPBool, void*) {
    host().record(call_of("NPN_PostURLNotify", instance, url, target));
    return NPERR_GENERIC_ERROR;
}

NPError get_value(NPP instance, NPNVariable, void*) {
    host().record(call_of("NPN_GetValue", instance));
    return NPERR_GENERIC_ERROR;
}

NPError set_value(NPP instance, NPPVariable, void*) {
    host().record(call_of("NPN_SetValue", instance));
    return NPERR_GENERIC_ERROR;
}

void invalidate_rect(NPP instance, NPRect*) {
    host().record(call_of("NPN_InvalidateRect", instance));
}

void invalidate_region(NPP instance, NPRegion) {
    host().record(call_of("NPN_InvalidateRegion", instance));
}

void force_redraw(NPP instance) {
    host().record(call_of("NPN_ForceRedraw", instance));
}

} // namespace

// ---- TestHost -------------------------------------------------------------------------

NPNetscapeFuncs TestHost::table() const {
    NPNetscapeFuncs funcs{};
    funcs.size = sizeof funcs;
    funcs.version = kVersion;
    funcs.geturl = get_url;
    funcs.posturl = post_url;
    funcs.requestread = request_read;
    funcs.newstream = new_stream;
    funcs.write = write;
    funcs.destroystream = destroy_stream;
    funcs.status = status;
    funcs.uagent = user_agent;
    funcs.memalloc = mem_alloc;
    funcs.memfree = mem_free;
    funcs.memflush = mem_flush;
    funcs.reloadplugins = reload_plugins;
    funcs.getJavaEnv = get_java_env;
    funcs.getJavaPeer = get_java_peer;
    funcs.geturlnotify = get_url_notify;
    funcs.posturlnotify = post_url_notify;
    funcs.getvalue = get_value;
    funcs.setvalue = set_value;
    funcs.invalidaterect = invalidate_rect;
    funcs.invalidateregion = invalidate_region;
    funcs.forceredraw = force_redraw;
    return funcs;
}

void TestHost::reset() {
    m_calls.clear();
    m_live.clear();
    m_planned_failures.clear();
    m_misuse.clear();
    m_allocations = m_failed = m_frees = 0;
}

size_t TestHost::live_bytes() const {
    size_t total = 0;
    for (const auto& [block, size] : m_live)
        total += size;
    return total;
}

size_t TestHost::block_size(const void* block) const {
    auto found = m_live.find(block);
    return found == m_live.end() ? 0 : found->second;
}

void TestHost::fail_allocation(int nth) {
    if (nth > 0) m_planned_failures.push_back(nth);
}

void* TestHost::allocate(uint32 size) {
    bool refuse = false;
    for (int& countdown : m_planned_failures) {
        if (--countdown == 0) refuse = true;
    }
    std::erase_if(m_planned_failures, [](int countdown) { return countdown <= 0; });
    if (refuse) {
        ++m_failed;
        return nullptr;
    }
    // Zero-byte requests still get a block of their own, as malloc gives.
    void* block = std::malloc(size ? size : 1);
    if (!block) return nullptr;
    ++m_allocations;
    m_live[block] = size;
    return block;
}

void TestHost::free_block(void* block) {
    if (!block) return; // as free() does
    auto found = m_live.find(block);
    if (found == m_live.end()) {
        std::ostringstream text;
        text << "NPN_MemFree of " << block << ", which the host did not give out or got back";
        m_misuse.push_back(text.str());
        return;
    }
    m_live.erase(found);
    ++m_frees;
    std::free(block);
}

TestHost& host() {
    static TestHost the_host;
    return the_host;
}

// ---- HostFixture ----------------------------------------------------------------------

void HostFixture::SetUp() {
    winapi::desktop::reset();
    host().reset();
}

void HostFixture::TearDown() {
    EXPECT_EQ(host().live_blocks(), 0u)
        << "expected no host memory outstanding, got " << host().live_blocks() << " blocks, "
        << host().live_bytes() << " bytes";
    for (const std::string& problem : host().misuse())
        ADD_FAILURE() << problem;
    winapi::desktop::reset();
}

} // namespace plugin_test
