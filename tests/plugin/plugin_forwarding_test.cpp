// The entry points forward each call to the instance's virtual operation with the arguments
// unchanged and pass its result back unchanged, in its own width. A recording instance in
// pdata shows what arrives; the entry points are the plug-in's own, linked into this test.
#include "host/plugin_entries.h"
#include "instance/plugin_instance.h"

#include "support/test_host.h"

#include <string>
#include <vector>

using namespace plugin_test;

namespace {

// Records every operation the entry points reach, with its arguments, and answers with
// results the base class would never give.
class RecordingInstance : public PluginInstance {
  public:
    ~RecordingInstance() override { *DestructorRan = true; }

    NPError Destroy(NPSavedData** save) override {
        Log.push_back("Destroy");
        SaveArgument = save;
        return NPERR_GENERIC_ERROR;
    }
    NPError SetWindow(NPWindow* window) override {
        Log.push_back("SetWindow");
        Pointers = {window};
        return NPERR_INVALID_PARAM;
    }
    NPError NewStream(NPMIMEType type, NPStream* stream, NPBool seekable,
                      unsigned short* stype) override {
        Log.push_back("NewStream");
        Pointers = {type, stream, stype};
        Seekable = seekable;
        return NPERR_STREAM_NOT_SEEKABLE;
    }
    int32 WriteReady(NPStream* stream) override {
        Log.push_back("WriteReady");
        Pointers = {stream};
        return -123456789;
    }
    int32 Write(NPStream* stream, int32 offset, int32 len, void* buffer) override {
        Log.push_back("Write");
        Pointers = {stream, buffer};
        Offset = offset;
        Length = len;
        return 0x7FFFFFFF;
    }
    NPError DestroyStream(NPStream* stream, NPError reason) override {
        Log.push_back("DestroyStream");
        Pointers = {stream};
        Reason = reason;
        return NPERR_NO_DATA;
    }
    void StreamAsFile(NPStream* stream, const char* fname) override {
        Log.push_back("StreamAsFile");
        Pointers = {stream, fname};
    }
    void Print(NPPrint* platformPrint) override {
        Log.push_back("Print");
        Pointers = {platformPrint};
    }

    bool* DestructorRan = nullptr;
    std::vector<std::string> Log;
    std::vector<const void*> Pointers;
    NPSavedData** SaveArgument = nullptr;
    NPBool Seekable = 0;
    int32 Offset = 0;
    int32 Length = 0;
    NPError Reason = 0;
};

class PluginForwarding : public HostFixture {
  protected:
    void SetUp() override {
        HostFixture::SetUp();
        m_table = host().table();
        HostFuncs = &m_table;
        instance = new RecordingInstance;
        ASSERT_NE(instance, nullptr);
        instance->DestructorRan = &destructor_ran;
        npp.pdata = instance;
    }

    void TearDown() override {
        if (npp.pdata) delete static_cast<RecordingInstance*>(npp.pdata);
        HostFuncs = nullptr;
        HostFixture::TearDown();
    }

    void expect_only(const char* operation) {
        ASSERT_EQ(instance->Log.size(), 1u) << "expected one operation reached";
        EXPECT_EQ(instance->Log[0], operation);
    }

    NPP_t npp{};
    RecordingInstance* instance = nullptr;
    bool destructor_ran = false;

  private:
    NPNetscapeFuncs m_table{};
};

TEST_F(PluginForwarding, SetWindow) {
    NPWindow window{};
    EXPECT_EQ(NPP_SetWindow(&npp, &window), NPERR_INVALID_PARAM);
    expect_only("SetWindow");
    EXPECT_EQ(instance->Pointers, std::vector<const void*>({&window}));
}

TEST_F(PluginForwarding, NewStream) {
    char type[] = "video/quicktime";
    NPStream stream{};
    uint16 stype = 0;
    EXPECT_EQ(NPP_NewStream(&npp, type, &stream, 1, &stype), NPERR_STREAM_NOT_SEEKABLE);
    expect_only("NewStream");
    EXPECT_EQ(instance->Pointers, std::vector<const void*>({type, &stream, &stype}));
    EXPECT_EQ(instance->Seekable, 1);
}

TEST_F(PluginForwarding, WriteReadyAndWriteKeepTheir32BitCounts) {
    NPStream stream{};
    char buffer[4] = {};
    EXPECT_EQ(NPP_WriteReady(&npp, &stream), -123456789);
    EXPECT_EQ(NPP_Write(&npp, &stream, -5, 70000, buffer), 0x7FFFFFFF);
    ASSERT_EQ(instance->Log, std::vector<std::string>({"WriteReady", "Write"}));
    EXPECT_EQ(instance->Pointers, std::vector<const void*>({&stream, buffer}));
    EXPECT_EQ(instance->Offset, -5);
    EXPECT_EQ(instance->Length, 70000);
}

TEST_F(PluginForwarding, DestroyStream) {
    NPStream stream{};
    EXPECT_EQ(NPP_DestroyStream(&npp, &stream, NPRES_USER_BREAK), NPERR_NO_DATA);
    expect_only("DestroyStream");
    EXPECT_EQ(instance->Pointers, std::vector<const void*>({&stream}));
    EXPECT_EQ(instance->Reason, NPRES_USER_BREAK);
}

TEST_F(PluginForwarding, StreamAsFileAndPrint) {
    NPStream stream{};
    const char* fname = "C:\\cache\\clip.mov";
    NPP_StreamAsFile(&npp, &stream, fname);
    EXPECT_EQ(instance->Pointers, std::vector<const void*>({&stream, fname}));
    NPPrint print{};
    NPP_Print(&npp, &print);
    EXPECT_EQ(instance->Pointers, std::vector<const void*>({&print}));
    EXPECT_EQ(instance->Log, std::vector<std::string>({"StreamAsFile", "Print"}));
}

TEST_F(PluginForwarding, DestroySucceedsWhateverTheInstanceReports) {
    NPSavedData* saved = nullptr;
    EXPECT_EQ(NPP_Destroy(&npp, &saved), NPERR_NO_ERROR)
        << "expected success although Destroy reported an error";
    EXPECT_EQ(npp.pdata, nullptr);
    EXPECT_TRUE(destructor_ran) << "expected the object deleted through its destructor";
    EXPECT_EQ(host().live_blocks(), 0u) << "expected the object's memory back at the host";
}

// The instance's Destroy already sees an NPP without an object, so nothing it calls can
// reach the instance through the host's record while it is going away.
class PdataProbe : public RecordingInstance {
  public:
    NPError Destroy(NPSavedData** save) override {
        *PdataSeen = Npp->pdata;
        return RecordingInstance::Destroy(save);
    }
    NPP Npp = nullptr;
    void** PdataSeen = nullptr;
};

TEST_F(PluginForwarding, DestroyClearsPdataBeforeTheInstanceRuns) {
    delete instance;
    PdataProbe* probe = new PdataProbe;
    ASSERT_NE(probe, nullptr);
    void* pdata_seen = probe;
    probe->DestructorRan = &destructor_ran;
    probe->Npp = &npp;
    probe->PdataSeen = &pdata_seen;
    npp.pdata = instance = probe;
    NPSavedData* saved = nullptr;
    EXPECT_EQ(NPP_Destroy(&npp, &saved), NPERR_NO_ERROR);
    EXPECT_EQ(pdata_seen, nullptr) << "expected pdata cleared before Destroy ran";
    EXPECT_EQ(npp.pdata, nullptr);
    EXPECT_TRUE(destructor_ran);
}

} // namespace
