// The context menu through the entry points, as a person uses it: a right click on the
// instance window shows the shared pop-up with the movie's and the link's items, greyed as
// the movie's state says, and each command does what the user sees (host calls, clipboard
// contents, files, message boxes, programs started).
#include "support/streaming_fixture.h"

#include "movie/movie_instance.h"

#include <winapi/desktop.h>

#include <cstring>
#include <fstream>
#include <optional>

using namespace plugin_test;
using winapi::desktop::ModalEvent;
using winapi::desktop::ModalKind;
using winapi::desktop::ShownMenuItem;

namespace {

const char Frame[] = "Copy this Movie Frame";
const char Location[] = "Copy this Movie Location";

// One row of a menu as the user reads it: text (empty for a separator), id, enabled.
struct Row {
    std::string text;
    UINT id;
    bool enabled;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{\"" << row.text << "\", " << row.id << (row.enabled ? ", on}" : ", off}");
}

std::vector<Row> rows_of(const std::vector<ShownMenuItem>& items) {
    std::vector<Row> rows;
    for (const ShownMenuItem& item : items)
        rows.push_back(item.separator ? Row{"", 0, false} : Row{item.text, item.id, item.enabled});
    return rows;
}

const std::vector<Row> ResourceRows = {{"Preferences", 3, true},
                                       {"QuickTime Guide", 2, true},
                                       {"About Lanternix(tm) Plug-in", 1, true}};

class ContextMenuTest : public StreamingFixture {
  protected:
    // Right-clicks the instance and answers the menu with `choice` (0: dismiss); returns the
    // menu as shown. Afterwards the pop-up must hold its three own items again.
    std::vector<Row> right_click(UINT choice = 0) {
        std::vector<Row> shown;
        HMENU menu = nullptr;
        winapi::desktop::set_automation([&](const ModalEvent& event) {
            if (event.kind != ModalKind::Menu) return answer_other(event);
            shown = rows_of(event.menu_items);
            menu = event.menu;
            return static_cast<int>(choice);
        });
        POINT point = {20, 20};
        ClientToScreen(embed, &point);
        winapi::desktop::click(winapi::desktop::MouseButton::Right, point.x, point.y);
        winapi::desktop::pump_messages();
        EXPECT_NE(menu, nullptr) << "expected a menu shown";
        if (menu) {
            EXPECT_EQ(rows_of(winapi::desktop::shown_menu(menu)), ResourceRows)
                << "expected the pop-up back to its own items";
        }
        return shown;
    }
    // Answers for what a command shows: the save dialog and message boxes.
    virtual int answer_other(const ModalEvent& event) {
        if (event.kind == ModalKind::FileDialog && save_path) {
            *event.file_path = *save_path;
            return IDOK;
        }
        return 0;
    }
    // Streams the whole small movie so that it opens (complete) in the engine.
    void open_movie(const Attributes& attributes) {
        open_instance(attributes);
        begin_stream(static_cast<uint32_t>(movie.size()));
        ASSERT_EQ(write(movie, 0, movie.size()), static_cast<int32>(movie.size()));
        ASSERT_EQ(end_stream(NPRES_DONE), NPERR_NO_ERROR);
    }
    // What the clipboard holds: its formats in order, and the bytes of `format`.
    std::vector<UINT> clipboard_formats() {
        std::vector<UINT> formats;
        if (!OpenClipboard(nullptr)) return formats;
        for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format))
            formats.push_back(format);
        CloseClipboard();
        return formats;
    }
    std::string clipboard_text() {
        std::string text;
        if (!OpenClipboard(nullptr)) return text;
        if (HANDLE data = GetClipboardData(CF_OEMTEXT)) {
            text = static_cast<const char*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    }
    std::vector<std::string> get_urls() const {
        std::vector<std::string> calls;
        for (const HostCall& call : host().calls())
            if (call.service == "NPN_GetURL") calls.push_back(call.text + " " + call.target);
        return calls;
    }

    std::string movie = movie_bytes(4000, 4000, "moov");
    std::optional<std::string> save_path;
};

TEST_F(ContextMenuTest, MovieWithALinkShowsEveryItemInOrder) {
    open_movie({{"SRC", kAddress}, {"HREF", "next.html"}});
    std::vector<Row> expected = {{"Copy this Link Location", 15, true},
                                 {"New Window with this Link", 14, true},
                                 {"Open this Link", 13, true},
                                 {"", 0, false},
                                 {"Play this Movie", 11, true},
                                 {"Open this Movie", 10, true},
                                 {"Save this Movie as...", 9, true},
                                 {Frame, 6, true},
                                 {Location, 5, true},
                                 {"", 0, false}};
    expected.insert(expected.end(), ResourceRows.begin(), ResourceRows.end());
    EXPECT_EQ(right_click(), expected);
    // Showing it again gives the same menu: nothing is left over from the first showing.
    EXPECT_EQ(right_click(), expected);
}

TEST_F(ContextMenuTest, BeforeTheMovieOpensItsItemsAreGreyed) {
    open_instance({{"SRC", kAddress}});
    begin_stream(100000);
    ASSERT_EQ(write(movie, 0, 100), 100);
    std::vector<Row> expected = {{"Play this Movie", 11, false},
                                 {"Open this Movie", 10, true},
                                 {"Save this Movie as...", 9, false},
                                 {Frame, 6, false},
                                 {Location, 5, false},
                                 {"", 0, false}};
    expected.insert(expected.end(), ResourceRows.begin(), ResourceRows.end());
    EXPECT_EQ(right_click(), expected);
}

TEST_F(ContextMenuTest, WhileDownloadingTheHelperProgramCannotOpenTheMovie) {
    set_preference("UseHelperApplication", "1");
    open_instance({{"SRC", kAddress}});
    begin_stream(100000);
    ASSERT_EQ(write(movie, 0, 100), 100);
    std::vector<Row> shown = right_click();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[1], (Row{"Open this Movie", 10, false}));
    EXPECT_EQ(shown[2], (Row{"Save this Movie as...", 9, false}));
}

