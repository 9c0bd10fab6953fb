// The exported entry points: the plug-in table, the host table's checks, start and stop.
#include "support/plugin_fixture.h"

#include <cstring>

using namespace plugin_test;

namespace {

class PluginEntryPoints : public PluginFixture {
  protected:
    // A plug-in table in a larger buffer whose every byte starts as a known pattern, so a
    // test can see which bytes the library wrote.
    struct TableBuffer {
        alignas(NPPluginFuncs) unsigned char bytes[sizeof(NPPluginFuncs) + 32];
        TableBuffer() { memset(bytes, 0xA5, sizeof bytes); }
        NPPluginFuncs* table() { return reinterpret_cast<NPPluginFuncs*>(bytes); }
    };

    // True when no NPP_New can allocate through a host table: the library holds none.
    void expect_no_host_table(const char* what) {
        SCOPED_TRACE(what);
        NPP_t npp{};
        size_t before = host().allocations() + host().failed_allocations();
        EXPECT_EQ(new_instance(&npp), NPERR_OUT_OF_MEMORY_ERROR);
        EXPECT_EQ(npp.pdata, nullptr);
        EXPECT_EQ(host().allocations() + host().failed_allocations(), before)
            << "expected the host not to be asked for memory";
    }
};

const size_t kPluginMin = NP_PLUGIN_TABLE_MIN_SIZE;
const size_t kHostMin = NP_HOST_TABLE_MIN_SIZE;

TEST_F(PluginEntryPoints, GetEntryPointsRefusesNullTable) {
    EXPECT_EQ(library.get_entry_points(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
}

TEST_F(PluginEntryPoints, TableOfExactlyTheSmallestSizeIsFilled) {
    TableBuffer buffer;
    NPPluginFuncs* table = buffer.table();
    table->size = static_cast<uint16>(kPluginMin);
    ASSERT_EQ(library.get_entry_points(table), NPERR_NO_ERROR);

    EXPECT_EQ(table->size, kPluginMin) << "the size stays as the host wrote it";
    EXPECT_EQ(table->version, 6);
    const void* entries[] = {
        reinterpret_cast<void*>(table->newp),          reinterpret_cast<void*>(table->destroy),
        reinterpret_cast<void*>(table->setwindow),     reinterpret_cast<void*>(table->newstream),
        reinterpret_cast<void*>(table->destroystream), reinterpret_cast<void*>(table->asfile),
        reinterpret_cast<void*>(table->writeready),    reinterpret_cast<void*>(table->write),
        reinterpret_cast<void*>(table->print)};
    for (size_t i = 0; i < std::size(entries); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_NE(entries[i], nullptr);
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(entries[i], entries[j]) << "same as entry " << j;
    }
    EXPECT_EQ(table->event, nullptr);
    for (size_t i = kPluginMin; i < sizeof buffer.bytes; ++i) {
        SCOPED_TRACE("byte " + std::to_string(i));
        ASSERT_EQ(buffer.bytes[i], 0xA5) << "expected the bytes after the event entry untouched";
    }
}

TEST_F(PluginEntryPoints, TableOneByteShortIsLeftUntouched) {
    TableBuffer buffer;
    buffer.table()->size = static_cast<uint16>(kPluginMin - 1);
    TableBuffer before = buffer;
    EXPECT_EQ(library.get_entry_points(buffer.table()), NPERR_INVALID_FUNCTABLE_ERROR);
    EXPECT_EQ(memcmp(before.bytes, buffer.bytes, sizeof buffer.bytes), 0)
        << "expected no byte of the refused table written";
}

TEST_F(PluginEntryPoints, LaterEntriesOfAWholeTableAreNotTouched) {
    TableBuffer buffer;
    NPPluginFuncs* table = buffer.table();
    table->size = sizeof(NPPluginFuncs);
    ASSERT_EQ(library.get_entry_points(table), NPERR_NO_ERROR);
    EXPECT_EQ(table->event, nullptr);
    size_t later = offsetof(NPPluginFuncs, urlnotify);
    for (size_t i = later; i < sizeof buffer.bytes; ++i) {
        SCOPED_TRACE("byte " + std::to_string(i));
        ASSERT_EQ(buffer.bytes[i], 0xA5);
    }
}

TEST_F(PluginEntryPoints, InitializeRefusesNullTable) {
    EXPECT_EQ(initialize(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
}

TEST_F(PluginEntryPoints, ShutdownForgetsTheHostTable) {
    start();
    EXPECT_EQ(shutdown(), NPERR_NO_ERROR);
    expect_no_host_table("after NP_Shutdown");
}

TEST_F(PluginEntryPoints, HostVersionWithAMajorNumberIsRefused) {
    ASSERT_EQ(library.get_entry_points(&funcs), NPERR_NO_ERROR);
    for (uint16 version : {0x0100, 0x0117, 0xFF00}) {
        SCOPED_TRACE(version);
        host_table.version = version;
        EXPECT_EQ(initialize(&host_table), NPERR_INCOMPATIBLE_VERSION_ERROR);
    }
}

TEST_F(PluginEntryPoints, SmallestHostTableOfMinorVersion0x17IsAccepted) {
    ASSERT_EQ(library.get_entry_points(&funcs), NPERR_NO_ERROR);
    host_table.version = 0x0017;
    host_table.size = static_cast<uint16>(kHostMin);
    EXPECT_EQ(initialize(&host_table), NPERR_NO_ERROR);

    NPP_t npp{};
    EXPECT_EQ(new_instance(&npp), NPERR_NO_ERROR);
    EXPECT_TRUE(host().owns(npp.pdata)) << "expected the instance in the host's memory";
    EXPECT_EQ(destroy_instance(&npp), NPERR_NO_ERROR);
}

// The library keeps the host's table before checking it, so even a refused table is the one
// the host services go through: memory is asked of it. A table one byte short of the
// reloadplugins entry still holds the memory entries.
TEST_F(PluginEntryPoints, HostTableOneByteShortIsRefusedYetKept) {
    ASSERT_EQ(library.get_entry_points(&funcs), NPERR_NO_ERROR);
    shutdown();
    expect_no_host_table("before NP_Initialize");

    host_table.size = static_cast<uint16>(kHostMin - 1);
    EXPECT_EQ(initialize(&host_table), NPERR_INVALID_FUNCTABLE_ERROR);

    // A refused table starts nothing, the engine included, so the movie instance refuses to
    // serve; it is made in the refused table's host all the same.
    NPP_t npp{};
    EXPECT_EQ(new_instance(&npp), NPERR_GENERIC_ERROR);
    EXPECT_EQ(host().allocations(), 1u) << "expected the instance from the refused table's host";
    EXPECT_TRUE(host().owns(npp.pdata));
    EXPECT_EQ(destroy_instance(&npp), NPERR_NO_ERROR);
}

TEST_F(PluginEntryPoints, RefusedVersionStillKeepsTheTable) {
    ASSERT_EQ(library.get_entry_points(&funcs), NPERR_NO_ERROR);
    shutdown();
    host_table.version = 0x0100;
    EXPECT_EQ(initialize(&host_table), NPERR_INCOMPATIBLE_VERSION_ERROR);
    // Nothing was started, so the movie instance refuses (no engine), in the kept host's
    // memory.
    NPP_t npp{};
    EXPECT_EQ(new_instance(&npp), NPERR_GENERIC_ERROR);
    EXPECT_TRUE(host().owns(npp.pdata));
    EXPECT_EQ(destroy_instance(&npp), NPERR_NO_ERROR);
}

TEST_F(PluginEntryPoints, StartAndStopAgain) {
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        start();
        NPP_t npp{};
        EXPECT_EQ(new_instance(&npp, {{"SRC", "clip.mov"}, {"HREF", "next.html"}}), NPERR_NO_ERROR);
        EXPECT_EQ(destroy_instance(&npp), NPERR_NO_ERROR);
        EXPECT_EQ(shutdown(), NPERR_NO_ERROR);
        EXPECT_EQ(host().live_blocks(), 0u);
    }
}

TEST_F(PluginEntryPoints, EntryPointsWorkWithoutInitializeFirst) {
    // NP_GetEntryPoints does not depend on NP_Initialize: the host may call them in either
    // order.
    ASSERT_EQ(initialize(&host_table), NPERR_NO_ERROR);
    ASSERT_EQ(library.get_entry_points(&funcs), NPERR_NO_ERROR);
    NPP_t npp{};
    EXPECT_EQ(new_instance(&npp), NPERR_NO_ERROR);
    EXPECT_EQ(destroy_instance(&npp), NPERR_NO_ERROR);
}

} // namespace
