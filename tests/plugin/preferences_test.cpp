// The preferences record from inside: the plug-in's sources are linked into this test, with
// the test host's table installed as HostFuncs. The profile is the test program's own
// application object's (the plug-in's application class, linked in here too), in a Windows
// directory of the test's own; every check of the profile reads the file back through the
// Win32 profile functions.
#include "prefs/preferences.h"

#include "support/scratch_folders.h"
#include "support/test_host.h"

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace plugin_test;

namespace {

const char Section[] = "Lanternix Plugin";

// The eight keys in the order Save writes them.
const std::vector<std::string> SavedKeyOrder = {
    "CacheDirectory",   "HelperApp",   "StopLooping",          "PauseInBackground",
    "DontDeleteMovies", "StartSooner", "UseHelperApplication", "LoopCount",
};

// The option keys with their bits.
struct Option {
    const char* key;
    DWORD bit;
};
const Option Options[] = {
    {"StopLooping", Preferences::StopLooping},
    {"DontDeleteMovies", Preferences::DontDeleteMovies},
    {"StartSooner", Preferences::StartSooner},
    {"PauseInBackground", Preferences::PauseInBackground},
    {"UseHelperApplication", Preferences::UseHelperApplication},
};

class PreferencesTest : public HostFixture {
  protected:
    void SetUp() override {
        HostFixture::SetUp();
        m_table = host().table();
        HostFuncs = &m_table;
        ASSERT_NE(AfxGetApp(), nullptr) << "expected the application object of the test";
        m_profile = AfxGetApp()->m_pszProfileName;
    }

    void TearDown() override {
        HostFuncs = nullptr;
        HostFixture::TearDown();
    }

    // The profile file of the application object, as a name in the Windows directory.
    const char* profile() const { return m_profile.c_str(); }
    std::string profile_path() const { return folders.windows_directory() + "/" + m_profile; }

    std::optional<std::string> stored(const char* key) const {
        return profile_value(profile(), Section, key);
    }
    void store(const char* key, const char* value) {
        ASSERT_TRUE(write_profile_value(profile(), Section, key, value))
            << "expected to write " << key << " into " << m_profile;
    }

    // A record in host memory, loaded from the profile when `load` says so.
    Preferences* make(bool load = true) {
        Preferences* preferences = new Preferences;
        EXPECT_NE(preferences, nullptr);
        if (preferences && load) preferences->Load();
        return preferences;
    }

    // What the construction gives HelperApp.
    std::string default_helper() const { return folders.windows_directory() + "\\Play32.exe"; }

    // Every key of the profile holds the record's values, written the way Save writes them.
    void expect_profile_holds(const Preferences& preferences) {
        EXPECT_EQ(profile_keys(profile(), Section), SavedKeyOrder);
        EXPECT_EQ(stored("CacheDirectory"), std::string(preferences.CacheDirectory));
        EXPECT_EQ(stored("HelperApp"), std::string(preferences.HelperApp));
        for (const Option& option : Options) {
            SCOPED_TRACE(option.key);
            EXPECT_EQ(stored(option.key), (preferences.Flags & option.bit) ? "1" : "0");
        }
        EXPECT_EQ(stored("LoopCount"), std::to_string(preferences.LoopCount));
    }

    ScratchFolders folders;

