// The library start-up (NPP_Initialize) and shutdown (NPP_Shutdown), two ways.
//
// StartupTest drives NPLant32 as a browser does, through NP_Initialize and NP_Shutdown, with
// the recording engine installed (or not) behind LANTERNIX_LIBRARY_PATH and the library's
// profile NPLant32.INI in a Windows directory of the test's own. The preferences record is
// the one block of host memory the start-up allocates; the test host's table is wrapped so the
// test learns where that block is and reads the record in it.
//
// StartupStateTest calls NPP_Initialize and NPP_Shutdown of the plug-in's sources linked into
// this test, to look at what no entry point shows: EngineAvailable, PluginMenu, ContextMenu
// and the PluginPreferences pointer. Its application object is the test program's own, which
// takes its resources from the loaded NPLant32 (the framework's resource handle).
//
// Engine libraries stay loaded for the life of the loader that loaded them, and a library
// already loaded under a name satisfies every later load of that name. Each test therefore
// starts and ends with no engine library mapped: it resets the loader it used (the linked
// one with ResetEngineLoader; NPLant32's by unloading the whole library, which the test
// checks) and then gives back every load of QTIM32 and CMGR32. So each test sees exactly the
// installation it selects, whether the tests run in one process or one process each.
#include "engine/engine_slots.h"
#include "host/plugin_entries.h"
#include "host/plugin_globals.h"
#include "resource.h"

#include "engine/engine_folders.h"
#include "engine/recording_engine.h"
#include "support/plugin_library.h"
#include "support/scratch_folders.h"
#include "support/test_host.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using namespace plugin_test;
using recording_engine::Installation;
using recording_engine::Library;

namespace {

const char Section[] = "Lanternix Plugin";
const char LibraryProfile[] = "NPLant32.INI";

// The eight keys in the order the record writes them.
const std::vector<std::string> SavedKeyOrder = {
    "CacheDirectory",   "HelperApp",   "StopLooping",          "PauseInBackground",
    "DontDeleteMovies", "StartSooner", "UseHelperApplication", "LoopCount",
};

// A copy of a record's values (the record itself cannot be copied).
struct RecordValues {
    DWORD flags;
    short loop_count;
    std::string cache_directory;
    std::string helper_app;

    static RecordValues of(const Preferences& preferences) {
        return {preferences.Flags, preferences.LoopCount, preferences.CacheDirectory,
                preferences.HelperApp};
    }
};

// Engine operation indices of the movie library that start-up may reach.
const int StartSessionIndex = 57;
const int InitializeMoviesIndex = 11;

// One engine call as the tables of expected calls write it.
struct ExpectedCall {
    Library library;
    int index;
};

const char* library_name(Library library) {
    return library == Library::Movie ? "movie" : "component";
}

// Compares the engine calls recorded so far with `expected`: library and index of each.
void expect_engine_calls(const std::vector<ExpectedCall>& expected) {
    std::vector<recording_engine::Call> calls = recording_engine::calls();
    EXPECT_EQ(calls.size(), expected.size())
        << "expected " << expected.size() << " engine calls, got " << calls.size();
    for (size_t i = 0; i < std::min(calls.size(), expected.size()); ++i) {
        SCOPED_TRACE("engine call " + std::to_string(i));
        EXPECT_TRUE(calls[i].library == expected[i].library && calls[i].index == expected[i].index)
            << "expected " << library_name(expected[i].library) << " " << expected[i].index
            << ", got " << library_name(calls[i].library) << " " << calls[i].index;
    }
}

// Leaves the process with no engine library mapped and the recording engine's record empty.
// The loader linked into this test gives back what it holds first, so none of its slots can
// point into a library that goes away.
void release_engine() {
    ResetEngineLoader();
    EXPECT_TRUE(recording_engine::release_engine_libraries())
        << "expected QTIM32 and CMGR32 to be unmapped, got one still mapped";
    recording_engine::reset();
}

// The host table of the tests: the test host's, with an allocator that also remembers every
// block it hands out, newest last.
std::vector<void*>& allocated_blocks() {
    static std::vector<void*> blocks;
    return blocks;
}

void* remembering_alloc(uint32 size) {
    void* block = host().allocate(size);
    if (block) allocated_blocks().push_back(block);
    return block;
}

NPNetscapeFuncs remembering_table() {
    NPNetscapeFuncs table = host().table();
    table.memalloc = remembering_alloc;
    allocated_blocks().clear();
    return table;
}

// ---- Through the exported entry points ------------------------------------------------------

class StartupTest : public HostFixture {
  protected:
    void SetUp() override {
        HostFixture::SetUp();
        release_engine();
        m_table = remembering_table();
    }

