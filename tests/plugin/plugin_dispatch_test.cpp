// The nine entry points of the plug-in table: bad instance records, the MIME type, the
// instance object in host memory and the saved-data record handed to the host.
#include "support/plugin_fixture.h"

#include <cstring>

using namespace plugin_test;

namespace {

class PluginDispatch : public PluginFixture {
  protected:
    void SetUp() override {
        PluginFixture::SetUp();
        if (!HasFatalFailure()) start();
        // Start-up has made the library's own block (the preferences record): the tests
        // count what the entry points allocate after it.
        m_allocations_at_start = host().allocations();
        m_live_at_start = host().live_blocks();
    }

    // Blocks allocated since start-up, and blocks live now that were not live after it.
    size_t allocated() const { return host().allocations() - m_allocations_at_start; }
    size_t live() const { return host().live_blocks() - m_live_at_start; }

    // Calls every entry with `npp` (null, or a record without an instance) and expects the
    // answers for an NPP without an instance: 2 from every entry with a result, nothing else.
    void expect_refused_everywhere(NPP npp, const char* what) {
        SCOPED_TRACE(what);
        NPStream stream{};
        stream.url = "http://example.invalid/clip.mov";
        char type[] = "video/quicktime";
        char bytes[4] = {1, 2, 3, 4};
        NPWindow window{};
        NPPrint print{};
        NPSavedData* saved = reinterpret_cast<NPSavedData*>(0x1);
        uint16 stype = 77;

        if (!npp) {
            EXPECT_EQ(funcs.newp(type, npp, NP_EMBED, 0, nullptr, nullptr, nullptr),
                      NPERR_INVALID_INSTANCE_ERROR);
        }
        EXPECT_EQ(funcs.destroy(npp, &saved), NPERR_INVALID_INSTANCE_ERROR);
        EXPECT_EQ(saved, reinterpret_cast<NPSavedData*>(0x1)) << "expected saved untouched";
        EXPECT_EQ(funcs.setwindow(npp, &window), NPERR_INVALID_INSTANCE_ERROR);
        EXPECT_EQ(funcs.newstream(npp, type, &stream, 0, &stype), NPERR_INVALID_INSTANCE_ERROR);
        EXPECT_EQ(stype, 77) << "expected the stream type untouched";
        EXPECT_EQ(funcs.destroystream(npp, &stream, NPRES_DONE), NPERR_INVALID_INSTANCE_ERROR);
        EXPECT_EQ(funcs.writeready(npp, &stream), 2) << "the count is a 32-bit 2";
        EXPECT_EQ(funcs.write(npp, &stream, 0, sizeof bytes, bytes), 2);
        funcs.asfile(npp, &stream, "clip.mov");
        funcs.print(npp, &print);

        EXPECT_EQ(allocated() + host().failed_allocations(), 0u)
            << "expected no host memory asked for";
        EXPECT_TRUE(host().calls().empty()) << "expected no host service called";
    }

