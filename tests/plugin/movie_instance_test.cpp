// MovieInstance: the engine check of New, the movie attributes with their case rules, the
// loop limit of the preferences, and the order in which the teardown gives the engine its
// objects back.
//
// MovieInstanceEntryTest drives NPLant32 through its exports with the recording engine
// installed, or with none. MovieInstanceTest builds instances from the plug-in's sources
// linked into this test, with the test host's table as HostFuncs, and sets the library-wide
// state they read (EngineAvailable, PluginPreferences) itself.
#include "movie/movie_instance.h"

#include "engine/engine_loader.h"
#include "engine/engine_slots.h"
#include "host/plugin_globals.h"

#include "engine/engine_folders.h"
#include "engine/recording_engine.h"
#include "support/plugin_fixture.h"
#include "support/scratch_folders.h"
#include "support/test_host.h"

#include <winapi/desktop.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

using namespace plugin_test;
using recording_engine::Installation;
using recording_engine::Library;

namespace {

const char NoEngineMessage[] = "Can not load the plug-in because Quicktime is not installed.";

// Every message box shown so far must be the missing-engine message, as the user sees it:
// no owner, caption "Error", an OK button only.
void expect_no_engine_boxes(size_t count) {
    std::vector<winapi::desktop::MessageBoxRecord> boxes = winapi::desktop::message_boxes();
    ASSERT_EQ(boxes.size(), count)
        << "expected " << count << " message boxes, got " << boxes.size();
    for (size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE("message box " + std::to_string(i));
        EXPECT_EQ(boxes[i].text, NoEngineMessage);
        EXPECT_EQ(boxes[i].caption, "Error");
        EXPECT_EQ(boxes[i].owner, nullptr) << "expected no owner window";
        EXPECT_EQ(boxes[i].type, static_cast<UINT>(MB_OK))
            << "expected MB_OK, got " << boxes[i].type;
    }
}

// Makes `module` the framework's resource handle until the end of the scope.
class ScopedResourceHandle {
  public:
    explicit ScopedResourceHandle(HINSTANCE module) : m_previous(AfxGetResourceHandle()) {
        AfxSetResourceHandle(module);
    }
    ~ScopedResourceHandle() { AfxSetResourceHandle(m_previous); }
    ScopedResourceHandle(const ScopedResourceHandle&) = delete;
    ScopedResourceHandle& operator=(const ScopedResourceHandle&) = delete;

  private:
    HINSTANCE m_previous;
};

// ---- Through the exported entry points --------------------------------------------------------

class MovieInstanceEntryTest : public PluginFixture {
  protected:
    // Starts the library with `installation` as the engine it finds. Nothing of an engine may
    // still be mapped from an earlier test, or the library would find that one instead.
    void start_with(Installation installation) {
        ResetEngineLoader(); // the loader linked into this test, should it hold the engine
        ASSERT_TRUE(recording_engine::release_engine_libraries())
            << "expected no engine library mapped before the start";
        recording_engine::reset();
        m_engine.emplace("LANTERNIX_LIBRARY_PATH", recording_engine::engine_folder(installation));
        start();
    }

    // An engine library the library loaded stays mapped after it: the next test that needs
    // a fresh start lets go of it first, once NPLant32 itself is gone.
    void TearDown() override {
        m_engine.reset();
        PluginFixture::TearDown();
    }