    void TearDown() override {
        unload();
        release_engine();
        HostFixture::TearDown();
    }

    // Loads NPLant32 afresh (so its engine loader is in its load-time state) with the engine
    // installation `installation` in the library path, and hands it the plug-in table.
    void load(Installation installation) {
        unload();
        m_engine_path.emplace("LANTERNIX_LIBRARY_PATH",
                              recording_engine::engine_folder(installation));
        m_library.emplace();
        ASSERT_TRUE(m_library->loaded()) << "expected to load " << plugin_path();
        NPPluginFuncs funcs{};
        funcs.size = sizeof funcs;
        ASSERT_EQ(m_library->get_entry_points(&funcs), NPERR_NO_ERROR);
    }

    // Shuts the library down if it is started, unloads it and checks it is gone from the
    // process: a library that stayed mapped would carry its loader and its globals into the
    // next test.
    void unload() {
        if (m_started) shutdown();
        if (!m_library) return;
        m_library.reset();
        EXPECT_EQ(GetModuleHandleA(plugin_path()), nullptr)
            << "expected NPLant32 to be unmapped once unloaded, got it still mapped";
        m_engine_path.reset();
    }

    NPError initialize() {
        m_started = true;
        return m_library->initialize(&m_table);
    }

    NPError shutdown() {
        m_started = false;
        return m_library->shutdown();
    }

    // The preferences record: the newest block the library allocated that is still live,
    // as long as it has the record's size. Null when there is none.
    const Preferences* record() const {
        for (auto block = allocated_blocks().rbegin(); block != allocated_blocks().rend();
             ++block) {
            if (host().owns(*block) && host().block_size(*block) == sizeof(Preferences))
                return static_cast<const Preferences*>(*block);
        }
        return nullptr;
    }

    std::optional<std::string> stored(const char* key) const {
        return profile_value(LibraryProfile, Section, key);
    }
    void store(const char* key, const char* value) {
        ASSERT_TRUE(write_profile_value(LibraryProfile, Section, key, value));
    }
    std::string profile_path() const { return folders.windows_directory() + "/" + LibraryProfile; }

    // The profile holds all eight keys, and nothing else, with the record's values. A
    // profile that the record wrote from empty has them in the order the record writes them;
    // keys that were there before keep their places.
    void expect_profile_holds(const RecordValues& values, bool written_from_empty) {
        std::vector<std::string> keys = profile_keys(LibraryProfile, Section);
        if (written_from_empty) {
            EXPECT_EQ(keys, SavedKeyOrder);
        } else {
            std::vector<std::string> expected = SavedKeyOrder;
            std::sort(keys.begin(), keys.end());
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(keys, expected);
        }
        EXPECT_EQ(stored("CacheDirectory"), values.cache_directory);
        EXPECT_EQ(stored("HelperApp"), values.helper_app);
        struct Option {
            const char* key;
            DWORD bit;
        };
        const Option options[] = {
            {"StopLooping", Preferences::StopLooping},
            {"PauseInBackground", Preferences::PauseInBackground},
            {"DontDeleteMovies", Preferences::DontDeleteMovies},
            {"StartSooner", Preferences::StartSooner},
            {"UseHelperApplication", Preferences::UseHelperApplication},
        };
        for (const Option& option : options) {
            SCOPED_TRACE(option.key);
            EXPECT_EQ(stored(option.key), (values.flags & option.bit) ? "1" : "0");
        }
        EXPECT_EQ(stored("LoopCount"), std::to_string(values.loop_count));
    }

    ScratchFolders folders;