TEST_F(ContextMenuTest, PlayAndPauseFollowTheRate) {
    // PLAYRATE is a 16.16 number: twice the normal speed.
    open_movie({{"SRC", kAddress}, {"PLAYRATE", "131072"}});
    recording_engine::state().rate = 0x10000;
    EXPECT_EQ(right_click(11).front(), (Row{"Pause this Movie", 11, true}));
    EXPECT_EQ(recording_engine::state().rate, 0u) << "expected the movie stopped";
    EXPECT_EQ(right_click(11).front(), (Row{"Play this Movie", 11, true}));
    EXPECT_EQ(recording_engine::state().rate, 0x20000u) << "expected PLAYRATE";
}

TEST_F(ContextMenuTest, CopiedAddressesAreOemTextOnly) {
    open_movie({{"SRC", kAddress}, {"HREF", "map.cgi"}, {"ISMAP", ""}});
    right_click(5);
    EXPECT_EQ(clipboard_formats(), std::vector<UINT>{CF_OEMTEXT});
    EXPECT_EQ(clipboard_text(), kAddress);
    // The link carries where the cursor is when the command runs.
    right_click(15);
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(embed, &cursor);
    EXPECT_EQ(clipboard_formats(), std::vector<UINT>{CF_OEMTEXT});
    EXPECT_EQ(clipboard_text(), "http://example.invalid/movies/map.cgi?" +
                                    std::to_string(cursor.x) + "," + std::to_string(cursor.y));
}

TEST_F(ContextMenuTest, CopiedFrameIsADeviceIndependentBitmapOnly) {
    open_movie({{"SRC", kAddress}});
    right_click(6);
    EXPECT_EQ(clipboard_formats(), std::vector<UINT>{CF_DIB});
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_DIB);
    ASSERT_NE(data, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
    EXPECT_EQ(header->biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header->biWidth, 1);
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(engine_count("FreePicture"), 1u);
}

TEST_F(ContextMenuTest, LinkCommandsOpenTheLinkWhereTheyShould) {
    open_movie({{"SRC", kAddress}, {"HREF", "next.html"}, {"HREFTARGET", "side"}});
    host().clear_calls();
    right_click(13);
    right_click(14);
    std::vector<std::string> expected = {"http://example.invalid/movies/next.html side",
                                         "http://example.invalid/movies/next.html _new"};
    EXPECT_EQ(get_urls(), expected);
}

TEST_F(ContextMenuTest, AboutAndGuideReplaceThePage) {
    open_movie({{"SRC", kAddress}});
    host().clear_calls();
    right_click(1);
    right_click(2);
    std::vector<std::string> urls = get_urls();
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_NE(urls[0].find("/lanternix/plugins/about/ _top"), std::string::npos) << urls[0];
    EXPECT_NE(urls[1].find("/lanternix/plugins/guide/ _top"), std::string::npos) << urls[1];
}