  private:
    std::optional<ScopedEnvironment> m_engine;
};

TEST_F(MovieInstanceEntryTest, WithoutEngineEveryEmbedIsRefusedWithAMessage) {
    start_with(Installation::None);
    NPP_t first{}, second{};
    EXPECT_EQ(new_instance(&first, {{"SRC", "a.mov"}, {"AUTOPLAY", "TRUE"}}), NPERR_GENERIC_ERROR);
    expect_no_engine_boxes(1);
    EXPECT_EQ(new_instance(&second, {{"SRC", "b.mov"}}), NPERR_GENERIC_ERROR);
    expect_no_engine_boxes(2);
    // The refused instances still exist for the host, which destroys them as usual.
    EXPECT_NE(first.pdata, nullptr);
    EXPECT_EQ(destroy_instance(&first), NPERR_NO_ERROR);
    EXPECT_EQ(destroy_instance(&second), NPERR_NO_ERROR);
    EXPECT_TRUE(host().calls().empty()) << "expected no host service called";
}

TEST_F(MovieInstanceEntryTest, RefusedInstanceIgnoresItsStream) {
    start_with(Installation::None);
    NPP_t npp{};
    ASSERT_EQ(new_instance(&npp, {{"SRC", "a.mov"}}), NPERR_GENERIC_ERROR);
    NPStream stream{};
    stream.url = "http://example.invalid/a.mov";
    char type[] = "video/quicktime";
    uint16 stype = 77;
    EXPECT_EQ(funcs.newstream(&npp, type, &stream, 0, &stype), NPERR_NO_ERROR);
    EXPECT_EQ(stype, 77) << "expected the stream type untouched by a failed instance";
    char bytes[4] = {'m', 'o', 'o', 'v'};
    EXPECT_EQ(funcs.write(&npp, &stream, 0, sizeof bytes, bytes), 0);
    EXPECT_EQ(funcs.destroystream(&npp, &stream, NPRES_DONE), NPERR_NO_ERROR);
    EXPECT_EQ(destroy_instance(&npp), NPERR_NO_ERROR);
}

TEST_F(MovieInstanceEntryTest, WithEngineEmbedIsAccepted) {
    start_with(Installation::Recording);
    recording_engine::reset();
    NPP_t npp{};
    EXPECT_EQ(new_instance(&npp, {{"SRC", "a.mov"}, {"LOOP", "TRUE"}}), NPERR_NO_ERROR);
    EXPECT_TRUE(winapi::desktop::message_boxes().empty()) << "expected no message box";
    EXPECT_EQ(destroy_instance(&npp), NPERR_NO_ERROR);
    // Nothing was opened, so the teardown has nothing to give the engine back.
    EXPECT_TRUE(recording_engine::calls().empty())
        << "expected no engine call, got " << recording_engine::calls().size();
}

// ---- From inside -------------------------------------------------------------------------------

static_assert(std::is_same_v<LONG, BOOL>, "the field tables below mix the two");
static_assert(sizeof(MovieInstance::CacheFile) == 2, "16-bit file handle");
static_assert(sizeof(MovieInstance::CacheFilePath) == 256, "256 characters");
static_assert(sizeof(MovieInstance::Movie) == 4 && sizeof(MovieInstance::Controller) == 4,
              "32-bit engine handles");
static_assert(sizeof(MovieInstance::Loop) == 4 && sizeof(MovieInstance::HeaderExamined) == 4,
              "32-bit booleans");
static_assert(sizeof(MovieInstance::LeadTime) == 8 && sizeof(MovieInstance::MovieByteRate) == 8,
              "doubles");

class MovieInstanceTest : public HostFixture {
  protected:
    void SetUp() override {
        HostFixture::SetUp();
        m_table = host().table();
        HostFuncs = &m_table;
        m_saved_engine = EngineAvailable;
        m_saved_preferences = PluginPreferences;
        EngineAvailable = 1;
        PluginPreferences = new Preferences;
        ASSERT_NE(PluginPreferences, nullptr);
        PluginPreferences->Flags = 0;
        PluginPreferences->LoopCount = 3;
    }

    void TearDown() override {
        delete PluginPreferences;
        PluginPreferences = m_saved_preferences;
        EngineAvailable = m_saved_engine;
        EXPECT_EQ(InstanceList, nullptr) << "expected every instance to have left the list";
        HostFuncs = nullptr;
        HostFixture::TearDown();
    }