  private:
    NPNetscapeFuncs m_table{};
    std::optional<ScopedEnvironment> m_engine_path;
    std::optional<PluginLibrary> m_library;
    bool m_started = false;
};

TEST_F(StartupTest, WithoutEngineStartsAndLoadsThePreferences) {
    load(Installation::None);
    ASSERT_EQ(initialize(), NPERR_NO_ERROR);
    expect_engine_calls({});
    EXPECT_EQ(host().live_blocks(), 1u) << "expected the preferences record and nothing else";
    const Preferences* preferences = record();
    ASSERT_NE(preferences, nullptr) << "expected a block of sizeof(Preferences)";
    // An empty profile: the defaults, StopLooping set by its missing key.
    EXPECT_EQ(preferences->Flags, Preferences::StopLooping);
    EXPECT_EQ(preferences->LoopCount, 3);
    EXPECT_EQ(std::string(preferences->CacheDirectory), folders.temp_directory());
    EXPECT_EQ(std::string(preferences->HelperApp), folders.windows_directory() + "\\Play32.exe");
    // Loading writes nothing.
    EXPECT_FALSE(std::filesystem::exists(profile_path()));
    EXPECT_EQ(shutdown(), NPERR_NO_ERROR);
    EXPECT_EQ(host().live_blocks(), 0u);
}

TEST_F(StartupTest, StartedEngineIsReadiedForMovies) {
    load(Installation::Recording);
    ASSERT_EQ(initialize(), NPERR_NO_ERROR);
    // The first start of the engine begins its session; start-up then readies it for movies
    // and asks nothing else (no version).
    expect_engine_calls(
        {{Library::Movie, StartSessionIndex}, {Library::Movie, InitializeMoviesIndex}});
    recording_engine::reset();
    EXPECT_EQ(shutdown(), NPERR_NO_ERROR);
    // Shutdown neither ends the session nor touches the engine otherwise.
    expect_engine_calls({});
}

TEST_F(StartupTest, FailedEngineStartIsNotReadiedForMovies) {
    const Installation failing[] = {Installation::MovieOnly, Installation::NoEntryPoint,
                                    Installation::NoCMgrInitialize,
                                    Installation::CMgrInitializeFails};
    for (Installation installation : failing) {
        SCOPED_TRACE(recording_engine::engine_folder(installation));
        load(installation);
        EXPECT_EQ(initialize(), NPERR_NO_ERROR) << "expected a failing engine not to fail start-up";
        for (const recording_engine::Call& call : recording_engine::calls()) {
            EXPECT_NE(call.index, InitializeMoviesIndex)
                << "expected no EngineInitializeMovies after a failed start";
        }
        EXPECT_NE(record(), nullptr) << "expected the preferences record all the same";
        unload();
        release_engine();
    }
}

TEST_F(StartupTest, SecondStartupStartsTheEngineAgainAndKeepsTheRecord) {
    load(Installation::Recording);
    ASSERT_EQ(initialize(), NPERR_NO_ERROR);
    const Preferences* first = record();
    ASSERT_NE(first, nullptr);
    size_t allocations = host().allocations();
    // A change of the profile behind the library's back: a reload would pick it up.
    store("StopLooping", "0");
    store("LoopCount", "9");
    ASSERT_EQ(initialize(), NPERR_NO_ERROR);
    EXPECT_EQ(host().allocations(), allocations) << "expected no second record";
    EXPECT_EQ(record(), first);
    EXPECT_EQ(first->Flags, Preferences::StopLooping) << "expected the record not reloaded";
    EXPECT_EQ(first->LoopCount, 3);
    // The engine is started again (a second count, no second session) and readied again.
    expect_engine_calls({{Library::Movie, StartSessionIndex},
                         {Library::Movie, InitializeMoviesIndex},
                         {Library::Movie, InitializeMoviesIndex}});
    EXPECT_EQ(shutdown(), NPERR_NO_ERROR);
    // The one record was saved over the change.
    EXPECT_EQ(stored("StopLooping"), "1");
    EXPECT_EQ(stored("LoopCount"), "3");
}

TEST_F(StartupTest, OutOfMemoryForTheRecordFailsStartupAndShutdownTouchesNoRecord) {
    load(Installation::None);
    host().fail_allocation(1);
    EXPECT_EQ(initialize(), NPERR_OUT_OF_MEMORY_ERROR);
    EXPECT_EQ(host().failed_allocations(), 1u);
    EXPECT_EQ(host().live_blocks(), 0u);
    EXPECT_EQ(shutdown(), NPERR_NO_ERROR);
    EXPECT_EQ(host().frees(), 0u) << "expected no record to be freed";
    EXPECT_FALSE(std::filesystem::exists(profile_path())) << "expected no record to be saved";
    // The pointer stayed null, so the next start-up makes the record.
    EXPECT_EQ(initialize(), NPERR_NO_ERROR);
    EXPECT_NE(record(), nullptr);
    EXPECT_EQ(shutdown(), NPERR_NO_ERROR);
    EXPECT_EQ(host().frees(), 1u);
    EXPECT_TRUE(std::filesystem::exists(profile_path()));
}

TEST_F(StartupTest, ShutdownSavesTheRecordAndTheNextStartupReadsItBack) {
    std::filesystem::create_directories(folders.path("movies"));
    std::string movies = folders.path("movies") + "\\";
    store("CacheDirectory", movies.c_str());
    store("HelperApp", "C:\\Programs\\Player\\play.exe");
    store("StartSooner", "5");
    store("StopLooping", "0");
    store("LoopCount", "70000");
    load(Installation::None);
    ASSERT_EQ(initialize(), NPERR_NO_ERROR);
    ASSERT_NE(record(), nullptr);
    RecordValues first = RecordValues::of(*record());
    EXPECT_EQ(first.flags, Preferences::StartSooner);
    EXPECT_EQ(first.loop_count, 4464);
    EXPECT_EQ(first.cache_directory, movies);
    ASSERT_EQ(shutdown(), NPERR_NO_ERROR);
    // Shutdown left all eight keys, with the record's last values (5 became 1).
    expect_profile_holds(first, false);
    EXPECT_EQ(stored("StartSooner"), "1");

    // A new record, with what the first shutdown saved.
    ASSERT_EQ(initialize(), NPERR_NO_ERROR);
    const Preferences* second = record();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Flags, first.flags);
    EXPECT_EQ(second->LoopCount, first.loop_count);
    EXPECT_EQ(std::string(second->CacheDirectory), first.cache_directory);
    EXPECT_EQ(std::string(second->HelperApp), first.helper_app);
}