  private:
    size_t m_allocations_at_start = 0;
    size_t m_live_at_start = 0;
};

TEST_F(PluginDispatch, NullInstanceRecordInEveryEntry) {
    expect_refused_everywhere(nullptr, "null NPP");
}

TEST_F(PluginDispatch, InstanceRecordWithoutObjectInEveryEntry) {
    NPP_t npp{};
    int host_data = 0;
    npp.ndata = &host_data;
    expect_refused_everywhere(&npp, "NPP with null pdata");
    EXPECT_EQ(npp.pdata, nullptr);
    EXPECT_EQ(npp.ndata, &host_data) << "expected the host's field untouched";
}

TEST_F(PluginDispatch, OnlyVideoQuicktimeIsServed) {
    const char* refused[] = {
        "video/Quicktime",  "VIDEO/QUICKTIME", "application/x-qtc", "application/x-qtc-broadcast",
        "video/quicktime ", "video/quicktim",  "video/quicktimex",  ""};
    for (const char* type : refused) {
        SCOPED_TRACE(std::string("type \"") + type + "\"");
        NPP_t npp{};
        EXPECT_EQ(new_instance(&npp, {{"SRC", "clip.mov"}}, type), NPERR_INVALID_PLUGIN_ERROR);
        EXPECT_EQ(npp.pdata, nullptr) << "expected no instance";
    }
    NPP_t npp{};
    EXPECT_EQ(funcs.newp(nullptr, &npp, NP_EMBED, 0, nullptr, nullptr, nullptr),
              NPERR_INVALID_PLUGIN_ERROR)
        << "a missing type is no type the library serves";
    EXPECT_EQ(allocated() + host().failed_allocations(), 0u)
        << "expected nothing allocated for a refused type";
}

TEST_F(PluginDispatch, NewKeepsTheInstanceInHostMemory) {
    NPP_t npp{};
    int host_data = 0;
    npp.ndata = &host_data;
    ASSERT_EQ(new_instance(&npp, {{"SRC", "clip.mov"}}), NPERR_NO_ERROR);
    ASSERT_NE(npp.pdata, nullptr);
    EXPECT_TRUE(host().owns(npp.pdata)) << "expected the instance object in host memory";
    EXPECT_EQ(allocated(), 1u) << "an attribute the base does not copy takes nothing";
    EXPECT_EQ(npp.ndata, &host_data);
    EXPECT_TRUE(host().calls().empty());

    void* object = npp.pdata;
    EXPECT_EQ(destroy_instance(&npp), NPERR_NO_ERROR);
    EXPECT_EQ(npp.pdata, nullptr);
    EXPECT_FALSE(host().owns(object)) << "expected the instance's memory back at the host";
}

TEST_F(PluginDispatch, NewWithoutMemoryCreatesNothing) {
    host().fail_allocation(1);
    NPP_t npp{};
    EXPECT_EQ(new_instance(&npp, {{"SRC", "clip.mov"}, {"HREF", "a.html"}}),
              NPERR_OUT_OF_MEMORY_ERROR);
    EXPECT_EQ(npp.pdata, nullptr);
    EXPECT_EQ(host().failed_allocations(), 1u);
    EXPECT_EQ(allocated(), 0u) << "expected no attribute copied for a missing instance";
}

TEST_F(PluginDispatch, AttributeCopiesComeBackWithTheInstance) {
    NPP_t npp{};
    ASSERT_EQ(new_instance(&npp, {{"SRC", "clip.mov"},
                                  {"HREF", "next.html"},
                                  {"HREFTARGET", "_blank"},
                                  {"BGCOLOR", "#FF0000"}}),
              NPERR_NO_ERROR);
    EXPECT_EQ(live(), 3u) << "expected the instance and two copies";
    EXPECT_EQ(destroy_instance(&npp), NPERR_NO_ERROR);
    // TearDown checks that nothing is left.
}

TEST_F(PluginDispatch, DestroyHandsTheHostItsSavedDataRecord) {
    NPP_t npp{};
    ASSERT_EQ(new_instance(&npp), NPERR_NO_ERROR);
    NPSavedData* saved = nullptr;
    EXPECT_EQ(funcs.destroy(&npp, &saved), NPERR_NO_ERROR);
    EXPECT_EQ(npp.pdata, nullptr);
    ASSERT_NE(saved, nullptr);
    EXPECT_TRUE(host().owns(saved)) << "expected the record in host memory";
    EXPECT_EQ(host().block_size(saved), sizeof(NPSavedData));
    EXPECT_EQ(saved->len, 24);
    ASSERT_NE(saved->buf, nullptr);
    EXPECT_EQ(host().block_size(saved->buf), 24u);
    EXPECT_EQ(memcmp(saved->buf, "aSavedInstanceDataBlock", 24), 0)
        << "expected the marker text and its zero, got \""
        << std::string(static_cast<char*>(saved->buf), 23) << "\"";
    EXPECT_EQ(live(), 2u) << "expected only the record and its buffer left";
    // The record is the host's now: the host frees it.
    free_saved_data(saved);
}

TEST_F(PluginDispatch, SavedDataRecordThatCannotBeAllocated) {
    NPP_t npp{};
    ASSERT_EQ(new_instance(&npp), NPERR_NO_ERROR);
    host().fail_allocation(1);
    NPSavedData* saved = reinterpret_cast<NPSavedData*>(0x1);
    EXPECT_EQ(funcs.destroy(&npp, &saved), NPERR_NO_ERROR);
    EXPECT_EQ(saved, nullptr) << "expected no record";
    EXPECT_EQ(npp.pdata, nullptr);
    EXPECT_EQ(host().failed_allocations(), 1u);
}

TEST_F(PluginDispatch, SavedDataBufferThatCannotBeAllocated) {
    NPP_t npp{};
    ASSERT_EQ(new_instance(&npp), NPERR_NO_ERROR);
    host().fail_allocation(2);
    NPSavedData* saved = nullptr;
    EXPECT_EQ(funcs.destroy(&npp, &saved), NPERR_NO_ERROR);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->len, 0);
    EXPECT_EQ(saved->buf, nullptr);
    EXPECT_EQ(host().failed_allocations(), 1u);
    free_saved_data(saved);
}

