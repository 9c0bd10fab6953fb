// PluginInstance from inside: the plug-in's sources are linked into this test, with the test
// host's table installed as HostFuncs, so the fields that no entry point shows can be read.
#include "instance/plugin_instance.h"

#include "support/instance_fixture.h"

#include <cstring>
#include <string>

using namespace plugin_test;

namespace {

// The base class alone: the movie instance, the one subclass of the library, replaces
// operations that these tests look at in their base versions.
class BaseInstance : public PluginInstance {};

class PluginInstanceTest : public InstanceFixture {
  protected:
    // A new instance with New called as NPP_New would, in host memory.
    BaseInstance* make(const Attributes& attributes = {}, unsigned short mode = NP_EMBED) {
        return make_instance<BaseInstance>(attributes, mode).release();
    }
};

void expect_color(const RGB16& color, int red, int green, int blue) {
    EXPECT_EQ(color.Red, red) << "expected red " << red << ", got " << color.Red;
    EXPECT_EQ(color.Green, green) << "expected green " << green << ", got " << color.Green;
    EXPECT_EQ(color.Blue, blue) << "expected blue " << blue << ", got " << color.Blue;
}

// ---- Layout -------------------------------------------------------------------------------

// The widths the fields are declared with.
static_assert(sizeof(RGB16) == 6, "three 16-bit components");
static_assert(sizeof(PluginInstance::Mode) == 2, "16-bit mode");
static_assert(sizeof(PluginInstance::Failed) == 4 && sizeof(PluginInstance::IsMap) == 4 &&
                  sizeof(PluginInstance::PictureAllowed) == 4 &&
                  sizeof(PluginInstance::StatusAllowed) == 4 &&
                  sizeof(PluginInstance::BackColorGiven) == 4,
              "32-bit booleans");
static_assert(sizeof(PluginInstance::FileName) == 256, "256 characters");
static_assert(sizeof(PluginInstance::StreamLength) == 4, "signed 32-bit");
static_assert(sizeof(PluginInstance::PictureFirstId) == 2 &&
                  sizeof(PluginInstance::PictureLastId) == 2,
              "16-bit identifiers");

TEST_F(PluginInstanceTest, FieldsKeepTheirDeclarationOrder) {
    BaseInstance* instance = make();
    ASSERT_NE(instance, nullptr);
    const void* fields[] = {
        &instance->WindowRecord,  &instance->Mode,           &instance->HostHandle,
        &instance->WindowHandle,  &instance->PrevWindowProc, &instance->SavedData,
        &instance->Next,          &instance->Failed,         &instance->IsMap,
        &instance->Href,          &instance->HrefTarget,     &instance->StreamURL,
        &instance->FileName,      &instance->StreamLength,   &instance->PictureAllowed,
        &instance->StatusAllowed, &instance->Picture,        &instance->PictureRect,
        &instance->StatusRect,    &instance->PictureFirstId, &instance->PictureLastId,
        &instance->StatusText,    &instance->ForeColor,      &instance->BackColorGiven,
        &instance->BackColor};
    for (size_t i = 1; i < std::size(fields); ++i) {
        SCOPED_TRACE("field " + std::to_string(i));
        EXPECT_LT(fields[i - 1], fields[i]);
    }
    delete instance;
}

#if defined(__GXX_ABI_VERSION)
// Under the Itanium C++ ABI a pointer to a virtual member function holds 1 + the byte offset
// of its slot in the virtual table; the destructor takes two slots there.
template <typename Member>
ptrdiff_t slot_of(Member member) {
    ptrdiff_t raw = 0;
    static_assert(sizeof(Member) >= sizeof raw);
    memcpy(&raw, &member, sizeof raw);
    return (raw - 1) / static_cast<ptrdiff_t>(sizeof(void*));
}

TEST_F(PluginInstanceTest, VirtualOperationsKeepTheirSlotOrder) {
    const ptrdiff_t slots[] = {slot_of(&PluginInstance::New),
                               slot_of(&PluginInstance::Destroy),
                               slot_of(&PluginInstance::SetWindow),
                               slot_of(&PluginInstance::NewStream),
                               slot_of(&PluginInstance::WriteReady),
                               slot_of(&PluginInstance::Write),
                               slot_of(&PluginInstance::DestroyStream),
                               slot_of(&PluginInstance::StreamAsFile),
                               slot_of(&PluginInstance::Print),
                               slot_of(&PluginInstance::WindowProc),
                               slot_of(&PluginInstance::TrackContextMenu),
                               slot_of(&PluginInstance::DoMenuCommand),
                               slot_of(&PluginInstance::Draw),
                               slot_of(&PluginInstance::MapCommandId)};
    EXPECT_EQ(slots[0], 2) << "expected New right after the destructor's two entries";
    for (size_t i = 1; i < std::size(slots); ++i) {
        SCOPED_TRACE("operation " + std::to_string(i + 1));
        EXPECT_EQ(slots[i], slots[i - 1] + 1);
    }
}
#endif

// ---- Construction and New ----------------------------------------------------------------

TEST_F(PluginInstanceTest, ConstructorDefaults) {
    BaseInstance* instance = new BaseInstance;
    ASSERT_NE(instance, nullptr);
    EXPECT_TRUE(host().owns(instance)) << "expected the object in host memory";
    EXPECT_EQ(instance->WindowRecord, nullptr);
    EXPECT_EQ(instance->Mode, NP_EMBED);
    EXPECT_EQ(instance->HostHandle, nullptr);
    EXPECT_EQ(instance->WindowHandle, nullptr);
    EXPECT_EQ(instance->PrevWindowProc, nullptr);
    EXPECT_EQ(instance->SavedData, nullptr);
    EXPECT_EQ(instance->Next, nullptr);
    EXPECT_FALSE(instance->Failed);
    EXPECT_FALSE(instance->IsMap);
    EXPECT_EQ(instance->Href, nullptr);
    EXPECT_EQ(instance->HrefTarget, nullptr);
    EXPECT_EQ(instance->StreamURL, nullptr);
    EXPECT_STREQ(instance->FileName, "");
    EXPECT_EQ(instance->StreamLength, 0);
    EXPECT_TRUE(instance->PictureAllowed);
    EXPECT_FALSE(instance->StatusAllowed);
    EXPECT_EQ(instance->Picture.GetSafeHandle(), nullptr);
    EXPECT_EQ(instance->PictureFirstId, -1);
    EXPECT_EQ(instance->PictureLastId, -1);
    EXPECT_EQ(instance->StatusText, nullptr);
    expect_color(instance->ForeColor, 0x4040, 0x4040, 0x4040);
    EXPECT_FALSE(instance->BackColorGiven);
    expect_color(instance->BackColor, 0xFFFF, 0xFFFF, 0xFFFF);
    EXPECT_EQ(InstanceList, nullptr) << "a new instance is not in the list before SetWindow";
    delete instance;
    EXPECT_EQ(host().live_blocks(), 0u);
}

TEST_F(PluginInstanceTest, NoHostMemoryMeansNoObject) {
    host().fail_allocation(1);
    EXPECT_EQ(new BaseInstance, nullptr);
    HostFuncs = nullptr; // before NP_Initialize or after NP_Shutdown
    EXPECT_EQ(new BaseInstance, nullptr);
    EXPECT_EQ(host().allocations(), 0u);
}

TEST_F(PluginInstanceTest, NewKeepsModeAndHandleAndAsksForThePoster) {
    BaseInstance* instance = make({}, NP_FULL);
    EXPECT_EQ(instance->Mode, NP_FULL);
    EXPECT_EQ(instance->HostHandle, &m_npp);
    EXPECT_EQ(instance->PictureFirstId, 4000);
    EXPECT_EQ(instance->PictureLastId, 4000);
    EXPECT_STREQ(instance->FileName, "") << "no attributes, no file name";
    EXPECT_EQ(host().allocations(), 1u) << "expected nothing but the object allocated";
    EXPECT_TRUE(host().calls().empty());
    delete instance;
}

TEST_F(PluginInstanceTest, FileNameFromTheFirstAttributeValue) {
    const std::string long_name(300, 'n');
    const struct {
        std::string value;
        std::string expected;
    } cases[] = {
        {"dir/sub/clip.mov", "clip.mov"},
        {"file:clip.mov", "clip.mov"},
        {"clip.mov", "clip.mov"},
        {"http://example.invalid:8080/movies/clip.mov", "clip.mov"},
        {"C:\\movies\\clip.mov", "\\movies\\clip.mov"},
        {"movies/", ""},
        {"", ""},
        {"dir/" + long_name, std::string(255, 'n')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("value \"" + c.value.substr(0, 60) + "\"");
        BaseInstance* instance = make({{"SRC", c.value}});
        EXPECT_EQ(std::string(instance->FileName), c.expected);
        EXPECT_EQ(instance->FileName[255], '\0');
        delete instance;
    }
}

TEST_F(PluginInstanceTest, FileNameComesFromTheFirstAttributeWhateverItsName) {
    BaseInstance* instance = make({{"WIDTH", "a/b/320"}, {"SRC", "clip.mov"}});
    EXPECT_STREQ(instance->FileName, "320");
    delete instance;
}

TEST_F(PluginInstanceTest, MissingOrNegativeAttributeListsAreIgnored) {
    BaseInstance* instance = new BaseInstance;
    ASSERT_NE(instance, nullptr);
    char type[] = "video/quicktime";
    EXPECT_EQ(instance->New(type, &m_npp, NP_EMBED, 0, nullptr, nullptr, nullptr), NPERR_NO_ERROR);
    char name[] = "HREF";
    char* argn[] = {name};
    char* argv[] = {nullptr};
    EXPECT_EQ(instance->New(type, &m_npp, NP_EMBED, -1, argn, argv, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(instance->Href, nullptr);
    // A present name with a missing value: no file name, and a copy of nothing is no link.
    EXPECT_EQ(instance->New(type, &m_npp, NP_EMBED, 1, argn, argv, nullptr), NPERR_NO_ERROR);
    EXPECT_STREQ(instance->FileName, "");
    EXPECT_EQ(instance->Href, nullptr);
    delete instance;
}

// ---- Attributes ---------------------------------------------------------------------------

TEST_F(PluginInstanceTest, AttributeNamesMatchInAnyCase) {
    for (const char* name : {"href", "Href", "HREF", "hReF", "HREFABS", "hrefabs"}) {
        SCOPED_TRACE(name);
        BaseInstance* instance = make({{"SRC", "clip.mov"}, {name, "next.html"}});
        ASSERT_NE(instance->Href, nullptr);
        EXPECT_STREQ(instance->Href, "next.html");
        EXPECT_TRUE(host().owns(instance->Href)) << "expected the copy in host memory";
        delete instance;
    }
    BaseInstance* instance = make({{"isMap", ""},
                                   {"NoPicture", ""},
                                   {"statusMSG", ""},
                                   {"hrefTarget", "_blank"},
                                   {"bgColor", "#0000FF"}});
    EXPECT_TRUE(instance->IsMap);
    EXPECT_FALSE(instance->PictureAllowed);
    EXPECT_TRUE(instance->StatusAllowed);
    EXPECT_STREQ(instance->HrefTarget, "_blank");
    EXPECT_TRUE(instance->BackColorGiven);
    delete instance;
}

TEST_F(PluginInstanceTest, LaterOfHrefAndHrefAbsWins) {
    BaseInstance* instance = make({{"HREF", "relative.html"}, {"HREFABS", "http://a/b.html"}});
    EXPECT_STREQ(instance->Href, "http://a/b.html");
    delete instance;
    instance = make({{"HREFABS", "http://a/b.html"}, {"HREF", "relative.html"}});
    EXPECT_STREQ(instance->Href, "relative.html");
    delete instance;
    // The replaced copy went back to the host: TearDown finds nothing outstanding.
}

TEST_F(PluginInstanceTest, SwitchesIgnoreTheirValues) {
    BaseInstance* instance = make({{"ISMAP", "FALSE"}, {"NOPICTURE", "FALSE"}, {"STATUSMSG", "0"}});
    EXPECT_TRUE(instance->IsMap);
    EXPECT_FALSE(instance->PictureAllowed);
    EXPECT_TRUE(instance->StatusAllowed);
    EXPECT_EQ(instance->PictureFirstId, -1) << "expected no poster range with NOPICTURE";
    EXPECT_EQ(instance->PictureLastId, -1);
    delete instance;
}

TEST_F(PluginInstanceTest, OtherAttributesAreLeftToTheSubclass) {
    BaseInstance* instance = make({{"SRC", "clip.mov"},
                                   {"AUTOPLAY", "TRUE"},
                                   {"HREFX", "x"},
                                   {"HREFABSOLUTE", "y"},
                                   {"COLOR", "#FF0000"}});
    EXPECT_EQ(instance->Href, nullptr);
    EXPECT_FALSE(instance->BackColorGiven);
    expect_color(instance->ForeColor, 0x4040, 0x4040, 0x4040);
    EXPECT_EQ(host().allocations(), 1u);
    delete instance;
}

TEST_F(PluginInstanceTest, BackgroundColourIsReadInWindowsOrder) {
    const struct {
        const char* value;
        int red, green, blue;
    } cases[] = {
        {"#FF0000", 0, 0, 255}, // the number is 0xBBGGRR: this is blue
        {"#0000ff", 255, 0, 0}, // and this red
        {"#00Ff00", 0, 255, 0},
        {"#123456", 0x56, 0x34, 0x12},
        {"#1FF0000", 0, 0, 255},          // bits above blue are dropped
        {"#123456789", 0x89, 0x67, 0x45}, // only the low 32 bits of the number count
        {"#fff", 255, 15, 0},
        {"# 80", 0x80, 0, 0},  // sscanf skips spaces before a number
        {"#0x20", 0x20, 0, 0}, // and takes a 0x prefix
        {"#40zz", 0x40, 0, 0}, // and stops at the first non-digit
        {"red", 0, 0, 0},      // no '#': black
        {"FF0000", 0, 0, 0},
        {"#", 0, 0, 0},
        {"#zz", 0, 0, 0},
        {"", 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("BGCOLOR \"") + c.value + "\"");
        BaseInstance* instance = make({{"BGCOLOR", c.value}});
        EXPECT_TRUE(instance->BackColorGiven) << "set even when the value cannot be read";
        expect_color(instance->BackColor, c.red, c.green, c.blue);
        delete instance;
    }
}

TEST_F(PluginInstanceTest, ForegroundColourFallsBackToWhite) {
    const struct {
        const char* value;
        int red, green, blue;
    } cases[] = {
        {"#0000FF", 255, 0, 0},
        {"#000000", 0, 0, 0},
        {"grey", 255, 255, 255},
        {"404040", 255, 255, 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("FRCOLOR \"") + c.value + "\"");
        BaseInstance* instance = make({{"FRCOLOR", c.value}});
        expect_color(instance->ForeColor, c.red, c.green, c.blue);
        EXPECT_FALSE(instance->BackColorGiven);
        delete instance;
    }
}

TEST_F(PluginInstanceTest, CopyThatCannotBeMadeLeavesTheAttributeAbsent) {
    BaseInstance* instance = new BaseInstance;
    ASSERT_NE(instance, nullptr);
    host().fail_allocation(1);
    char type[] = "video/quicktime";
    char n0[] = "SRC", n1[] = "HREF", n2[] = "HREFTARGET", n3[] = "ISMAP";
    char v0[] = "clip.mov", v1[] = "next.html", v2[] = "_blank", v3[] = "";
    char* argn[] = {n0, n1, n2, n3};
    char* argv[] = {v0, v1, v2, v3};
    EXPECT_EQ(instance->New(type, &m_npp, NP_EMBED, 4, argn, argv, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(instance->Href, nullptr) << "expected no link when its copy failed";
    EXPECT_STREQ(instance->HrefTarget, "_blank") << "expected the next copy made as usual";
    EXPECT_TRUE(instance->IsMap);
    EXPECT_STREQ(instance->FileName, "clip.mov");
    EXPECT_EQ(host().failed_allocations(), 1u);
    delete instance;
}

TEST_F(PluginInstanceTest, FailedCopyOfTheLaterSynonymLeavesNoLink) {
    BaseInstance* instance = new BaseInstance;
    ASSERT_NE(instance, nullptr);
    host().fail_allocation(2);
    char type[] = "video/quicktime";
    char n0[] = "HREF", n1[] = "HREFABS";
    char v0[] = "first.html", v1[] = "http://example.invalid/second.html";
    char* argn[] = {n0, n1};
    char* argv[] = {v0, v1};
    EXPECT_EQ(instance->New(type, &m_npp, NP_EMBED, 2, argn, argv, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(instance->Href, nullptr);
    EXPECT_EQ(host().live_blocks(), 1u) << "expected the first copy given back";
    delete instance;
}

// ---- Streams ------------------------------------------------------------------------------

TEST_F(PluginInstanceTest, NewStreamKeepsTheAddress) {
    BaseInstance* instance = make({{"SRC", "movies/clip.mov"}});
    NPStream stream{};
    stream.url = "http://example.invalid/other/name.mov";
    unsigned short stype = NP_SEEK;
    char type[] = "video/quicktime";
    EXPECT_EQ(instance->NewStream(type, &stream, 1, &stype), NPERR_NO_ERROR);
    EXPECT_EQ(stype, NP_NORMAL);
    ASSERT_NE(instance->StreamURL, nullptr);
    EXPECT_STREQ(instance->StreamURL, stream.url);
    EXPECT_NE(instance->StreamURL, stream.url) << "expected a copy, not the host's text";
    EXPECT_TRUE(host().owns(instance->StreamURL));
    EXPECT_STREQ(instance->FileName, "clip.mov") << "an embed keeps its attribute's name";

    // A second stream replaces the address; the first copy goes back to the host.
    stream.url = "http://example.invalid/third.mov";
    EXPECT_EQ(instance->NewStream(type, &stream, 0, &stype), NPERR_NO_ERROR);
    EXPECT_STREQ(instance->StreamURL, "http://example.invalid/third.mov");
    EXPECT_EQ(host().live_blocks(), 2u);
    delete instance;
}

TEST_F(PluginInstanceTest, FullWindowInstanceNamesItselfAfterTheStream) {
    BaseInstance* instance = make({}, NP_FULL);
    NPStream stream{};
    stream.url = "http://example.invalid/movies/full.mov";
    unsigned short stype = 0;
    char type[] = "video/quicktime";
    EXPECT_EQ(instance->NewStream(type, &stream, 0, &stype), NPERR_NO_ERROR);
    EXPECT_STREQ(instance->FileName, "full.mov");

    // Without memory for the copy the address is absent, but the name is still taken.
    stream.url = "file:second.mov";
    host().fail_allocation(1);
    EXPECT_EQ(instance->NewStream(type, &stream, 0, &stype), NPERR_NO_ERROR);
    EXPECT_EQ(instance->StreamURL, nullptr);
    EXPECT_STREQ(instance->FileName, "second.mov");
    delete instance;
}

TEST_F(PluginInstanceTest, FailedInstanceTakesNoStream) {
    BaseInstance* instance = make({}, NP_FULL);
    instance->Failed = TRUE;
    NPStream stream{};
    stream.url = "http://example.invalid/clip.mov";
    unsigned short stype = NP_ASFILEONLY;
    char type[] = "video/quicktime";
    EXPECT_EQ(instance->NewStream(type, &stream, 0, &stype), NPERR_NO_ERROR);
    EXPECT_EQ(stype, NP_ASFILEONLY) << "expected the stream type as the host set it";
    EXPECT_EQ(instance->StreamURL, nullptr);
    EXPECT_STREQ(instance->FileName, "");
    EXPECT_EQ(host().allocations(), 1u);
    delete instance;
}

TEST_F(PluginInstanceTest, BaseStreamOperationsAndCommandMapping) {
    BaseInstance* instance = make();
    NPStream stream{};
    char buffer[8] = {};
    EXPECT_EQ(instance->WriteReady(&stream), 0x0FFFFFFF);
    EXPECT_EQ(instance->Write(&stream, 0, sizeof buffer, buffer), 0);
    EXPECT_EQ(instance->DestroyStream(&stream, NPRES_NETWORK_ERR), NPERR_NO_ERROR);
    for (short command : {short(0), short(1), short(-1), short(32767), short(-32768)}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(instance->MapCommandId(command), command);
    }
    delete instance;
}

// ---- Saved data ---------------------------------------------------------------------------

TEST_F(PluginInstanceTest, DestroyHandsOverTheSameRecordEveryTime) {
    BaseInstance* instance = make();
    NPSavedData* first = nullptr;
    NPSavedData* second = nullptr;
    EXPECT_EQ(instance->Destroy(&first), NPERR_NO_ERROR);
    EXPECT_EQ(instance->Destroy(&second), NPERR_NO_ERROR);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->len, 24);
    EXPECT_EQ(memcmp(first->buf, "aSavedInstanceDataBlock", 24), 0);
    EXPECT_EQ(host().allocations(), 3u) << "expected one record and one buffer only";
    delete instance;
    EXPECT_TRUE(host().owns(first)) << "the instance never frees the record: it is the host's";
    free_saved_data(first);
}

// ---- Window and instance list -------------------------------------------------------------

TEST_F(PluginInstanceTest, SetWindowRegistersTheInstance) {
    HWND page = make_page_window(300, 200);
    HWND embed = make_embed_window(page, 'a', 0, 0, 150, 120);
    BaseInstance* instance = make();
    NPWindow record{};
    record.window = embed;
    record.width = 150;
    record.height = 120;
    EXPECT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    EXPECT_EQ(instance->WindowRecord, &record);
    EXPECT_EQ(instance->WindowHandle, embed);
    EXPECT_EQ(instance->PrevWindowProc, embed_proc_a);
    EXPECT_EQ(window_proc_of(embed), InstanceWindowProc);
    EXPECT_EQ(InstanceList, instance);
    EXPECT_EQ(FindInstance(embed), instance);
    EXPECT_EQ(instance->PictureFirstId, 4000) << "expected the recorded range kept";

    NPWindow empty{};
    EXPECT_EQ(instance->SetWindow(&empty), NPERR_NO_ERROR);
    EXPECT_EQ(instance->WindowHandle, nullptr);
    EXPECT_EQ(window_proc_of(embed), embed_proc_a);
    EXPECT_EQ(InstanceList, instance) << "an instance stays in the list when its window goes";
    EXPECT_EQ(FindInstance(embed), nullptr);

    EXPECT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    EXPECT_EQ(instance->PrevWindowProc, embed_proc_a) << "never the plug-in's own procedure";
    EXPECT_EQ(InstanceList, instance);
    EXPECT_EQ(instance->Next, nullptr) << "expected the instance in the list once";
    delete instance;
    EXPECT_EQ(window_proc_of(embed), embed_proc_a);
}

TEST_F(PluginInstanceTest, InstanceListKeepsOrderAndUnlinks) {
    BaseInstance* a = make();
    BaseInstance* b = make();
    BaseInstance* c = make();
    HWND one = reinterpret_cast<HWND>(0x10), two = reinterpret_cast<HWND>(0x20);
    AddInstance(one, a);
    AddInstance(two, b);
    AddInstance(two, c);
    AddInstance(two, b); // already in the list: not appended again
    EXPECT_EQ(InstanceList, a);
    EXPECT_EQ(a->Next, b);
    EXPECT_EQ(b->Next, c);
    EXPECT_EQ(c->Next, nullptr);
    EXPECT_EQ(a->WindowHandle, one);
    EXPECT_EQ(FindInstance(one), a);
    EXPECT_EQ(FindInstance(two), b) << "expected the first in list order";
    EXPECT_EQ(FindInstance(reinterpret_cast<HWND>(0x30)), nullptr);

    // These handles are not windows: forget them before the destructor would give back a
    // procedure that was never taken.
    a->WindowHandle = b->WindowHandle = c->WindowHandle = nullptr;
    delete b; // the middle one
    EXPECT_EQ(InstanceList, a);
    EXPECT_EQ(a->Next, c);
    delete a; // the head
    EXPECT_EQ(InstanceList, c);
    delete c;
    EXPECT_EQ(InstanceList, nullptr);
}

// Records the module state that is current while the instance handles a message.
class StateProbeInstance : public BaseInstance {
  public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PAGE_SUM) SeenState = AfxGetModuleState();
        return PluginInstance::WindowProc(hwnd, message, wParam, lParam);
    }
    AFX_MODULE_STATE* SeenState = nullptr;
};

TEST_F(PluginInstanceTest, WindowProcedureRunsInTheLibrarysModuleState) {
    HWND page = make_page_window(300, 200);
    HWND embed = make_embed_window(page, 'a', 0, 0, 150, 120);
    StateProbeInstance* instance = new StateProbeInstance;
    ASSERT_NE(instance, nullptr);
    NPWindow record{};
    record.window = embed;
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);

    AFX_MODULE_STATE caller_state;
    AFX_MODULE_STATE* before = AfxSetModuleState(&caller_state);
    LRESULT result = SendMessageA(embed, WM_PAGE_SUM, 1, 2);
    AFX_MODULE_STATE* after = AfxSetModuleState(before);
    EXPECT_EQ(result, 3);
    EXPECT_EQ(instance->SeenState, AfxGetStaticModuleState())
        << "expected the library's own state while the instance works";
    EXPECT_EQ(after, &caller_state) << "expected the caller's state back afterwards";
    delete instance;
}

TEST_F(PluginInstanceTest, InvalidateAllNeedsAWindow) {
    BaseInstance* instance = make();
    instance->InvalidateAll(); // no window: nothing to do, nothing to fail
    HWND page = make_page_window(300, 200);
    HWND embed = make_embed_window(page, 'a', 0, 0, 150, 120);
    NPWindow record{};
    record.window = embed;
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    ValidateRect(embed, nullptr);
    instance->InvalidateAll();
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(embed, &update, FALSE));
    EXPECT_EQ(update.right, 150);
    EXPECT_EQ(update.bottom, 120);
    delete instance;
}

TEST_F(PluginInstanceTest, DestructorReleasesEverything) {
    HWND page = make_page_window(300, 200);
    HWND embed = make_embed_window(page, 'a', 0, 0, 150, 120);
    BaseInstance* instance =
        make({{"SRC", "clip.mov"}, {"HREF", "a.html"}, {"HREFTARGET", "_top"}});
    NPStream stream{};
    stream.url = "http://example.invalid/clip.mov";
    unsigned short stype = 0;
    char type[] = "video/quicktime";
    instance->NewStream(type, &stream, 0, &stype);
    instance->StatusText = CopyToHostMemory("Streaming movie...");
    NPWindow record{};
    record.window = embed;
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    EXPECT_EQ(host().live_blocks(), 5u);
    delete instance;
    EXPECT_EQ(host().live_blocks(), 0u);
    EXPECT_EQ(window_proc_of(embed), embed_proc_a);
    EXPECT_EQ(InstanceList, nullptr);
}

// ---- Utilities ----------------------------------------------------------------------------

TEST_F(PluginInstanceTest, ParseNumberTakesDecimalDigitsOnly) {
    const struct {
        const char* text;
        BOOL ok;
        int value;
    } cases[] = {
        {"12", TRUE, 12},
        {"0", TRUE, 0},
        {"007", TRUE, 7},
        {"2147483647", TRUE, 2147483647},
        {"99999999999", TRUE, 2147483647},
        {"", FALSE, -7},
        {"12a", FALSE, -7},
        {" 12", FALSE, -7},
        {"12 ", FALSE, -7},
        {"-3", FALSE, -7},
        {"+3", FALSE, -7},
        {"1.5", FALSE, -7},
        {"0x10", FALSE, -7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        int value = -7;
        EXPECT_EQ(PluginInstance::ParseNumber(c.text, &value), c.ok);
        EXPECT_EQ(value, c.value);
    }
    int value = -7;
    EXPECT_FALSE(PluginInstance::ParseNumber(nullptr, &value));
    EXPECT_EQ(value, -7);
    EXPECT_FALSE(PluginInstance::ParseNumber("5", nullptr));
}

// String resources are the library's: with its module as the resource handle, the
// framework's CString finds them as it does inside the library.
class PluginInstanceStrings : public PluginInstanceTest {
  protected:
    void SetUp() override {
        PluginInstanceTest::SetUp();
        ASSERT_TRUE(m_library.loaded());
        m_previous = AfxGetResourceHandle();
        AfxSetResourceHandle(m_library.module());
    }
    void TearDown() override {
        AfxSetResourceHandle(m_previous);
        PluginInstanceTest::TearDown();
    }
    HINSTANCE module() const { return m_library.module(); }

  private:
    PluginLibrary m_library;
    HINSTANCE m_previous = nullptr;
};

TEST_F(PluginInstanceStrings, LoadsBasePlusOffset) {
    char expected[256] = "";
    if (LoadStringA(module(), 5001, expected, sizeof expected) <= 0)
        GTEST_SKIP() << "the library has no string 5001: its resource script is not built in";
    char buffer[256];
    memset(buffer, 'x', sizeof buffer);
    PluginInstance::LoadStringResource(buffer, 5000, 1);
    EXPECT_STREQ(buffer, expected);
    EXPECT_GT(strlen(buffer), 0u);
}

TEST_F(PluginInstanceStrings, MissingStringGivesTheEmptyText) {
    char buffer[256];
    memset(buffer, 'x', sizeof buffer);
    PluginInstance::LoadStringResource(buffer, -1, -1);
    EXPECT_STREQ(buffer, "");
    memset(buffer, 'x', sizeof buffer);
    PluginInstance::LoadStringResource(buffer, 5000, 999);
    EXPECT_STREQ(buffer, "") << "expected no string 5999";
}

} // namespace
