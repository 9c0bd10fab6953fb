// The preferences dialog through the entry points, driven like a person: the "Preferences"
// menu command opens it; check boxes are clicked, text is typed, OK and Cancel pressed, and
// the profile shows what was written.
#include "support/streaming_fixture.h"

#include "resource.h"

#include <winapi/desktop.h>

#include <functional>
#include <fstream>

using namespace plugin_test;
using winapi::desktop::ModalEvent;
using winapi::desktop::ModalKind;

namespace {

const char Profile[] = "NPLant32.INI";
const char Section[] = "Lanternix Plugin";

class PreferencesDialogTest : public StreamingFixture {
  protected:
    // Opens the dialog through the menu command and runs `person` in it once it is shown;
    // `person` returns the button to press (IDOK, IDCANCEL). Message boxes that OK shows are
    // answered by `boxes`, in order (IDOK when they run out). Returns the message boxes seen.
    std::vector<std::string> run_dialog(std::function<int(HWND)> person,
                                        std::vector<int> boxes = {}) {
        std::vector<std::string> seen;
        size_t next_box = 0;
        winapi::desktop::set_automation([&](const ModalEvent& event) {
            if (event.kind == ModalKind::MessageBox) {
                seen.push_back(event.text ? event.text : "");
                return next_box < boxes.size() ? boxes[next_box++] : IDOK;
            }
            if (event.kind == ModalKind::Dialog) {
                dialog = event.window;
                // Asked again while the dialog stays open after an answer: cancel then.
                if (event.round > 0) return after_first_round(dialog);
                return person(dialog);
            }
            return 0;
        });
        SendMessageA(embed, WM_COMMAND, IDM_PREFERENCES, 0);
        winapi::desktop::set_automation({});
        return seen;
    }
    std::function<int(HWND)> after_first_round = [](HWND) { return IDCANCEL; };

    static void type_into(HWND dialog, int id, const char* text) {
        HWND box = GetDlgItem(dialog, id);
        SetFocus(box);
        SendMessageA(box, EM_SETSEL, 0, -1);
        winapi::desktop::press_key(VK_DELETE);
        winapi::desktop::type_text(text);
    }
    static std::string text_of(HWND dialog, int id) {
        char text[300] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
    static std::optional<std::string> stored(const char* key) {
        return profile_value(Profile, Section, key);
    }
    void open() { open_instance({{"SRC", kAddress}}); }

    HWND dialog = nullptr;
};

TEST_F(PreferencesDialogTest, ShowsTheRecordAndCancelWritesNothing) {
    set_preference("StartSooner", "1");
    set_preference("LoopCount", "7");
    open();
    std::string before = stored("LoopCount").value_or("");
    run_dialog([&](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_START_SOONER), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_STOP_LOOPING), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PAUSE_IN_BACKGROUND), BST_UNCHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_USE_HELPER), BST_UNCHECKED);
        EXPECT_EQ(text_of(dialog, IDC_LOOP_COUNT), "7");
        EXPECT_EQ(text_of(dialog, IDC_CACHE_DIRECTORY), folders.temp_directory());
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_LOOP_COUNT)));
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_START_SOONER));
        winapi::desktop::click_dialog_item(dialog, IDC_PAUSE_IN_BACKGROUND);
        type_into(dialog, IDC_LOOP_COUNT, "12");
        return IDCANCEL;
    });
    EXPECT_NE(stored("PauseInBackground"), "1");
    EXPECT_EQ(stored("LoopCount").value_or(""), before);
}

TEST_F(PreferencesDialogTest, TypingPastTheLimitsBeeps) {
    open();
    run_dialog([&](HWND dialog) {
        type_into(dialog, IDC_LOOP_COUNT, "1234");
        EXPECT_EQ(text_of(dialog, IDC_LOOP_COUNT), "123");
        EXPECT_EQ(winapi::desktop::beeps(), std::vector<UINT>{0});
        type_into(dialog, IDC_CACHE_DIRECTORY, std::string(261, 'd').c_str());
        EXPECT_EQ(text_of(dialog, IDC_CACHE_DIRECTORY).size(), 260u);
        EXPECT_EQ(winapi::desktop::beeps().size(), 2u);
        return IDCANCEL;
    });
}

TEST_F(PreferencesDialogTest, LoopCountBoxFollowsItsCheckBoxAndIsStillWritten) {
    open();
    run_dialog([&](HWND dialog) {
        type_into(dialog, IDC_LOOP_COUNT, "42");
        winapi::desktop::click_dialog_item(dialog, IDC_STOP_LOOPING);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_LOOP_COUNT)));
        return IDOK;
    });
    EXPECT_EQ(stored("StopLooping"), "0");
    EXPECT_EQ(stored("LoopCount"), "42");
}