TEST_F(PluginDispatch, DestroyWithoutOutParameterMakesNoRecord) {
    NPP_t npp{};
    ASSERT_EQ(new_instance(&npp), NPERR_NO_ERROR);
    EXPECT_EQ(funcs.destroy(&npp, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(npp.pdata, nullptr);
    EXPECT_EQ(allocated(), 1u) << "expected no record made for nobody";
}

TEST_F(PluginDispatch, StreamEntriesReachTheInstance) {
    NPP_t npp{};
    ASSERT_EQ(new_instance(&npp, {{"SRC", "clip.mov"}}), NPERR_NO_ERROR);
    NPStream stream{};
    stream.url = "http://example.invalid/movies/clip.mov";
    stream.end = 1000;
    char type[] = "video/quicktime";
    uint16 stype = NP_ASFILE;
    EXPECT_EQ(funcs.newstream(&npp, type, &stream, 0, &stype), NPERR_NO_ERROR);
    EXPECT_EQ(stype, NP_NORMAL) << "expected the data asked for as a normal stream";
    EXPECT_EQ(live(), 2u) << "expected the instance and the address copy";

    char bytes[16] = {};
    EXPECT_EQ(funcs.writeready(&npp, &stream), 0x0FFFFFFF);
    EXPECT_EQ(funcs.write(&npp, &stream, 0, sizeof bytes, bytes), 16)
        << "expected the whole block taken into the cache file";
    EXPECT_EQ(funcs.destroystream(&npp, &stream, NPRES_DONE), NPERR_NO_ERROR);
    funcs.asfile(&npp, &stream, "/tmp/clip.mov");
    NPPrint print{};
    print.mode = NP_EMBED;
    funcs.print(&npp, &print);
    EXPECT_TRUE(host().calls().empty());
    EXPECT_EQ(destroy_instance(&npp), NPERR_NO_ERROR);
}

TEST_F(PluginDispatch, InstancesAreIndependent) {
    NPP_t first{}, second{};
    ASSERT_EQ(new_instance(&first, {{"SRC", "a.mov"}, {"HREF", "a.html"}}), NPERR_NO_ERROR);
    ASSERT_EQ(new_instance(&second, {{"SRC", "b.mov"}}), NPERR_NO_ERROR);
    EXPECT_NE(first.pdata, second.pdata);
    EXPECT_EQ(destroy_instance(&first), NPERR_NO_ERROR);
    EXPECT_EQ(first.pdata, nullptr);
    EXPECT_TRUE(host().owns(second.pdata)) << "expected the other instance alive";
    EXPECT_EQ(funcs.writeready(&second, nullptr), 0x0FFFFFFF);
    EXPECT_EQ(destroy_instance(&second), NPERR_NO_ERROR);
}

} // namespace