  private:
    NPNetscapeFuncs m_table{};
    std::string m_profile;
};

// A text of `length` characters: a repeated alphabet, so a cut shows where it happened.
std::string long_text(size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text += static_cast<char>('a' + i % 26);
    return text;
}

// ---- Layout -------------------------------------------------------------------------------

static_assert(sizeof(Preferences::Flags) == 4, "32-bit unsigned flags");
static_assert(sizeof(Preferences::LoopCount) == 2, "16-bit signed loop count");
static_assert(static_cast<short>(-1) == -1 && std::is_signed_v<decltype(Preferences::LoopCount)>,
              "signed loop count");
static_assert(sizeof(Preferences::CacheDirectory) == 255 && sizeof(Preferences::HelperApp) == 255,
              "255-byte text buffers");
static_assert(offsetof(Preferences, Flags) < offsetof(Preferences, LoopCount) &&
                  offsetof(Preferences, LoopCount) < offsetof(Preferences, CacheDirectory) &&
                  offsetof(Preferences, CacheDirectory) < offsetof(Preferences, HelperApp),
              "fields in declaration order");
static_assert(Preferences::StopLooping == 0x01 && Preferences::DontDeleteMovies == 0x02 &&
                  Preferences::StartSooner == 0x08 && Preferences::PauseInBackground == 0x10 &&
                  Preferences::UseHelperApplication == 0x20,
              "the option bits");

// ---- Host memory --------------------------------------------------------------------------

TEST_F(PreferencesTest, RecordLivesInHostMemory) {
    Preferences* preferences = make(false);
    ASSERT_NE(preferences, nullptr);
    EXPECT_TRUE(host().owns(preferences)) << "expected the record in a block of the host";
    EXPECT_EQ(host().block_size(preferences), sizeof(Preferences));
    delete preferences;
    EXPECT_EQ(host().frees(), 1u) << "expected the record to go back through NPN_MemFree";
}

TEST_F(PreferencesTest, AllocationFailureYieldsNullAndConstructsNothing) {
    host().fail_allocation(1);
    Preferences* preferences = new Preferences;
    EXPECT_EQ(preferences, nullptr);
    EXPECT_EQ(host().failed_allocations(), 1u);
    // A constructor that ran on a null block would have crashed; nothing reached the profile
    // either.
    EXPECT_FALSE(std::filesystem::exists(profile_path()));
}

TEST_F(PreferencesTest, NoHostTableMeansNoRecord) {
    HostFuncs = nullptr;
    Preferences* preferences = new Preferences;
    EXPECT_EQ(preferences, nullptr) << "expected no record without the host's allocator";
    delete preferences; // deleting null is harmless, as for any class
}

// ---- Construction -------------------------------------------------------------------------

TEST_F(PreferencesTest, ConstructionSetsDefaultsAndReadsNothing) {
    store("StopLooping", "0");
    store("LoopCount", "9");
    store("HelperApp", "C:\\Other\\Player.exe");
    Preferences* preferences = make(false);
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(preferences->Flags, 0u);
    EXPECT_EQ(preferences->LoopCount, 3);
    EXPECT_EQ(std::string(preferences->CacheDirectory), folders.temp_directory());
    EXPECT_EQ(std::string(preferences->HelperApp), default_helper());
    delete preferences;
}

// ---- Load ---------------------------------------------------------------------------------

TEST_F(PreferencesTest, EmptyProfileYieldsDefaults) {
    Preferences* preferences = make();
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(preferences->Flags, Preferences::StopLooping)
        << "expected StopLooping only, got 0x" << std::hex << preferences->Flags;
    EXPECT_EQ(preferences->LoopCount, 3);
    EXPECT_EQ(std::string(preferences->CacheDirectory), folders.temp_directory());
    EXPECT_EQ(std::string(preferences->HelperApp), default_helper());
    // Reading writes nothing.
    EXPECT_FALSE(std::filesystem::exists(profile_path()));
    delete preferences;
}

TEST_F(PreferencesTest, LoadBuildsFlagsAfresh) {
    Preferences* preferences = make(false);
    ASSERT_NE(preferences, nullptr);
    preferences->Flags = 0xFFFFFFFF;
    preferences->Load();
    EXPECT_EQ(preferences->Flags, Preferences::StopLooping)
        << "expected the old bits cleared, got 0x" << std::hex << preferences->Flags;
    delete preferences;
}

TEST_F(PreferencesTest, EachOptionKeySetsItsOwnBit) {
    for (const Option& option : Options) {
        SCOPED_TRACE(option.key);
        // Every key present and 0 except the one under test.
        for (const Option& other : Options)
            store(other.key, other.bit == option.bit ? "1" : "0");
        Preferences* preferences = make();
        ASSERT_NE(preferences, nullptr);
        EXPECT_EQ(preferences->Flags, option.bit)
            << "expected 0x" << std::hex << option.bit << ", got 0x" << preferences->Flags;
        delete preferences;
    }
}

TEST_F(PreferencesTest, StoredStopLoopingZeroClearsTheBit) {
    store("StopLooping", "0");
    Preferences* preferences = make();
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(preferences->Flags & Preferences::StopLooping, 0u);
    delete preferences;
}

TEST_F(PreferencesTest, AnyNonZeroOptionSetsTheBitAndSaveWritesOne) {
    store("StartSooner", "5");
    store("PauseInBackground", "-1");
    Preferences* preferences = make();
    ASSERT_NE(preferences, nullptr);
    EXPECT_TRUE(preferences->Flags & Preferences::StartSooner);
    EXPECT_TRUE(preferences->Flags & Preferences::PauseInBackground);
    preferences->Save();
    EXPECT_EQ(stored("StartSooner"), "1");
    EXPECT_EQ(stored("PauseInBackground"), "1");
    delete preferences;
}

TEST_F(PreferencesTest, LoopCountKeepsTheLowSixteenBitsSigned) {
    struct Case {
        const char* stored;
        short expected;
    };
    const Case cases[] = {
        {"70000", 4464}, {"65535", -1}, {"-2", -2}, {"32768", -32768}, {"0", 0}, {"12", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("LoopCount=") + c.stored);
        store("LoopCount", c.stored);
        Preferences* preferences = make();
        ASSERT_NE(preferences, nullptr);
        EXPECT_EQ(preferences->LoopCount, c.expected);
        delete preferences;
    }
}

TEST_F(PreferencesTest, MissingLoopCountKeepsTheCurrentValue) {
    Preferences* preferences = make(false);
    ASSERT_NE(preferences, nullptr);
    preferences->LoopCount = -7;
    preferences->Load();
    EXPECT_EQ(preferences->LoopCount, -7);
    delete preferences;
}

TEST_F(PreferencesTest, StoredCacheDirectoryMustBeAnExistingDirectory) {
    std::filesystem::create_directories(folders.path("movies"));
    std::ofstream(folders.path("a-file")) << "not a directory";
    std::string movies_native = folders.path("movies");
    std::string movies_windows = movies_native;
    for (char& c : movies_windows)
        if (c == '/') c = '\\';
    struct Case {
        std::string stored;
        std::string expected;
    };
    const Case cases[] = {
        {folders.path("a-file"), folders.temp_directory()},
        {folders.path("missing"), folders.temp_directory()},
        {folders.path("missing/deeper/"), folders.temp_directory()},
        {movies_native, movies_native},
        {movies_native + "/", movies_native + "/"},
        {movies_windows, movies_windows},
        {movies_windows + "\\", movies_windows + "\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("CacheDirectory=" + c.stored);
        store("CacheDirectory", c.stored.c_str());
        Preferences* preferences = make();
        ASSERT_NE(preferences, nullptr);
        EXPECT_EQ(std::string(preferences->CacheDirectory), c.expected);
        delete preferences;
    }
}

TEST_F(PreferencesTest, IgnoredCacheDirectoryKeepsTheRecordsValue) {
    // Not the temporary directory: whatever the record held before Load stays.
    std::filesystem::create_directories(folders.path("earlier"));
    store("CacheDirectory", folders.path("missing").c_str());
    Preferences* preferences = make(false);
    ASSERT_NE(preferences, nullptr);
    strcpy(preferences->CacheDirectory, folders.path("earlier").c_str());
    preferences->Load();
    EXPECT_EQ(std::string(preferences->CacheDirectory), folders.path("earlier"));
    delete preferences;
}

TEST_F(PreferencesTest, HelperAppIsTakenUnchecked) {
    const char* helpers[] = {"C:\\Programs\\Movie Player\\player.exe", "relative.exe", ""};
    for (const char* helper : helpers) {
        SCOPED_TRACE(std::string("HelperApp=") + helper);
        store("HelperApp", helper);
        Preferences* preferences = make();
        ASSERT_NE(preferences, nullptr);
        EXPECT_EQ(std::string(preferences->HelperApp), helper);
        delete preferences;
    }
}

TEST_F(PreferencesTest, LongStoredTextsAreCutTo254CharactersButNotTheCacheDirectory) {
    std::string helper = long_text(300);
    store("HelperApp", helper.c_str());
    // A directory whose name's first 254 characters name an existing directory: cut short,
    // the path would name that other directory, so the stored one is not taken at all and
    // the default stays, as for a stored directory that has gone away.
    std::string base = folders.path("d");
    std::string directory = base + "/" + long_text(254 - base.size() - 1);
    ASSERT_EQ(directory.size(), 254u);
    std::filesystem::create_directories(directory);
    store("CacheDirectory", (directory + "/more").c_str());
    Preferences* preferences = make();
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(std::string(preferences->HelperApp), helper.substr(0, 254));
    EXPECT_EQ(std::string(preferences->CacheDirectory), folders.temp_directory());
    delete preferences;
}

// ---- Save ---------------------------------------------------------------------------------

TEST_F(PreferencesTest, SaveWritesAllEightKeysInOrder) {
    Preferences* preferences = make(false);
    ASSERT_NE(preferences, nullptr);
    preferences->Flags = Preferences::DontDeleteMovies | Preferences::UseHelperApplication;
    preferences->LoopCount = -5;
    strcpy(preferences->HelperApp, "C:\\Play\\it.exe");
    preferences->Save();
    expect_profile_holds(*preferences);
    EXPECT_EQ(stored("LoopCount"), "-5");
    EXPECT_EQ(stored("StopLooping"), "0");
    EXPECT_EQ(stored("DontDeleteMovies"), "1");
    delete preferences;
}

TEST_F(PreferencesTest, SavedRecordLoadsBackEqual) {
    std::filesystem::create_directories(folders.path("kept"));
    Preferences* first = make();
    ASSERT_NE(first, nullptr);
    first->Flags = Preferences::StartSooner | Preferences::PauseInBackground;
    first->LoopCount = 1234;
    strcpy(first->CacheDirectory, (folders.path("kept") + "\\").c_str());
    strcpy(first->HelperApp, "D:\\Tools\\viewer.exe");
    first->Save();
    Preferences* second = make();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Flags, first->Flags);
    EXPECT_EQ(second->LoopCount, first->LoopCount);
    EXPECT_STREQ(second->CacheDirectory, first->CacheDirectory);
    EXPECT_STREQ(second->HelperApp, first->HelperApp);
    delete first;
    delete second;
}

// ---- Setters ------------------------------------------------------------------------------

TEST_F(PreferencesTest, EverySetterSavesTheWholeRecord) {
    struct Setter {
        const char* name;
        std::function<void(Preferences&)> call;
        std::function<bool(const Preferences&)> changed;
    };
    const Setter setters[] = {
        {"SetFlags", [](Preferences& p) { p.SetFlags(Preferences::StartSooner); },
         [](const Preferences& p) { return p.Flags == Preferences::StartSooner; }},
        {"SetLoopCount", [](Preferences& p) { p.SetLoopCount(-12); },
         [](const Preferences& p) { return p.LoopCount == -12; }},
        {"SetCacheDirectory", [](Preferences& p) { p.SetCacheDirectory("C:\\Cache"); },
         [](const Preferences& p) { return std::string(p.CacheDirectory) == "C:\\Cache"; }},
        {"SetHelperApp", [](Preferences& p) { p.SetHelperApp("C:\\Helper.exe"); },
         [](const Preferences& p) { return std::string(p.HelperApp) == "C:\\Helper.exe"; }},
    };
    for (const Setter& setter : setters) {
        SCOPED_TRACE(setter.name);
        std::filesystem::remove(profile_path());
        Preferences* preferences = make();
        ASSERT_NE(preferences, nullptr);
        ASSERT_EQ(profile_keys(profile(), Section).size(), 0u) << "expected an empty profile";
        setter.call(*preferences);
        EXPECT_TRUE(setter.changed(*preferences)) << "expected the field to change";
        expect_profile_holds(*preferences);
        delete preferences;
    }
}

TEST_F(PreferencesTest, SettersChangeOnlyTheirField) {
    Preferences* preferences = make();
    ASSERT_NE(preferences, nullptr);
    preferences->SetFlags(Preferences::DontDeleteMovies | Preferences::StartSooner);
    preferences->SetLoopCount(7);
    preferences->SetCacheDirectory("cache");
    preferences->SetHelperApp("helper");
    EXPECT_EQ(preferences->Flags, Preferences::DontDeleteMovies | Preferences::StartSooner)
        << "expected SetFlags to replace the whole word";
    EXPECT_EQ(preferences->LoopCount, 7);
    EXPECT_STREQ(preferences->CacheDirectory, "cache");
    EXPECT_STREQ(preferences->HelperApp, "helper");
    delete preferences;
}

TEST_F(PreferencesTest, SetterTextsAreCutAndTerminated) {
    Preferences* preferences = make();
    ASSERT_NE(preferences, nullptr);
    std::string text = long_text(400);
    // Fill each field with a marker right before its setter, so a missing terminator would
    // show (the other field stays terminated: Save writes both).
    memset(preferences->CacheDirectory, 'X', sizeof preferences->CacheDirectory);
    preferences->SetCacheDirectory(text.c_str());
    memset(preferences->HelperApp, 'X', sizeof preferences->HelperApp);
    preferences->SetHelperApp(text.c_str());
    EXPECT_EQ(preferences->CacheDirectory[254], '\0');
    EXPECT_EQ(preferences->HelperApp[254], '\0');
    EXPECT_EQ(std::string(preferences->CacheDirectory), text.substr(0, 254));
    EXPECT_EQ(std::string(preferences->HelperApp), text.substr(0, 254));
    EXPECT_EQ(stored("HelperApp"), text.substr(0, 254));
    // The setters check nothing, and a null text is the empty one.
    preferences->SetCacheDirectory(nullptr);
    preferences->SetHelperApp(nullptr);
    EXPECT_STREQ(preferences->CacheDirectory, "");
    EXPECT_STREQ(preferences->HelperApp, "");
    EXPECT_EQ(stored("CacheDirectory"), "");
    delete preferences;
}

} // namespace