TEST_F(StartupTest, SavedCacheDirectoryThatWentAwayIsNotReadBack) {
    std::filesystem::create_directories(folders.path("movies"));
    store("CacheDirectory", folders.path("movies").c_str());
    load(Installation::None);
    ASSERT_EQ(initialize(), NPERR_NO_ERROR);
    ASSERT_EQ(shutdown(), NPERR_NO_ERROR);
    EXPECT_EQ(stored("CacheDirectory"), folders.path("movies"));
    std::filesystem::remove(folders.path("movies"));
    ASSERT_EQ(initialize(), NPERR_NO_ERROR);
    ASSERT_NE(record(), nullptr);
    EXPECT_EQ(std::string(record()->CacheDirectory), folders.temp_directory());
}

// What the library leaves in its profile: after start-up, shutdown and start-up again with no
// engine installed, NPLant32.INI holds all eight keys under "Lanternix Plugin" with the values
// of the record in use.
TEST_F(StartupTest, ProfileHoldsAllEightKeysAfterARestartWithoutEngine) {
    load(Installation::None);
    ASSERT_EQ(initialize(), NPERR_NO_ERROR);
    ASSERT_EQ(shutdown(), NPERR_NO_ERROR);
    ASSERT_EQ(initialize(), NPERR_NO_ERROR);
    expect_engine_calls({});
    const Preferences* preferences = record();
    ASSERT_NE(preferences, nullptr);
    ASSERT_TRUE(std::filesystem::exists(profile_path()))
        << "expected " << profile_path() << " to exist";
    expect_profile_holds(RecordValues::of(*preferences), true);
}

// ---- From inside ----------------------------------------------------------------------------

class StartupStateTest : public HostFixture {
  protected:
    void SetUp() override {
        HostFixture::SetUp();
        release_engine();
        m_table = remembering_table();
        HostFuncs = &m_table;
        expect_load_time_state();
        // The test program's own module holds no resources: it takes NPLant32's.
        m_resources.emplace();
        ASSERT_TRUE(m_resources->loaded()) << "expected to load " << plugin_path();
        m_previous_resources = AfxGetStaticModuleState()->m_hCurrentResourceHandle;
        AfxGetStaticModuleState()->m_hCurrentResourceHandle = m_resources->module();
    }