TEST_F(PreferencesDialogTest, OkWithEverythingClearedStoresNoOptions) {
    set_preference("StartSooner", "1");
    set_preference("UseHelperApplication", "1");
    open();
    run_dialog([&](HWND dialog) {
        for (int id : {IDC_START_SOONER, IDC_STOP_LOOPING, IDC_USE_HELPER})
            winapi::desktop::click_dialog_item(dialog, id);
        type_into(dialog, IDC_LOOP_COUNT, "x");
        type_into(dialog, IDC_HELPER_APP, "/opt/player");
        return IDOK;
    });
    for (const char* key : {"StopLooping", "PauseInBackground", "DontDeleteMovies", "StartSooner",
                            "UseHelperApplication"})
        EXPECT_EQ(stored(key), "0") << key;
    EXPECT_EQ(stored("LoopCount"), "0") << "expected a box without a number read as 0";
    EXPECT_EQ(stored("HelperApp"), "/opt/player");
    // The stored 0 wins over StopLooping's default at the next start.
    close_page();
    open();
    run_dialog([&](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_STOP_LOOPING), BST_UNCHECKED);
        return IDCANCEL;
    });
}

TEST_F(PreferencesDialogTest, MissingCacheDirectoryIsCreatedWhenTheUserAgrees) {
    open();
    std::string wanted = folders.path("new cache");
    std::vector<std::string> boxes = run_dialog(
        [&](HWND dialog) {
            type_into(dialog, IDC_CACHE_DIRECTORY, wanted.c_str());
            return IDOK;
        },
        {IDOK});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Cache directory not found. Do you want to create <" + wanted + ">?");
    EXPECT_EQ(GetFileAttributesA(wanted.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(stored("CacheDirectory"), wanted);
}

TEST_F(PreferencesDialogTest, RefusedCreationKeepsTheDialogOpenAndWritesNothing) {
    open();
    std::string wanted = folders.path("not wanted");
    std::string text_after;
    after_first_round = [&](HWND dialog) {
        text_after = text_of(dialog, IDC_CACHE_DIRECTORY);
        return IDCANCEL;
    };
    std::vector<std::string> boxes = run_dialog(
        [&](HWND dialog) {
            type_into(dialog, IDC_CACHE_DIRECTORY, wanted.c_str());
            return IDOK;
        },
        {IDCANCEL});
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(text_after, wanted) << "expected the dialog still open with the text";
    EXPECT_EQ(GetFileAttributesA(wanted.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(stored("CacheDirectory").has_value() &&
                 stored("CacheDirectory").value() == wanted);
}

TEST_F(PreferencesDialogTest, DirectoryThatCannotBeMadeIsReportedAndTheRestWritten) {
    open();
    std::string wanted = folders.path("no parent/cache");
    std::vector<std::string> boxes = run_dialog(
        [&](HWND dialog) {
            type_into(dialog, IDC_CACHE_DIRECTORY, wanted.c_str());
            type_into(dialog, IDC_LOOP_COUNT, "9");
            return IDOK;
        },
        {IDOK, IDOK});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], "Could not create specified directory!");
    EXPECT_EQ(stored("LoopCount"), "9");
}

TEST_F(PreferencesDialogTest, FileAsCacheDirectoryIsRefused) {
    open();
    std::string file = folders.path("a file");
    std::ofstream(file) << "x";
    std::vector<std::string> boxes = run_dialog([&](HWND dialog) {
        type_into(dialog, IDC_CACHE_DIRECTORY, file.c_str());
        type_into(dialog, IDC_LOOP_COUNT, "5");
        return IDOK;
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Specified cache is not a directory.");
    EXPECT_NE(stored("LoopCount").value_or(""), "5") << "expected nothing written";
}

TEST_F(PreferencesDialogTest, CacheDirectoryTooLongForTheRecordIsRefused) {
    open();
    // Its first 254 characters name an existing folder, which must not be taken instead.
    std::string base = folders.path("d");
    std::string shorter = base + "/" + std::string(254 - base.size() - 1, 's');
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(shorter.c_str(), nullptr));
    std::string typed = shorter + "/more";
    std::vector<std::string> boxes = run_dialog([&](HWND dialog) {
        type_into(dialog, IDC_CACHE_DIRECTORY, typed.c_str());
        type_into(dialog, IDC_LOOP_COUNT, "5");
        return IDOK;
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Specified cache directory is too long.");
    EXPECT_NE(stored("LoopCount").value_or(""), "5") << "expected nothing written";
    EXPECT_NE(stored("CacheDirectory").value_or(""), shorter);
}

TEST_F(PreferencesDialogTest, BrowsingPicksTheHelperAndCancellingKeepsTheText) {
    open();
    std::string program = folders.path("player.exe");
    int browse = 0;
    winapi::desktop::set_automation([&](const ModalEvent& event) {
        if (event.kind == ModalKind::FileDialog) {
            ++browse;
            if (browse == 2) return IDCANCEL;
            *event.file_path = program;
            return IDOK;
        }
        if (event.kind != ModalKind::Dialog) return 0;
        if (event.round > 0) return IDCANCEL;
        type_into(event.window, IDC_HELPER_APP, "/typed/by/hand");
        winapi::desktop::click_dialog_item(event.window, IDC_BROWSE_HELPER);
        EXPECT_EQ(text_of(event.window, IDC_HELPER_APP), program);
        type_into(event.window, IDC_HELPER_APP, "/typed/again");
        winapi::desktop::click_dialog_item(event.window, IDC_BROWSE_HELPER);
        EXPECT_EQ(text_of(event.window, IDC_HELPER_APP), "/typed/again");
        return IDCANCEL;
    });
    SendMessageA(embed, WM_COMMAND, IDM_PREFERENCES, 0);
    EXPECT_EQ(browse, 2);
}

} // namespace