    // A new instance with New called as NPP_New would; `result` is what New returned.
    MovieInstance* make(const Attributes& attributes, NPError* result = nullptr) {
        MovieInstance* instance = new MovieInstance;
        EXPECT_NE(instance, nullptr);
        if (!instance) return nullptr;
        AttributeArrays arrays(attributes);
        char type[] = "video/quicktime";
        NPError answer = instance->New(type, &m_npp, NP_EMBED, arrays.count(), arrays.names(),
                                       arrays.values(), nullptr);
        if (result)
            *result = answer;
        else
            EXPECT_EQ(answer, NPERR_NO_ERROR);
        return instance;
    }

    ScratchFolders folders; // the preferences record looks up the system folders
    NPP_t m_npp{};

  private:
    NPNetscapeFuncs m_table{};
    int m_saved_engine = 0;
    Preferences* m_saved_preferences = nullptr;
};

// The fields the movie attributes and the loop limit write, by name, for the tables.
struct Field {
    const char* name;
    BOOL MovieInstance::*member;
};

const Field AttributeFields[] = {
    {"Loop", &MovieInstance::Loop},
    {"Palindrome", &MovieInstance::Palindrome},
    {"AutoPlay", &MovieInstance::AutoPlay},
    {"TopLeftMovie", &MovieInstance::TopLeftMovie},
    {"ScaleMovieToFit", &MovieInstance::ScaleMovieToFit},
    {"WithBadge", &MovieInstance::WithBadge},
    {"ControllerHidden", &MovieInstance::ControllerHidden},
    {"PlayRateGiven", &MovieInstance::PlayRateGiven},
    {"PlayRate", &MovieInstance::PlayRate},
    {"LoopsLeft", &MovieInstance::LoopsLeft},
    {"WithFrame", &MovieInstance::WithFrame},
    {"PlayEveryFrame", &MovieInstance::PlayEveryFrame},
    {"VolumeGiven", &MovieInstance::VolumeGiven},
    {"Volume", &MovieInstance::Volume},
};

// The start values of AttributeFields, in the same order.
const std::vector<int> StartValues = {0, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0};

std::vector<int> attribute_values(const MovieInstance& instance) {
    std::vector<int> values;
    for (const Field& field : AttributeFields)
        values.push_back(instance.*field.member);
    return values;
}

// Compares every attribute field with `expected`: the start values with the named fields
// changed.
void expect_fields(const MovieInstance& instance,
                   const std::vector<std::pair<std::string, int>>& changed) {
    std::vector<int> expected = StartValues;
    for (const auto& [name, value] : changed) {
        auto field = std::find_if(std::begin(AttributeFields), std::end(AttributeFields),
                                  [&](const Field& f) { return name == f.name; });
        ASSERT_NE(field, std::end(AttributeFields)) << "no field " << name;
        expected[field - std::begin(AttributeFields)] = value;
    }
    std::vector<int> actual = attribute_values(instance);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i], expected[i])
            << AttributeFields[i].name << ": expected " << expected[i] << ", got " << actual[i];
    }
}

TEST_F(MovieInstanceTest, FieldsStartWithTheirStartValues) {
    MovieInstance* instance = new MovieInstance;
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->WindowHandle, nullptr);
    EXPECT_EQ(instance->Movie, 0u);
    EXPECT_EQ(instance->Controller, 0u);
    EXPECT_EQ(instance->WasActive, TRUE);
    EXPECT_EQ(instance->MeasuredTime, 0u);
    EXPECT_EQ(instance->MeasuredBytes, 0);
    EXPECT_EQ(instance->CacheFile, 0);
    EXPECT_EQ(instance->StreamStartTick, 0u);
    EXPECT_EQ(instance->BytesWritten, 0);
    EXPECT_EQ(instance->SuspendedRate, 0);
    EXPECT_EQ(instance->Suspended, FALSE);
    EXPECT_EQ(instance->FirstSamplesEnd, 0);
    EXPECT_EQ(instance->Duration, 0u);
    EXPECT_EQ(instance->LeadTime, 1.5);
    EXPECT_EQ(instance->MovieByteRate, 0.0);
    EXPECT_EQ(instance->OpenThresholdBase, 0);
    EXPECT_EQ(instance->OpenThresholdMargin, 0);
    EXPECT_EQ(instance->HeaderExamined, FALSE);
    EXPECT_EQ(instance->LastLoopTime, 0u);
    EXPECT_EQ(instance->LoadedTime, 0u);
    EXPECT_EQ(instance->LoadedBytes, 0);
    expect_fields(*instance, {});
    delete instance;
}

