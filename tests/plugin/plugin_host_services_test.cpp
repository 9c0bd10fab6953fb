// The host services: each NPN_ function calls the entry of the table in HostFuncs with its
// arguments unchanged and returns the entry's result; without a table, or with a table too
// short to hold the entry, it calls nothing and answers as a host without the service.
#include "host/host_interface.h"

#include "support/test_host.h"

#include <cstddef>
#include <cstring>

using namespace plugin_test;

namespace {

class PluginHostServices : public HostFixture {
  protected:
    void SetUp() override {
        HostFixture::SetUp();
        table = host().table();
        HostFuncs = &table;
    }
    void TearDown() override {
        HostFuncs = nullptr;
        HostFixture::TearDown();
    }

    NPNetscapeFuncs table{};
    NPP_t npp{};
};

void expect_call(const HostCall& call, const char* service, NPP instance, const char* text,
                 const char* target) {
    EXPECT_EQ(call.service, service);
    EXPECT_EQ(call.instance, instance);
    EXPECT_EQ(call.text, text) << "expected \"" << text << "\", got \"" << call.text << "\"";
    EXPECT_EQ(call.target, target);
}

TEST_F(PluginHostServices, CallsReachTheHostInOrder) {
    EXPECT_EQ(NPN_GetURL(&npp, "http://example.invalid/next.html", "_top"), NPERR_NO_ERROR);
    NPN_Status(&npp, "http://example.invalid/next.html?10,20");
    EXPECT_EQ(NPN_GetURL(&npp, "file:clip.mov", "_new"), NPERR_NO_ERROR);
    const std::vector<HostCall>& calls = host().calls();
    ASSERT_EQ(calls.size(), 3u);
    expect_call(calls[0], "NPN_GetURL", &npp, "http://example.invalid/next.html", "_top");
    expect_call(calls[1], "NPN_Status", &npp, "http://example.invalid/next.html?10,20", "");
    expect_call(calls[2], "NPN_GetURL", &npp, "file:clip.mov", "_new");
}

TEST_F(PluginHostServices, MemoryComesFromTheHost) {
    void* block = NPN_MemAlloc(40);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(host().owns(block));
    EXPECT_EQ(host().block_size(block), 40u);
    memset(block, 0x5A, 40);
    NPN_MemFree(block);
    EXPECT_FALSE(host().owns(block));
    EXPECT_EQ(host().frees(), 1u);
    NPN_MemFree(nullptr); // nothing to give back, and no call
    EXPECT_EQ(host().frees(), 1u);

    host().fail_allocation(1);
    EXPECT_EQ(NPN_MemAlloc(8), nullptr) << "expected the host's refusal passed on";
}

TEST_F(PluginHostServices, ResultsOfTheOtherServicesPassThrough) {
    EXPECT_EQ(NPN_PostURL(&npp, "http://example.invalid/", "_top", 0, "", 0), NPERR_GENERIC_ERROR);
    EXPECT_EQ(NPN_RequestRead(nullptr, nullptr), NPERR_STREAM_NOT_SEEKABLE);
    NPStream* stream = reinterpret_cast<NPStream*>(0x1);
    char type[] = "text/plain";
    EXPECT_EQ(NPN_NewStream(&npp, type, "_blank", &stream), NPERR_GENERIC_ERROR);
    EXPECT_EQ(stream, nullptr);
    EXPECT_EQ(NPN_Write(&npp, nullptr, 0, nullptr), -1);
    EXPECT_EQ(NPN_DestroyStream(&npp, nullptr, NPRES_DONE), NPERR_GENERIC_ERROR);
    EXPECT_STREQ(NPN_UserAgent(&npp), "LanternixTestHost/1.0");
    EXPECT_EQ(NPN_MemFlush(1000), 0u);
    NPN_ReloadPlugins(0);
    EXPECT_EQ(host().calls().size(), 7u) << "every service but MemFlush is recorded";
}

TEST_F(PluginHostServices, NoTableNoCall) {
    HostFuncs = nullptr;
    EXPECT_EQ(NPN_MemAlloc(16), nullptr);
    NPN_MemFree(reinterpret_cast<void*>(0x1234)); // would be a misuse if it reached the host
    EXPECT_EQ(NPN_GetURL(&npp, "a.html", "_top"), NPERR_GENERIC_ERROR);
    NPN_Status(&npp, "text");
    EXPECT_EQ(NPN_UserAgent(&npp), nullptr);
    EXPECT_TRUE(host().calls().empty());
    EXPECT_EQ(host().allocations() + host().failed_allocations(), 0u);
}

TEST_F(PluginHostServices, EntriesBeyondTheTablesSizeAreNotCalled) {
    // A table that ends right after the memory entries (such a table is refused by
    // NP_Initialize, but kept): the entries it holds work, the later one is not read.
    table.size = static_cast<uint16>(offsetof(NPNetscapeFuncs, memflush));
    void* block = NPN_MemAlloc(4);
    EXPECT_NE(block, nullptr);
    NPN_MemFree(block);
    NPN_ReloadPlugins(1);
    EXPECT_TRUE(host().calls().empty()) << "expected NPN_ReloadPlugins not to reach the host";

    table.size = static_cast<uint16>(offsetof(NPNetscapeFuncs, geturl));
    EXPECT_EQ(NPN_GetURL(&npp, "a.html", "_top"), NPERR_GENERIC_ERROR);
    EXPECT_EQ(NPN_MemAlloc(4), nullptr);
    EXPECT_TRUE(host().calls().empty());
}

TEST_F(PluginHostServices, EmptyEntriesAreNotCalled) {
    table.status = nullptr;
    table.memalloc = nullptr;
    NPN_Status(&npp, "text");
    EXPECT_EQ(NPN_MemAlloc(4), nullptr);
    EXPECT_TRUE(host().calls().empty());
}

} // namespace
