// The open and save dialogs: answered through automation, with the default extension, the
// overwrite question both ways, the folder checks and the record's outputs.
#include "window_test_util.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

using namespace window_test;
namespace desktop = winapi::desktop;
namespace fs = std::filesystem;

namespace {

class FileDialog : public DesktopFixture {
  protected:
    void SetUp() override {
        DesktopFixture::SetUp();
        char pattern[] = "/tmp/lx_file_dialog_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        std::ofstream(folder + "/existing.mov") << "movie";
        std::ofstream(folder + "/notes.txt") << "text";
        fs::create_directory(folder + "/sub");
    }
    void TearDown() override {
        fs::remove_all(folder);
        DesktopFixture::TearDown();
    }

    OPENFILENAMEA record(DWORD flags) {
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFilter = "Movie Files (*.mov)\0*.mov\0All Files (*.*)\0*.*\0";
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrFileTitle = title;
        ofn.nMaxFileTitle = sizeof title;
        ofn.lpstrInitialDir = folder.c_str();
        ofn.lpstrDefExt = "mov";
        ofn.Flags = flags;
        return ofn;
    }

    std::string folder;
    char file[MAX_PATH] = "";
    char title[MAX_PATH] = "";
};

TEST_F(FileDialog, SaveAddsTheDefaultExtensionAndFillsTheRecord) {
    std::vector<desktop::FileFilter> filters;
    bool save = false;
    std::string listing;
    std::strcpy(file, "proposed.mov");
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        EXPECT_EQ(event.kind, desktop::ModalKind::FileDialog);
        EXPECT_STREQ(event.text, "proposed.mov");
        EXPECT_STREQ(event.default_extension, "mov");
        filters = event.filters;
        save = event.save;
        EXPECT_TRUE(IsWindowVisible(event.window)) << "the file dialog is a real window";
        char text[1024] = "";
        GetDlgItemTextA(event.window, lst1, text, sizeof text);
        listing = text;
        *event.file_path = "clip";
        return IDOK;
    });
    OPENFILENAMEA ofn = record(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(std::string(file), folder + "/clip.mov");
    EXPECT_STREQ(title, "clip.mov");
    EXPECT_STREQ(file + ofn.nFileOffset, "clip.mov");
    EXPECT_STREQ(file + ofn.nFileExtension, "mov");
    EXPECT_TRUE(save);
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].description, "Movie Files (*.mov)");
    EXPECT_EQ(filters[0].pattern, "*.mov");
    EXPECT_EQ(filters[1].pattern, "*.*");
    EXPECT_EQ(listing, "sub/\nexisting.mov\n") << "folders, then the files of the filter";
    EXPECT_TRUE(desktop::message_boxes().empty());
}

TEST_F(FileDialog, OverwriteQuestionAnsweredNoKeepsTheDialogOpen) {
    std::vector<int> rounds;
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        if (event.kind == desktop::ModalKind::MessageBox) return IDNO;
        rounds.push_back(event.round);
        *event.file_path = event.round == 0 ? "existing.mov" : "fresh.mov";
        return IDOK;
    });
    OPENFILENAMEA ofn = record(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(std::string(file), folder + "/fresh.mov");
    EXPECT_EQ(rounds, (std::vector<int>{0, 1}));
    auto boxes = desktop::message_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("existing.mov already exists"), std::string::npos)
        << boxes[0].text;
    EXPECT_EQ(boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(boxes[0].caption, "Save As");
}

TEST_F(FileDialog, OverwriteQuestionAnsweredYesReplaces) {
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        if (event.kind == desktop::ModalKind::MessageBox) return IDYES;
        *event.file_path = folder + "/existing.mov";
        return IDOK;
    });
    OPENFILENAMEA ofn = record(OFN_OVERWRITEPROMPT);
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(std::string(file), folder + "/existing.mov");
    EXPECT_EQ(desktop::message_boxes().size(), 1u);
}

TEST_F(FileDialog, WithoutTheFlagNoQuestionIsAsked) {
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        *event.file_path = "existing.mov";
        return IDOK;
    });
    OPENFILENAMEA ofn = record(0);
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_TRUE(desktop::message_boxes().empty());
}

TEST_F(FileDialog, CancelGivesFalseWithoutAnError) {
    desktop::set_automation([](const desktop::ModalEvent&) { return IDCANCEL; });
    OPENFILENAMEA ofn = record(0);
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    desktop::set_automation(nullptr);
    EXPECT_FALSE(GetSaveFileNameA(&ofn)) << "with no callback the dialog is cancelled";
}

TEST_F(FileDialog, OpenChecksThePathAndTheFile) {
    std::vector<std::string> paths = {"nowhere/x.mov", "missing.mov", "existing.mov"};
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        if (event.kind == desktop::ModalKind::MessageBox) return IDOK;
        *event.file_path = paths[static_cast<size_t>(event.round)];
        return IDOK;
    });
    OPENFILENAMEA ofn = record(OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(std::string(file), folder + "/existing.mov");
    auto boxes = desktop::message_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].text.find("Path does not exist"), std::string::npos);
    EXPECT_NE(boxes[1].text.find("File not found"), std::string::npos);
    EXPECT_EQ(boxes[0].caption, "Open");
}

TEST_F(FileDialog, TypingAFolderListsIt) {
    std::string look_in;
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        if (event.round == 0) {
            *event.file_path = "sub";
            return IDOK;
        }
        char text[512] = "";
        GetDlgItemTextA(event.window, stc1, text, sizeof text);
        look_in = text;
        *event.file_path = "inside";
        return IDOK;
    });
    OPENFILENAMEA ofn = record(0);
    ofn.lpstrDefExt = nullptr;
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(look_in, "Look in: " + folder + "/sub");
    EXPECT_EQ(std::string(file), folder + "/sub/inside");
    EXPECT_EQ(ofn.nFileExtension, 0);
}

TEST_F(FileDialog, BadRecordsAndSmallBuffers) {
    OPENFILENAMEA ofn = record(0);
    ofn.lStructSize = 12;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));

    ofn = record(0);
    char tiny[8] = "";
    ofn.lpstrFile = tiny;
    ofn.nMaxFile = sizeof tiny;
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        *event.file_path = "a_rather_long_name.mov";
        return IDOK;
    });
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
    WORD needed = 0;
    std::memcpy(&needed, tiny, sizeof needed);
    EXPECT_EQ(needed, folder.size() + 1 + 22 + 1) << "the buffer says how much it needs";
}

} // namespace