TEST_F(MovieInstanceTest, FieldsKeepTheirDeclarationOrder) {
    MovieInstance* instance = new MovieInstance;
    ASSERT_NE(instance, nullptr);
    const void* fields[] = {
        &instance->BackColor,           &instance->Movie,
        &instance->Controller,          &instance->CacheFilePath,
        &instance->WasActive,           &instance->MeasuredTime,
        &instance->MeasuredBytes,       &instance->CacheFile,
        &instance->StreamStartTick,     &instance->BytesWritten,
        &instance->SuspendedRate,       &instance->Suspended,
        &instance->FirstSamplesEnd,     &instance->Duration,
        &instance->TimeScale,           &instance->Loop,
        &instance->Palindrome,          &instance->AutoPlay,
        &instance->TopLeftMovie,        &instance->ScaleMovieToFit,
        &instance->WithBadge,           &instance->ControllerHidden,
        &instance->PlayRateGiven,       &instance->PlayRate,
        &instance->LoopsLeft,           &instance->LeadTime,
        &instance->MovieByteRate,       &instance->OpenThresholdBase,
        &instance->OpenThresholdMargin, &instance->HeaderExamined,
        &instance->LastLoopTime,        &instance->LoadedTime,
        &instance->LoadedBytes,
    };
    for (size_t i = 1; i < std::size(fields); ++i) {
        SCOPED_TRACE("field " + std::to_string(i));
        EXPECT_LT(fields[i - 1], fields[i]) << "expected each field after the one before";
    }
    delete instance;
}

TEST_F(MovieInstanceTest, WithoutEngineNewRefusesBeforeTheBaseRuns) {
    // The message is the library's string: its module serves as the resource handle, so the
    // framework finds the string as it does inside the library.
    PluginLibrary library;
    ASSERT_TRUE(library.loaded());
    ScopedResourceHandle resources(library.module());
    EngineAvailable = 0;
    NPSavedData saved{};
    MovieInstance* instance = new MovieInstance;
    ASSERT_NE(instance, nullptr);
    Attributes attributes = {{"SRC", "clip.mov"}, {"HREF", "next.html"}, {"LOOP", "TRUE"}};
    AttributeArrays arrays(attributes);
    char type[] = "video/quicktime";
    EXPECT_EQ(instance->New(type, &m_npp, NP_FULL, arrays.count(), arrays.names(), arrays.values(),
                            &saved),
              NPERR_GENERIC_ERROR);
    expect_no_engine_boxes(1);
    EXPECT_EQ(instance->Failed, TRUE);
    EXPECT_EQ(instance->SavedData, &saved) << "expected the saved-data record kept";
    EXPECT_EQ(instance->Next, nullptr);
    // Neither the base's page attributes nor the movie attributes were read.
    EXPECT_EQ(instance->HostHandle, nullptr);
    EXPECT_EQ(instance->Mode, NP_EMBED);
    EXPECT_EQ(instance->Href, nullptr);
    EXPECT_STREQ(instance->FileName, "");
    expect_fields(*instance, {});
    instance->SavedData = nullptr; // the host's record, not the instance's
    delete instance;
}

