// CDialog and CFileDialog: a dialog class with a message map, run modally and driven like a
// person through the desktop's automation; the file dialog's filter splitting and results.
#include <afxwin.h>
#include <winapi/desktop.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "framework_test_ids.h"

namespace desktop = winapi::desktop;

namespace {

// A dialog like the ones the plug-in makes: a check box that enables an edit box, a limited
// box that beeps when full, a browse button and its own OK handling.
class SettingsDialog : public CDialog {
  public:
    SettingsDialog() : CDialog(IDD_SETTINGS) {}

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ++init_calls;
        SendDlgItemMessage(IDC_LIMIT, EM_LIMITTEXT, 3, 0);
        CheckDlgButton(IDC_LIMITED, BST_CHECKED);
        SetDlgItemInt(IDC_LIMIT, 5, TRUE);
        return TRUE;
    }

    void OnOK() override {
        ++ok_calls;
        limit = GetDlgItemInt(IDC_LIMIT, nullptr, FALSE);
        sooner = IsDlgButtonChecked(IDC_SOONER) == BST_CHECKED;
        GetDlgItemText(IDC_PROGRAM, program);
        CDialog::OnOK();
    }

    void OnLimitedClicked() {
        GetDlgItem(IDC_LIMIT)->EnableWindow(IsDlgButtonChecked(IDC_LIMITED) == BST_CHECKED);
    }
    void OnLimitFull() { MessageBeep(0); }
    void OnBrowse() {
        CFileDialog browse(TRUE, ".exe", nullptr, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                           "Programs (*.exe) | *.exe");
        if (browse.DoModal() == IDOK) SetDlgItemText(IDC_PROGRAM, browse.GetPathName());
    }

    int init_calls = 0;
    int ok_calls = 0;
    UINT limit = 0;
    bool sooner = false;
    CString program;

  protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SettingsDialog, CDialog)
ON_BN_CLICKED(IDC_LIMITED, OnLimitedClicked)
ON_EN_MAXTEXT(IDC_LIMIT, OnLimitFull)
ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
END_MESSAGE_MAP()

class FrameworkDialog : public ::testing::Test {
  protected:
    void SetUp() override { desktop::reset(); }
    void TearDown() override { desktop::reset(); }
};

TEST_F(FrameworkDialog, DoModalRunsTheMessageMapAndOk) {
    SettingsDialog dialog;
    bool limit_enabled_after_uncheck = true;
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        HWND hwnd = event.window;
        EXPECT_EQ(dialog.GetSafeHwnd(), hwnd);
        desktop::click_dialog_item(hwnd, IDC_SOONER);
        desktop::click_dialog_item(hwnd, IDC_LIMITED);
        limit_enabled_after_uncheck = IsWindowEnabled(GetDlgItem(hwnd, IDC_LIMIT));
        desktop::click_dialog_item(hwnd, IDC_LIMITED);
        desktop::click_dialog_item(hwnd, IDC_LIMIT);
        desktop::press_key(VK_END);
        desktop::type_text("123"); // "5" + "12" fills the box; "3" is one too many
        desktop::click_dialog_item(hwnd, IDC_PROGRAM);
        desktop::type_text("viewer");
        return IDOK;
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.init_calls, 1);
    EXPECT_EQ(dialog.ok_calls, 1);
    EXPECT_FALSE(limit_enabled_after_uncheck) << "the check box handler ran";
    EXPECT_EQ(dialog.limit, 512u);
    EXPECT_TRUE(dialog.sooner);
    EXPECT_STREQ(dialog.program, "viewer");
    EXPECT_EQ(desktop::beeps(), (std::vector<UINT>{0})) << "EN_MAXTEXT reached its handler once";
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr) << "the object lets go of the closed window";
}