TEST_F(ContextMenuTest, LinkCommandWithoutALinkBeeps) {
    open_movie({{"SRC", kAddress}});
    host().clear_calls();
    SendMessageA(embed, WM_COMMAND, 13, 0);
    EXPECT_EQ(winapi::desktop::beeps(), std::vector<UINT>{0xFFFFFFFF});
    EXPECT_TRUE(get_urls().empty());
}

TEST_F(ContextMenuTest, OpenThisMovieUsesTheHelperProgramOrTheBrowser) {
    open_movie({{"SRC", kAddress}});
    host().clear_calls();
    right_click(10);
    EXPECT_EQ(get_urls(), std::vector<std::string>{std::string(kAddress) + " _top"});
    close_page();

    // A helper that writes its argument to a file.
    std::string helper = folders.path("helper.sh");
    std::string out = folders.path("helper.out");
    std::ofstream(helper) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << out << "'\n";
    chmod(helper.c_str(), 0755);
    set_preference("UseHelperApplication", "1");
    set_preference("HelperApp", helper.c_str());
    open_movie({{"SRC", kAddress}});
    right_click(10);
    std::vector<winapi::desktop::LaunchRecord> launches = winapi::desktop::launches();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].program, helper);
    ASSERT_EQ(launches[0].arguments.size(), 1u);
    EXPECT_EQ(launches[0].show_command, SW_SHOW);
    ASSERT_NE(launches[0].pid, 0);
    EXPECT_EQ(winapi::desktop::wait_for_launch(launches[0].pid), 0);
    std::ifstream written(out);
    std::string argument((std::istreambuf_iterator<char>(written)),
                         std::istreambuf_iterator<char>());
    EXPECT_EQ(argument, launches[0].arguments[0]);
    // The helper gets the cache file's path in the system's form, which it can open.
    EXPECT_EQ(argument, folders.temp_directory() + "LX000042.mov");
    EXPECT_TRUE(std::ifstream(argument).good()) << argument;
}

TEST_F(ContextMenuTest, SaveCopiesTheMovieOrSaysItCouldNot) {
    open_movie({{"SRC", kAddress}});
    save_path = folders.path("saved.mov");
    right_click(9);
    std::ifstream saved(*save_path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, movie);
    EXPECT_TRUE(winapi::desktop::message_boxes().empty());

    // The cache file has gone behind the instance's back: the copy fails.
    ASSERT_EQ(cache_files().size(), 1u);
    ASSERT_EQ(std::remove((folders.temp_directory() + cache_files()[0]).c_str()), 0);
    save_path = folders.path("saved again.mov");
    right_click(9);
    std::vector<winapi::desktop::MessageBoxRecord> boxes = winapi::desktop::message_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Error saving the movie...");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].owner, nullptr);
}

TEST_F(ContextMenuTest, CancelledSaveCopiesNothingAndSaysNothing) {
    open_movie({{"SRC", kAddress}});
    std::vector<std::string> before = cache_files();
    right_click(9);
    EXPECT_EQ(cache_files(), before);
    EXPECT_TRUE(winapi::desktop::message_boxes().empty());
}

TEST_F(ContextMenuTest, SaveDialogProposesTheMovieNameWithTheMovieFilters) {
    open_movie({{"SRC", kAddress}});
    std::optional<ModalEvent> dialog;
    std::string proposed;
    std::vector<winapi::desktop::FileFilter> filters;
    winapi::desktop::set_automation([&](const ModalEvent& event) {
        if (event.kind == ModalKind::Menu) return 9;
        if (event.kind == ModalKind::FileDialog) {
            proposed = event.text ? event.text : "";
            filters = event.filters;
            EXPECT_TRUE(event.save);
            EXPECT_EQ(event.type & (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT),
                      DWORD(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
        }
        return 0;
    });
    POINT point = {20, 20};
    ClientToScreen(embed, &point);
    winapi::desktop::click(winapi::desktop::MouseButton::Right, point.x, point.y);
    winapi::desktop::pump_messages();
    EXPECT_EQ(proposed, "clip.mov");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].description, "Movie Files (*.mov) ");
    EXPECT_EQ(filters[0].pattern, " *.mov ");
    EXPECT_EQ(filters[1].description, " All Files (*.*) ");
    EXPECT_EQ(filters[1].pattern, " *.* ");
}

} // namespace