TEST_F(MovieInstanceTest, NoAttributesLeaveStartValuesAndTheBaseStillRuns) {
    for (short count : {0, -1}) {
        SCOPED_TRACE("attribute count " + std::to_string(count));
        MovieInstance* instance = new MovieInstance;
        ASSERT_NE(instance, nullptr);
        char name[] = "LOOP";
        char value[] = "TRUE";
        char* names[] = {name};
        char* values[] = {value};
        char type[] = "video/quicktime";
        EXPECT_EQ(instance->New(type, &m_npp, NP_FULL, count, names, values, nullptr),
                  NPERR_NO_ERROR);
        EXPECT_EQ(instance->HostHandle, &m_npp) << "expected the base New to have run";
        EXPECT_EQ(instance->Mode, NP_FULL);
        expect_fields(*instance, {});
        delete instance;
    }
}

TEST_F(MovieInstanceTest, BasePageAttributesAreStillRead) {
    MovieInstance* instance =
        make({{"SRC", "movies/clip.mov"}, {"HREF", "next.html"}, {"AUTOPLAY", "TRUE"}});
    ASSERT_NE(instance, nullptr);
    EXPECT_STREQ(instance->FileName, "clip.mov");
    ASSERT_NE(instance->Href, nullptr);
    EXPECT_STREQ(instance->Href, "next.html");
    expect_fields(*instance, {{"AutoPlay", 1}});
    delete instance;
}

TEST_F(MovieInstanceTest, MissingNamesAndValuesAreSkipped) {
    MovieInstance* instance = new MovieInstance;
    ASSERT_NE(instance, nullptr);
    char loop[] = "LOOP", autoplay[] = "AUTOPLAY", truth[] = "TRUE";
    char* names[] = {loop, nullptr, autoplay};
    char* values[] = {nullptr, truth, truth};
    char type[] = "video/quicktime";
    EXPECT_EQ(instance->New(type, &m_npp, NP_EMBED, 3, names, values, nullptr), NPERR_NO_ERROR);
    expect_fields(*instance, {{"AutoPlay", 1}});
    delete instance;
}

struct AttributeCase {
    const char* what;
    Attributes attributes;
    std::vector<std::pair<std::string, int>> changed;
};