    void TearDown() override {
        NPP_Shutdown();
        // The library never clears EngineAvailable; the next test starts from load time.
        EngineAvailable = 0;
        expect_load_time_state();
        HostFuncs = nullptr;
        AfxGetStaticModuleState()->m_hCurrentResourceHandle = m_previous_resources;
        m_resources.reset();
        m_engine_path.reset();
        release_engine();
        HostFixture::TearDown();
    }

    void use_engine(Installation installation) {
        m_engine_path.emplace("LANTERNIX_LIBRARY_PATH",
                              recording_engine::engine_folder(installation));
    }

    // Takes the library's resources away again, as if it had no menu resource.
    void without_resources() {
        AfxGetStaticModuleState()->m_hCurrentResourceHandle = m_previous_resources;
    }

    void expect_load_time_state() {
        EXPECT_EQ(EngineAvailable, 0);
        EXPECT_EQ(PluginMenu.GetSafeHmenu(), nullptr) << "expected PluginMenu to hold no menu";
        EXPECT_EQ(ContextMenu, nullptr);
        EXPECT_EQ(PluginPreferences, nullptr);
    }

    // The context menu is the first pop-up of the menu PluginMenu holds, with the library's
    // commands in it.
    void expect_context_menu() {
        ASSERT_NE(PluginMenu.GetSafeHmenu(), nullptr) << "expected PluginMenu to hold a menu";
        ASSERT_NE(ContextMenu, nullptr);
        EXPECT_EQ(ContextMenu->GetSafeHmenu(), GetSubMenu(PluginMenu.GetSafeHmenu(), 0));
        EXPECT_EQ(ContextMenu, CMenu::FromHandle(ContextMenu->GetSafeHmenu()));
        EXPECT_NE(GetMenuState(ContextMenu->GetSafeHmenu(), IDM_PREFERENCES, MF_BYCOMMAND),
                  static_cast<UINT>(-1))
            << "expected the preferences command in the pop-up";
    }

    ScratchFolders folders;

  private:
    NPNetscapeFuncs m_table{};
    std::optional<ScopedEnvironment> m_engine_path;
    std::optional<PluginLibrary> m_resources;
    HINSTANCE m_previous_resources = nullptr;
};

TEST_F(StartupStateTest, WithoutEngineTheEngineIsNotAvailable) {
    use_engine(Installation::None);
    EXPECT_EQ(NPP_Initialize(), NPERR_NO_ERROR);
    EXPECT_EQ(EngineAvailable, 0);
    expect_context_menu();
    ASSERT_NE(PluginPreferences, nullptr);
    EXPECT_TRUE(host().owns(PluginPreferences));
    EXPECT_EQ(PluginPreferences->Flags, Preferences::StopLooping) << "expected it loaded";
}

TEST_F(StartupStateTest, ReadyEngineIsAvailable) {
    use_engine(Installation::Recording);
    EXPECT_EQ(NPP_Initialize(), NPERR_NO_ERROR);
    EXPECT_EQ(EngineAvailable, 1);
    expect_context_menu();
    EXPECT_NE(PluginPreferences, nullptr);
}

TEST_F(StartupStateTest, EngineWhoseMoviesFailToInitializeIsNotAvailable) {
    use_engine(Installation::Recording);
    recording_engine::set_result(Library::Movie, InitializeMoviesIndex, 1);
    EXPECT_EQ(NPP_Initialize(), NPERR_NO_ERROR);
    EXPECT_EQ(EngineAvailable, 0);
    expect_engine_calls(
        {{Library::Movie, StartSessionIndex}, {Library::Movie, InitializeMoviesIndex}});
    expect_context_menu();
    EXPECT_NE(PluginPreferences, nullptr);
}

TEST_F(StartupStateTest, EngineThatFailsToStartIsNotAvailable) {
    use_engine(Installation::CMgrInitializeFails);
    EXPECT_EQ(NPP_Initialize(), NPERR_NO_ERROR);
    EXPECT_EQ(EngineAvailable, 0);
    expect_context_menu();
    EXPECT_NE(PluginPreferences, nullptr);
}