TEST_F(FrameworkDialog, CancelAndEscapeSkipOk) {
    SettingsDialog dialog;
    desktop::set_automation([](const desktop::ModalEvent&) { return IDCANCEL; });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    desktop::set_automation([](const desktop::ModalEvent&) {
        desktop::press_key(VK_ESCAPE);
        return desktop::kModalContinue;
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.init_calls, 2);
    EXPECT_EQ(dialog.ok_calls, 0);
}

TEST_F(FrameworkDialog, EnterIsOk) {
    SettingsDialog dialog;
    desktop::set_automation([](const desktop::ModalEvent&) {
        desktop::press_key(VK_RETURN);
        return desktop::kModalContinue;
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.ok_calls, 1);
    EXPECT_EQ(dialog.limit, 5u);
}

TEST_F(FrameworkDialog, MissingTemplate) {
    CDialog dialog(4099u);
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST_F(FrameworkDialog, BrowseButtonOpensTheFileDialogInsideTheDialog) {
    SettingsDialog dialog;
    std::vector<desktop::FileFilter> filters;
    std::string default_ext;
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        if (event.kind == desktop::ModalKind::FileDialog) {
            filters = event.filters;
            default_ext = event.default_extension;
            *event.file_path = "/bin/sh";
            return IDOK;
        }
        if (event.round == 0) {
            desktop::click_dialog_item(event.window, IDC_BROWSE);
            return desktop::kModalContinue;
        }
        return IDOK;
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_STREQ(dialog.program, "/bin/sh");
    ASSERT_EQ(filters.size(), 1u) << "a filter without the final \"||\" still ends";
    EXPECT_EQ(filters[0].description, "Programs (*.exe) ");
    EXPECT_EQ(filters[0].pattern, " *.exe");
    EXPECT_EQ(default_ext, "exe");
}

class FrameworkFileDialog : public FrameworkDialog {
  protected:
    void SetUp() override {
        FrameworkDialog::SetUp();
        char pattern[] = "/tmp/lx_fw_file_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        std::ofstream(folder + "/taken.mov") << "x";
    }
    void TearDown() override {
        std::filesystem::remove_all(folder);
        FrameworkDialog::TearDown();
    }
    std::string folder;
};

TEST_F(FrameworkFileDialog, SaveDialogSplitsTheFilterAndAsksBeforeReplacing) {
    std::string proposed = folder + "/taken.mov";
    CFileDialog save(FALSE, ".mov", proposed.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "Movie Files (*.mov) | *.mov | All Files (*.*) | *.* ||");
    std::vector<desktop::FileFilter> filters;
    UINT flags = 0;
    std::string shown_name;
    int questions = 0;
    desktop::set_automation([&](const desktop::ModalEvent& event) {
        if (event.kind == desktop::ModalKind::MessageBox) {
            ++questions;
            return IDNO;
        }
        filters = event.filters;
        flags = event.type;
        shown_name = event.text;
        if (event.round == 0) return IDOK; // the proposed name, which exists
        *event.file_path = "copy";
        return IDOK;
    });
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(questions, 1);
    EXPECT_STREQ(save.GetPathName(), (folder + "/copy.mov").c_str());
    EXPECT_STREQ(save.GetFileName(), "copy.mov");
    EXPECT_STREQ(save.GetFileExt(), "mov");
    EXPECT_EQ(shown_name, "taken.mov");
    EXPECT_EQ(flags & (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT),
              static_cast<UINT>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].description, "Movie Files (*.mov) ");
    EXPECT_EQ(filters[0].pattern, " *.mov ");
    EXPECT_EQ(filters[1].description, " All Files (*.*) ");
    EXPECT_EQ(filters[1].pattern, " *.* ");
}

TEST_F(FrameworkFileDialog, CancelledDialogKeepsTheProposedName) {
    CFileDialog open(TRUE, nullptr, "start.mov");
    desktop::set_automation([](const desktop::ModalEvent&) { return IDCANCEL; });
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    EXPECT_STREQ(open.GetPathName(), "start.mov");
}

} // namespace