TEST_F(MovieInstanceTest, MovieAttributesFollowTheirTable) {
    const AttributeCase cases[] = {
        // LOOP and its values.
        {"LOOP=TRUE", {{"LOOP", "TRUE"}}, {{"Loop", 1}}},
        {"names and TRUE in any case", {{"loop", "true"}}, {{"Loop", 1}}},
        {"mixed case", {{"LoOp", "tRuE"}}, {{"Loop", 1}}},
        {"LOOP=FALSE after TRUE", {{"LOOP", "TRUE"}, {"LOOP", "false"}}, {}},
        {"PALINDROME", {{"LOOP", "Palindrome"}}, {{"Loop", 1}, {"Palindrome", 1}}},
        {"PALINDROME then FALSE", {{"LOOP", "PALINDROME"}, {"LOOP", "FALSE"}}, {{"Palindrome", 1}}},
        {"a count", {{"LOOP", "5"}}, {{"Loop", 1}, {"LoopsLeft", 5}}},
        {"a count with leading zeros", {{"LOOP", "007"}}, {{"Loop", 1}, {"LoopsLeft", 7}}},
        {"an empty count", {{"LOOP", ""}}, {{"Loop", 1}, {"LoopsLeft", 0}}},
        {"5x", {{"LOOP", "5x"}}, {}},
        {"-1", {{"LOOP", "-1"}}, {}},
        {"+5", {{"LOOP", "+5"}}, {}},
        {"an unknown value keeps the earlier one",
         {{"LOOP", "TRUE"}, {"LOOP", "yes"}},
         {{"Loop", 1}}},
        {"FALSE keeps a count", {{"LOOP", "4"}, {"LOOP", "FALSE"}}, {{"LoopsLeft", 4}}},
        // The switches.
        {"AUTOPLAY=TRUE", {{"AUTOPLAY", "TRUE"}}, {{"AutoPlay", 1}}},
        {"AUTOPLAY=yes", {{"AUTOPLAY", "yes"}}, {}},
        {"AUTOPLAY=1", {{"autoplay", "1"}}, {}},
        {"AUTOPLAY later wins", {{"AUTOPLAY", "TRUE"}, {"AutoPlay", "False"}}, {}},
        {"MCTOPLEFTMOVIE", {{"mctopleftmovie", "true"}}, {{"TopLeftMovie", 1}}},
        {"MCSCALEMOVIETOFIT", {{"McScaleMovieToFit", "TRUE"}}, {{"ScaleMovieToFit", 1}}},
        {"MCWITHBADGE", {{"MCWITHBADGE", "TRUE"}}, {{"WithBadge", 1}}},
        {"MCWITHBADGE off again", {{"MCWITHBADGE", "TRUE"}, {"MCWITHBADGE", "FALSE"}}, {}},
        {"MCNOTVISIBLE", {{"mcnotvisible", "TRUE"}}, {{"ControllerHidden", 1}}},
        // CONTROLLER writes the same field as MCNOTVISIBLE, the other way round.
        {"CONTROLLER=FALSE", {{"CONTROLLER", "FALSE"}}, {{"ControllerHidden", 1}}},
        {"CONTROLLER=TRUE after MCNOTVISIBLE",
         {{"MCNOTVISIBLE", "TRUE"}, {"controller", "true"}},
         {}},
        {"MCNOTVISIBLE=FALSE after CONTROLLER=FALSE",
         {{"CONTROLLER", "FALSE"}, {"MCNOTVISIBLE", "FALSE"}},
         {}},
        {"CONTROLLER=BADGE",
         {{"CONTROLLER", "badge"}},
         {{"ControllerHidden", 1}, {"WithBadge", 1}}},
        {"CONTROLLER=BADGE then TRUE",
         {{"CONTROLLER", "BADGE"}, {"CONTROLLER", "TRUE"}},
         {{"WithBadge", 1}}},
        {"CONTROLLER=maybe", {{"CONTROLLER", "maybe"}}, {}},
        // PLAYRATE: digits only, taken as a 16.16 rate.
        {"PLAYRATE double speed",
         {{"PLAYRATE", "131072"}},
         {{"PlayRateGiven", 1}, {"PlayRate", 131072}}},
        {"PLAYRATE=1.5", {{"PLAYRATE", "1.5"}}, {}},
        {"PLAYRATE=-2", {{"PLAYRATE", "-2"}}, {}},
        {"PLAYRATE empty", {{"PLAYRATE", ""}}, {}},
        {"an invalid PLAYRATE withdraws a valid one",
         {{"PLAYRATE", "32768"}, {"playrate", "x"}},
         {{"PlayRate", 32768}}},
        // Recognised attributes that nothing acts on.
        {"MCWITHFRAME in capitals", {{"MCWITHFRAME", "true"}}, {{"WithFrame", 1}}},
        {"MCWITHFRAME in lower case", {{"mcwithframe", "TRUE"}}, {}},
        {"MCWITHFRAME in mixed case", {{"McWithFrame", "TRUE"}}, {}},
        {"PLAYEVERYFRAME", {{"playeveryframe", "TRUE"}}, {{"PlayEveryFrame", 1}}},
        {"VOLUME", {{"VOLUME", "256"}}, {{"VolumeGiven", 1}, {"Volume", 256}}},
        {"an invalid VOLUME withdraws a valid one",
         {{"VOLUME", "100"}, {"volume", "loud"}},
         {{"Volume", 100}}},
        {"KEEPASPECTRATIO", {{"KEEPASPECTRATIO", "TRUE"}}, {}},
        // Names that are not movie attributes.
        {"page attributes", {{"HREF", "TRUE"}, {"BGCOLOR", "#000000"}, {"WIDTH", "5"}}, {}},
        {"a name that only starts like one", {{"LOOPS", "TRUE"}, {"AUTOPLAYS", "TRUE"}}, {}},
    };
    for (const AttributeCase& c : cases) {
        SCOPED_TRACE(c.what);
        MovieInstance* instance = make(c.attributes);
        ASSERT_NE(instance, nullptr);
        expect_fields(*instance, c.changed);
        delete instance;
    }
}