TEST_F(StartupStateTest, ShutdownDestroysTheMenuAndFreesTheRecord) {
    use_engine(Installation::Recording);
    ASSERT_EQ(NPP_Initialize(), NPERR_NO_ERROR);
    HMENU menu = PluginMenu.GetSafeHmenu();
    HMENU popup = GetSubMenu(menu, 0);
    NPP_Shutdown();
    EXPECT_EQ(ContextMenu, nullptr);
    EXPECT_EQ(PluginMenu.GetSafeHmenu(), nullptr);
    EXPECT_FALSE(IsMenu(menu)) << "expected the menu destroyed";
    EXPECT_FALSE(IsMenu(popup)) << "expected its pop-up destroyed with it";
    EXPECT_EQ(PluginPreferences, nullptr);
    EXPECT_EQ(host().frees(), 1u);
    // The engine stays started.
    EXPECT_EQ(EngineAvailable, 1);
    // A stopped library starts again: the menu is loaded again, a new record made.
    ASSERT_EQ(NPP_Initialize(), NPERR_NO_ERROR);
    expect_context_menu();
    EXPECT_NE(PluginPreferences, nullptr);
}

TEST_F(StartupStateTest, SecondStartupKeepsMenuAndRecordAndLeaksNoMenu) {
    use_engine(Installation::None);
    ASSERT_EQ(NPP_Initialize(), NPERR_NO_ERROR);
    HMENU menu = PluginMenu.GetSafeHmenu();
    CMenu* context = ContextMenu;
    Preferences* preferences = PluginPreferences;
    // Menu handles come from one counter: whatever the second start-up makes lies between
    // these two probes, and none of it may be left alive.
    HMENU before = CreatePopupMenu();
    ASSERT_EQ(NPP_Initialize(), NPERR_NO_ERROR);
    HMENU after = CreatePopupMenu();
    ASSERT_NE(before, nullptr);
    ASSERT_NE(after, nullptr);
    EXPECT_GT(reinterpret_cast<uintptr_t>(after), reinterpret_cast<uintptr_t>(before) + 1)
        << "expected the second start-up to load a menu (and destroy it)";
    for (uintptr_t handle = reinterpret_cast<uintptr_t>(before) + 1;
         handle < reinterpret_cast<uintptr_t>(after); ++handle) {
        EXPECT_FALSE(IsMenu(reinterpret_cast<HMENU>(handle)))
            << "expected no menu left by the second start-up, got " << handle << " alive";
    }
    DestroyMenu(before);
    DestroyMenu(after);
    EXPECT_EQ(PluginMenu.GetSafeHmenu(), menu);
    EXPECT_EQ(ContextMenu, context);
    EXPECT_TRUE(IsMenu(menu));
    EXPECT_EQ(PluginPreferences, preferences);
    EXPECT_EQ(host().allocations(), 1u);
}

TEST_F(StartupStateTest, OutOfMemoryLeavesEngineAndMenuInPlace) {
    use_engine(Installation::Recording);
    host().fail_allocation(1);
    EXPECT_EQ(NPP_Initialize(), NPERR_OUT_OF_MEMORY_ERROR);
    EXPECT_EQ(EngineAvailable, 1);
    expect_context_menu();
    EXPECT_EQ(PluginPreferences, nullptr);
    HMENU menu = PluginMenu.GetSafeHmenu();
    NPP_Shutdown();
    EXPECT_FALSE(IsMenu(menu)) << "expected shutdown to destroy the menu all the same";
    EXPECT_EQ(ContextMenu, nullptr);
    EXPECT_EQ(host().frees(), 0u);
}

TEST_F(StartupStateTest, MissingMenuResourceLeavesNoContextMenu) {
    use_engine(Installation::None);
    without_resources();
    EXPECT_EQ(NPP_Initialize(), NPERR_NO_ERROR);
    EXPECT_EQ(PluginMenu.GetSafeHmenu(), nullptr);
    EXPECT_EQ(ContextMenu, nullptr);
    EXPECT_NE(PluginPreferences, nullptr) << "expected start-up to go on without the menu";
}

} // namespace
