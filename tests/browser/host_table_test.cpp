// The host table's entries that do not need a page: memory, the user agent, and the
// features the viewer does not have, which answer as a browser without them does.
#include "host_services.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace browser;

namespace {

TEST(HostTable, OffersEveryEntryWithMajorVersionZero) {
    NPNetscapeFuncs* table = host_table();
    EXPECT_EQ(table->size, sizeof(NPNetscapeFuncs));
    EXPECT_EQ(table->version >> 8, 0);
    EXPECT_GE(table->size, NP_HOST_TABLE_MIN_SIZE);
    void* const* entries = reinterpret_cast<void* const*>(&table->geturl);
    size_t count = (sizeof(NPNetscapeFuncs) - offsetof(NPNetscapeFuncs, geturl)) / sizeof(void*);
    for (size_t i = 0; i < count; ++i)
        EXPECT_NE(entries[i], nullptr) << "entry " << i;
}

TEST(HostTable, MemoryIsCountedAndAligned) {
    NPNetscapeFuncs* table = host_table();
    size_t before = host_blocks_outstanding();
    void* a = table->memalloc(1);
    void* b = table->memalloc(1000);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % alignof(std::max_align_t), 0u);
    EXPECT_EQ(host_blocks_outstanding(), before + 2);
    table->memfree(a);
    table->memfree(b);
    table->memfree(nullptr);
    EXPECT_EQ(host_blocks_outstanding(), before);
    EXPECT_EQ(table->memflush(1000), 0u);
}

TEST(HostTable, MissingFeaturesAnswerAsABrowserWithoutThem) {
    NPNetscapeFuncs* table = host_table();
    NPP_t instance{};
    EXPECT_STREQ(table->uagent(&instance), "Lanternix-View/1.0");
    EXPECT_EQ(table->posturl(&instance, "http://h/", "_top", 1, "x", 0), NPERR_GENERIC_ERROR);
    EXPECT_EQ(table->requestread(nullptr, nullptr), NPERR_STREAM_NOT_SEEKABLE);
    NPStream* stream = reinterpret_cast<NPStream*>(1);
    EXPECT_EQ(table->newstream(&instance, nullptr, "_new", &stream), NPERR_GENERIC_ERROR);
    EXPECT_EQ(stream, nullptr);
    EXPECT_EQ(table->write(&instance, nullptr, 4, nullptr), -1);
    EXPECT_EQ(table->getJavaEnv(), nullptr);
    EXPECT_EQ(table->getJavaPeer(&instance), nullptr);
    EXPECT_EQ(table->geturlnotify(&instance, "http://h/", nullptr, nullptr), NPERR_GENERIC_ERROR);
    EXPECT_EQ(table->setvalue(&instance, NPPVpluginWindowBool, nullptr), NPERR_GENERIC_ERROR);
    NPBool flag = 1;
    EXPECT_EQ(table->getvalue(&instance, NPNVjavascriptEnabledBool, &flag), NPERR_NO_ERROR);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(table->getvalue(&instance, NPNVxDisplay, &flag), NPERR_GENERIC_ERROR);
    table->reloadplugins(1);
}

TEST(HostTable, EntriesNeedingAPageRefuseWithoutOne) {
    NPNetscapeFuncs* table = host_table();
    set_host_delegate(nullptr);
    NPP_t instance{};
    EXPECT_EQ(table->geturl(&instance, "http://h/", "_top"), NPERR_INVALID_INSTANCE_ERROR);
    EXPECT_EQ(table->geturl(nullptr, "http://h/", "_top"), NPERR_INVALID_INSTANCE_ERROR);
    NPStream stream{};
    EXPECT_EQ(table->destroystream(&instance, &stream, NPRES_DONE), NPERR_INVALID_INSTANCE_ERROR);
    void* window = &instance;
    EXPECT_EQ(table->getvalue(&instance, NPNVnetscapeWindow, &window),
              NPERR_INVALID_INSTANCE_ERROR);
    table->status(&instance, "ignored");
    table->invalidaterect(&instance, nullptr);
    table->forceredraw(&instance);
}

} // namespace