// ---- The loop limit of the preferences ---------------------------------------------------------

struct LoopLimitCase {
    const char* what;
    DWORD flags;
    short loopCount;
    Attributes attributes;
    BOOL loop;
    LONG loopsLeft;
};

TEST_F(MovieInstanceTest, LoopLimitOfThePreferencesReplacesTheCount) {
    const DWORD stop = Preferences::StopLooping;
    const LoopLimitCase cases[] = {
        {"limit replaces a count", stop, 3, {{"LOOP", "10"}}, TRUE, 3},
        {"limit applies to LOOP=TRUE", stop, 3, {{"LOOP", "TRUE"}}, TRUE, 3},
        {"limit applies to a palindrome", stop, 2, {{"LOOP", "PALINDROME"}}, TRUE, 2},
        {"no LOOP: no limit", stop, 3, {}, FALSE, -1},
        {"LOOP=FALSE: no limit", stop, 3, {{"LOOP", "7"}, {"LOOP", "FALSE"}}, FALSE, 7},
        {"without StopLooping the count stays", 0, 3, {{"LOOP", "10"}}, TRUE, 10},
        {"other bits do not stop loops", 0x3e, 3, {{"LOOP", "TRUE"}}, TRUE, -1},
        {"a negative count is taken signed", stop, -2, {{"LOOP", "TRUE"}}, TRUE, -2},
        {"the largest count", stop, 32767, {{"LOOP", "1"}}, TRUE, 32767},
    };
    for (const LoopLimitCase& c : cases) {
        SCOPED_TRACE(c.what);
        PluginPreferences->Flags = c.flags;
        PluginPreferences->LoopCount = c.loopCount;
        MovieInstance* instance = make(c.attributes);
        ASSERT_NE(instance, nullptr);
        EXPECT_EQ(instance->Loop, c.loop)
            << "expected Loop " << c.loop << ", got " << instance->Loop;
        EXPECT_EQ(instance->LoopsLeft, c.loopsLeft)
            << "expected LoopsLeft " << c.loopsLeft << ", got " << instance->LoopsLeft;
        delete instance;
    }
}

TEST_F(MovieInstanceTest, WithoutPreferencesRecordNoLimitApplies) {
    // A start-up that found no memory for the record leaves it null; instances go on.
    Preferences* record = PluginPreferences;
    PluginPreferences = nullptr;
    MovieInstance* instance = make({{"LOOP", "4"}});
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->LoopsLeft, 4);
    delete instance;
    PluginPreferences = record;
}

// ---- Teardown ----------------------------------------------------------------------------------

// The linked loader is started on the recording engine, so the teardown's engine calls land
// in its record.
class MovieTeardownTest : public MovieInstanceTest {
  protected:
    void SetUp() override {
        MovieInstanceTest::SetUp();
        release();
        m_engine.emplace("LANTERNIX_LIBRARY_PATH",
                         recording_engine::engine_folder(Installation::Recording));
        ASSERT_EQ(StartEngine(), 0);
        recording_engine::reset();
    }

    void TearDown() override {
        release();
        m_engine.reset();
        MovieInstanceTest::TearDown();
    }

    static void release() {
        ResetEngineLoader();
        EXPECT_TRUE(recording_engine::release_engine_libraries())
            << "expected QTIM32 and CMGR32 to be unmapped, got one still mapped";
        recording_engine::reset();
    }

  private:
    std::optional<ScopedEnvironment> m_engine;
};

struct ExpectedCall {
    Library library;
    int index;
    uint64_t handle; // the one argument of each teardown operation
};

const ExpectedCall Detach = {Library::Component, static_cast<int>(ComponentOperation::DetachMovie),
                             0};
