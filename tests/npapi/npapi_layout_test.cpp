// The plug-in interface's records must have the published layout: hosts and plug-ins built
// by different compilers meet only through these bytes. Expected offsets are computed here
// from the published field order, field sizes and the pointer size, not taken from the
// headers under test.
#include <npfunctions.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>

namespace {

constexpr size_t P = sizeof(void*);

constexpr size_t align_up(size_t value, size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

struct Field {
    const char* name;
    size_t actual;
    size_t expected;
};

void expect_fields(const Field* fields, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(fields[i].name);
        EXPECT_EQ(fields[i].expected, fields[i].actual)
            << "expected " << fields[i].name << " at offset " << fields[i].expected << ", got "
            << fields[i].actual;
    }
}

TEST(NpapiTypes, FixedWidthIntegersAndCodes) {
    EXPECT_EQ(2u, sizeof(NPError));
    EXPECT_TRUE(std::is_signed_v<NPError>);
    EXPECT_EQ(2u, sizeof(NPReason));
    EXPECT_EQ(1u, sizeof(NPBool));
    EXPECT_EQ(2u, sizeof(uint16));
    EXPECT_EQ(2u, sizeof(int16));
    EXPECT_EQ(4u, sizeof(uint32));
    EXPECT_EQ(4u, sizeof(int32));
    EXPECT_TRUE(std::is_unsigned_v<uint32>);
    EXPECT_TRUE(std::is_signed_v<int32>);

    const int codes[] = {NPERR_NO_ERROR,
                         NPERR_GENERIC_ERROR,
                         NPERR_INVALID_INSTANCE_ERROR,
                         NPERR_INVALID_FUNCTABLE_ERROR,
                         NPERR_MODULE_LOAD_FAILED_ERROR,
                         NPERR_OUT_OF_MEMORY_ERROR,
                         NPERR_INVALID_PLUGIN_ERROR,
                         NPERR_INVALID_PLUGIN_DIR_ERROR,
                         NPERR_INCOMPATIBLE_VERSION_ERROR,
                         NPERR_INVALID_PARAM,
                         NPERR_INVALID_URL,
                         NPERR_FILE_NOT_FOUND,
                         NPERR_NO_DATA,
                         NPERR_STREAM_NOT_SEEKABLE};
    for (int i = 0; i < static_cast<int>(std::size(codes)); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(i, codes[i]);
    }
    EXPECT_EQ(0, NPRES_DONE);
    EXPECT_EQ(1, NPRES_NETWORK_ERR);
    EXPECT_EQ(2, NPRES_USER_BREAK);
    EXPECT_EQ(1, NP_EMBED);
    EXPECT_EQ(2, NP_FULL);
    EXPECT_EQ(1, NP_NORMAL);
    EXPECT_EQ(2, NP_SEEK);
    EXPECT_EQ(3, NP_ASFILE);
    EXPECT_EQ(4, NP_ASFILEONLY);
}

TEST(NpapiLayout, InstanceAndSavedData) {
    const Field fields[] = {
        {"NPP_t.pdata", offsetof(NPP_t, pdata), 0},
        {"NPP_t.ndata", offsetof(NPP_t, ndata), P},
        {"NPSavedData.len", offsetof(NPSavedData, len), 0},
        {"NPSavedData.buf", offsetof(NPSavedData, buf), align_up(4, P)},
    };
    expect_fields(fields, std::size(fields));
    EXPECT_EQ(2 * P, sizeof(NPP_t));
    EXPECT_EQ(align_up(4, P) + P, sizeof(NPSavedData));
}

TEST(NpapiLayout, StreamAndByteRange) {
    const Field fields[] = {
        {"NPStream.pdata", offsetof(NPStream, pdata), 0},
        {"NPStream.ndata", offsetof(NPStream, ndata), P},
        {"NPStream.url", offsetof(NPStream, url), 2 * P},
        {"NPStream.end", offsetof(NPStream, end), 3 * P},
        {"NPStream.lastmodified", offsetof(NPStream, lastmodified), 3 * P + 4},
        {"NPStream.notifyData", offsetof(NPStream, notifyData), align_up(3 * P + 8, P)},
        {"NPByteRange.offset", offsetof(NPByteRange, offset), 0},
        {"NPByteRange.length", offsetof(NPByteRange, length), 4},
        {"NPByteRange.next", offsetof(NPByteRange, next), align_up(8, P)},
    };
    expect_fields(fields, std::size(fields));
    EXPECT_EQ(align_up(3 * P + 8, P) + P, sizeof(NPStream));
}

TEST(NpapiLayout, WindowAndRect) {
    const Field fields[] = {
        {"NPRect.top", offsetof(NPRect, top), 0},
        {"NPRect.left", offsetof(NPRect, left), 2},
        {"NPRect.bottom", offsetof(NPRect, bottom), 4},
        {"NPRect.right", offsetof(NPRect, right), 6},
        {"NPWindow.window", offsetof(NPWindow, window), 0},
        {"NPWindow.x", offsetof(NPWindow, x), P},
        {"NPWindow.y", offsetof(NPWindow, y), P + 4},
        {"NPWindow.width", offsetof(NPWindow, width), P + 8},
        {"NPWindow.height", offsetof(NPWindow, height), P + 12},
        {"NPWindow.clipRect", offsetof(NPWindow, clipRect), P + 16},
    };
    expect_fields(fields, std::size(fields));
    EXPECT_EQ(8u, sizeof(NPRect));
    // Nothing follows clipRect: on 32-bit Windows the record is 28 bytes.
    EXPECT_EQ(align_up(P + 24, P), sizeof(NPWindow));
}

TEST(NpapiLayout, PrintRecords) {
    const Field fields[] = {
        {"NPFullPrint.pluginPrinted", offsetof(NPFullPrint, pluginPrinted), 0},
        {"NPFullPrint.printOne", offsetof(NPFullPrint, printOne), 1},
        {"NPFullPrint.platformPrint", offsetof(NPFullPrint, platformPrint), P},
        {"NPEmbedPrint.window", offsetof(NPEmbedPrint, window), 0},
        {"NPEmbedPrint.platformPrint", offsetof(NPEmbedPrint, platformPrint), sizeof(NPWindow)},
        {"NPPrint.mode", offsetof(NPPrint, mode), 0},
        {"NPPrint.print", offsetof(NPPrint, print), P},
    };
    expect_fields(fields, std::size(fields));
    NPPrint print{};
    EXPECT_EQ(static_cast<void*>(&print.print.fullPrint),
              static_cast<void*>(&print.print.embedPrint))
        << "expected the two print records to share their storage";
}

// Entry k of a table (counting from 0) starts after the two 16-bit fields, aligned.
constexpr size_t entry_offset(size_t k) {
    return align_up(4, P) + k * P;
}

TEST(NpapiLayout, PluginTableEntriesInOrder) {
    EXPECT_EQ(0u, offsetof(NPPluginFuncs, size));
    EXPECT_EQ(2u, offsetof(NPPluginFuncs, version));
    const Field entries[] = {
        {"newp", offsetof(NPPluginFuncs, newp), entry_offset(0)},
        {"destroy", offsetof(NPPluginFuncs, destroy), entry_offset(1)},
        {"setwindow", offsetof(NPPluginFuncs, setwindow), entry_offset(2)},
        {"newstream", offsetof(NPPluginFuncs, newstream), entry_offset(3)},
        {"destroystream", offsetof(NPPluginFuncs, destroystream), entry_offset(4)},
        {"asfile", offsetof(NPPluginFuncs, asfile), entry_offset(5)},
        {"writeready", offsetof(NPPluginFuncs, writeready), entry_offset(6)},
        {"write", offsetof(NPPluginFuncs, write), entry_offset(7)},
        {"print", offsetof(NPPluginFuncs, print), entry_offset(8)},
        {"event", offsetof(NPPluginFuncs, event), entry_offset(9)},
        {"urlnotify", offsetof(NPPluginFuncs, urlnotify), entry_offset(10)},
        {"javaClass", offsetof(NPPluginFuncs, javaClass), entry_offset(11)},
        {"getvalue", offsetof(NPPluginFuncs, getvalue), entry_offset(12)},
        {"setvalue", offsetof(NPPluginFuncs, setvalue), entry_offset(13)},
    };
    expect_fields(entries, std::size(entries));
    EXPECT_EQ(entry_offset(14), sizeof(NPPluginFuncs));
}

TEST(NpapiLayout, HostTableEntriesInOrder) {
    EXPECT_EQ(0u, offsetof(NPNetscapeFuncs, size));
    EXPECT_EQ(2u, offsetof(NPNetscapeFuncs, version));
    const Field entries[] = {
        {"geturl", offsetof(NPNetscapeFuncs, geturl), entry_offset(0)},
        {"posturl", offsetof(NPNetscapeFuncs, posturl), entry_offset(1)},
        {"requestread", offsetof(NPNetscapeFuncs, requestread), entry_offset(2)},
        {"newstream", offsetof(NPNetscapeFuncs, newstream), entry_offset(3)},
        {"write", offsetof(NPNetscapeFuncs, write), entry_offset(4)},
        {"destroystream", offsetof(NPNetscapeFuncs, destroystream), entry_offset(5)},
        {"status", offsetof(NPNetscapeFuncs, status), entry_offset(6)},
        {"uagent", offsetof(NPNetscapeFuncs, uagent), entry_offset(7)},
        {"memalloc", offsetof(NPNetscapeFuncs, memalloc), entry_offset(8)},
        {"memfree", offsetof(NPNetscapeFuncs, memfree), entry_offset(9)},
        {"memflush", offsetof(NPNetscapeFuncs, memflush), entry_offset(10)},
        {"reloadplugins", offsetof(NPNetscapeFuncs, reloadplugins), entry_offset(11)},
        {"getJavaEnv", offsetof(NPNetscapeFuncs, getJavaEnv), entry_offset(12)},
        {"getJavaPeer", offsetof(NPNetscapeFuncs, getJavaPeer), entry_offset(13)},
        {"geturlnotify", offsetof(NPNetscapeFuncs, geturlnotify), entry_offset(14)},
        {"posturlnotify", offsetof(NPNetscapeFuncs, posturlnotify), entry_offset(15)},
        {"getvalue", offsetof(NPNetscapeFuncs, getvalue), entry_offset(16)},
        {"setvalue", offsetof(NPNetscapeFuncs, setvalue), entry_offset(17)},
        {"invalidaterect", offsetof(NPNetscapeFuncs, invalidaterect), entry_offset(18)},
        {"invalidateregion", offsetof(NPNetscapeFuncs, invalidateregion), entry_offset(19)},
        {"forceredraw", offsetof(NPNetscapeFuncs, forceredraw), entry_offset(20)},
    };
    expect_fields(entries, std::size(entries));
    EXPECT_EQ(entry_offset(21), sizeof(NPNetscapeFuncs));
}

TEST(NpapiLayout, SmallestTablesEndAfterEventAndReloadPlugins) {
    // Ten plug-in entries (newp .. event) and twelve host entries (geturl .. reloadplugins).
    EXPECT_EQ(entry_offset(10), NP_PLUGIN_TABLE_MIN_SIZE);
    EXPECT_EQ(entry_offset(12), NP_HOST_TABLE_MIN_SIZE);
    // The published 32-bit sizes (44 and 52) are checked by the headers' own static
    // assertions, compiled for a 32-bit target by the npapi_tables_32bit test.
    // A host's table size must fit its 16-bit size field.
    EXPECT_LE(sizeof(NPNetscapeFuncs), 0xffffu);
}

// The entry types keep the published argument lists: a host calls through them blindly.
TEST(NpapiLayout, EntryTypesHavePublishedSignatures) {
    EXPECT_TRUE((std::is_same_v<NPP_NewProcPtr, NPError (*)(NPMIMEType, NPP, uint16, int16, char**,
                                                            char**, NPSavedData*)>));
    EXPECT_TRUE((std::is_same_v<NPP_NewStreamProcPtr,
                                NPError (*)(NPP, NPMIMEType, NPStream*, NPBool, uint16*)>));
    EXPECT_TRUE((std::is_same_v<NPP_WriteProcPtr, int32 (*)(NPP, NPStream*, int32, int32, void*)>));
    EXPECT_TRUE((std::is_same_v<NPP_WriteReadyProcPtr, int32 (*)(NPP, NPStream*)>));
    EXPECT_TRUE((std::is_same_v<NPP_DestroyStreamProcPtr, NPError (*)(NPP, NPStream*, NPReason)>));
    EXPECT_TRUE((std::is_same_v<NPN_MemAllocProcPtr, void* (*)(uint32)>));
    EXPECT_TRUE((std::is_same_v<NPN_GetURLProcPtr, NPError (*)(NPP, const char*, const char*)>));
    EXPECT_TRUE((std::is_same_v<NPN_StatusProcPtr, void (*)(NPP, const char*)>));
    EXPECT_TRUE((std::is_same_v<NP_GetEntryPointsFunc, NPError (*)(NPPluginFuncs*)>));
    EXPECT_TRUE((std::is_same_v<NP_InitializeFunc, NPError (*)(NPNetscapeFuncs*)>));
    EXPECT_TRUE((std::is_same_v<NP_ShutdownFunc, NPError (*)()>));
}

} // namespace