const ExpectedCall DisposeMovie = {Library::Movie, static_cast<int>(MovieOperation::DisposeMovie),
                                   0};
const ExpectedCall DisposeController = {Library::Movie,
                                        static_cast<int>(MovieOperation::DisposeController), 0};

ExpectedCall with(ExpectedCall call, uint64_t handle) {
    call.handle = handle;
    return call;
}

void expect_engine_calls(const std::vector<ExpectedCall>& expected) {
    std::vector<recording_engine::Call> calls = recording_engine::calls();
    ASSERT_EQ(calls.size(), expected.size())
        << "expected " << expected.size() << " engine calls, got " << calls.size();
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE("engine call " + std::to_string(i));
        EXPECT_EQ(calls[i].library, expected[i].library);
        EXPECT_EQ(calls[i].index, expected[i].index)
            << "expected operation " << expected[i].index << ", got " << calls[i].index;
        ASSERT_EQ(calls[i].args.size(), 1u);
        EXPECT_EQ(calls[i].args[0], expected[i].handle)
            << "expected handle " << expected[i].handle << ", got " << calls[i].args[0];
    }
}

TEST_F(MovieTeardownTest, ControllerDropsTheMovieBeforeEitherGoes) {
    MovieInstance* instance = make({{"SRC", "clip.mov"}});
    ASSERT_NE(instance, nullptr);
    instance->Movie = 0x0a0e0001;
    instance->Controller = 0x0c0e0001;
    delete instance;
    expect_engine_calls({with(Detach, 0x0c0e0001), with(DisposeMovie, 0x0a0e0001),
                         with(DisposeController, 0x0c0e0001)});
}

TEST_F(MovieTeardownTest, OnlyWhatExistsIsDisposedOf) {
    MovieInstance* movieOnly = make({});
    ASSERT_NE(movieOnly, nullptr);
    movieOnly->Movie = 0x0a0e0002;
    delete movieOnly;
    expect_engine_calls({with(DisposeMovie, 0x0a0e0002)});

    recording_engine::reset();
    MovieInstance* controllerOnly = make({});
    ASSERT_NE(controllerOnly, nullptr);
    controllerOnly->Controller = 0x0c0e0002;
    delete controllerOnly;
    expect_engine_calls({with(Detach, 0x0c0e0002), with(DisposeController, 0x0c0e0002)});

    recording_engine::reset();
    MovieInstance* neither = make({});
    ASSERT_NE(neither, nullptr);
    delete neither;
    expect_engine_calls({});
}

TEST_F(MovieTeardownTest, OpenCacheFileIsClosed) {
    std::string path = folders.temp_directory() + "LX000042.mov";
    HFILE file = _lcreat(path.c_str(), 0);
    ASSERT_NE(file, HFILE_ERROR);
    MovieInstance* instance = make({});
    ASSERT_NE(instance, nullptr);
    instance->CacheFile = static_cast<short>(file);
    delete instance;
    EXPECT_EQ(_lclose(file), HFILE_ERROR) << "expected the handle closed by the teardown";
    expect_engine_calls({});
}

TEST_F(MovieTeardownTest, BaseTeardownFollowsTheMovieTeardown) {
    register_page_classes();
    HWND page = make_page_window(300, 200);
    HWND embed = make_embed_window(page, 'a', 0, 0, 150, 120);
    MovieInstance* instance = make({});
    ASSERT_NE(instance, nullptr);
    NPWindow record{};
    record.window = embed;
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    instance->Movie = 0x0a0e0003;
    instance->Controller = 0x0c0e0003;
    delete instance;
    expect_engine_calls({with(Detach, 0x0c0e0003), with(DisposeMovie, 0x0a0e0003),
                         with(DisposeController, 0x0c0e0003)});
    EXPECT_EQ(window_proc_of(embed), embed_proc_a);
    EXPECT_EQ(InstanceList, nullptr);
}

} // namespace
