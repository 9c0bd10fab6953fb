#include "prefs/preferences_dialog.h"

#include "host/plugin_globals.h"
#include "resource.h"

#include <stdio.h>

namespace {

const int LoopCountLimit = 3;
const int CacheDirectoryLimit = 260;
// The texts read back from the boxes, zero included.
const int TextBufferSize = 260;

// The check boxes and the option bits they stand for.
const struct {
    int Control;
    DWORD Bit;
} OptionBoxes[] = {
    {IDC_STOP_LOOPING, Preferences::StopLooping},
    {IDC_PAUSE_IN_BACKGROUND, Preferences::PauseInBackground},
    {IDC_KEEP_MOVIES, Preferences::DontDeleteMovies},
    {IDC_START_SOONER, Preferences::StartSooner},
    {IDC_USE_HELPER, Preferences::UseHelperApplication},
};

} // namespace

BEGIN_MESSAGE_MAP(PreferencesDialog, CDialog)
ON_BN_CLICKED(IDC_STOP_LOOPING, OnStopLooping)
ON_EN_MAXTEXT(IDC_LOOP_COUNT, OnTextLimit)
ON_EN_MAXTEXT(IDC_CACHE_DIRECTORY, OnTextLimit)
ON_BN_CLICKED(IDC_BROWSE_HELPER, OnBrowseHelper)
END_MESSAGE_MAP()

PreferencesDialog::PreferencesDialog() : CDialog(IDD_PREFERENCES, nullptr) {}

BOOL PreferencesDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SendDlgItemMessage(IDC_LOOP_COUNT, EM_LIMITTEXT, LoopCountLimit);
    SendDlgItemMessage(IDC_CACHE_DIRECTORY, EM_LIMITTEXT, CacheDirectoryLimit);
    for (const auto& box : OptionBoxes)
        CheckDlgButton(box.Control,
                       (PluginPreferences->Flags & box.Bit) ? BST_CHECKED : BST_UNCHECKED);
    OnStopLooping();
    char count[16];
    snprintf(count, sizeof count, "%d", PluginPreferences->LoopCount);
    SetDlgItemText(IDC_LOOP_COUNT, count);
    SetDlgItemText(IDC_CACHE_DIRECTORY, PluginPreferences->CacheDirectory);
    SetDlgItemText(IDC_HELPER_APP, PluginPreferences->HelperApp);
    return TRUE;
}

void PreferencesDialog::OnStopLooping() {
    CWnd* loopCount = GetDlgItem(IDC_LOOP_COUNT);
    if (loopCount) loopCount->EnableWindow(IsDlgButtonChecked(IDC_STOP_LOOPING) == BST_CHECKED);
}

void PreferencesDialog::OnTextLimit() {
    MessageBeep(0);
}

void PreferencesDialog::OnBrowseHelper() {
    CFileDialog dialog(TRUE, ".exe", "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                       "Executable Files (*.exe) | *.exe", nullptr);
    // A cancelled browse leaves the box as the user had it.
    if (dialog.DoModal() == IDOK) SetDlgItemText(IDC_HELPER_APP, dialog.GetPathName());
}

BOOL PreferencesDialog::CheckCacheDirectory(const char* directory) {
    // The record holds a shorter path than the box takes: cut to fit, the path could name
    // another folder, so a path that does not fit is refused.
    if (lstrlenA(directory) >= Preferences::TextSize) {
        MessageBoxA(nullptr, "Specified cache directory is too long.", "Error", MB_OK);
        return FALSE;
    }
    DWORD attributes = GetFileAttributesA(directory);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        char question[TextBufferSize + 64];
        snprintf(question, sizeof question,
                 "Cache directory not found. Do you want to create <%s>?", directory);
        if (MessageBoxA(nullptr, question, "Error", MB_OKCANCEL) == IDCANCEL) return FALSE;
        // A directory that cannot be made is reported, and the settings are written all the
        // same: the next start-up ignores a cache directory that does not exist.
        if (!CreateDirectoryA(directory, nullptr))
            MessageBoxA(nullptr, "Could not create specified directory!", "Error", MB_OK);
        return TRUE;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        MessageBoxA(nullptr, "Specified cache is not a directory.", "Error", MB_OK);
        return FALSE;
    }
    return TRUE;
}

void PreferencesDialog::OnOK() {
    char directory[TextBufferSize];
    GetDlgItemText(IDC_CACHE_DIRECTORY, directory, sizeof directory);
    if (!CheckCacheDirectory(directory)) return;
    char helper[TextBufferSize];
    GetDlgItemText(IDC_HELPER_APP, helper, sizeof helper);
    BOOL isNumber = FALSE;
    UINT loops = GetDlgItemInt(IDC_LOOP_COUNT, &isNumber, FALSE);
    DWORD flags = 0;
    for (const auto& box : OptionBoxes)
        if (IsDlgButtonChecked(box.Control) == BST_CHECKED) flags |= box.Bit;
    PluginPreferences->SetCacheDirectory(directory);
    PluginPreferences->SetHelperApp(helper);
    PluginPreferences->SetLoopCount(static_cast<short>(isNumber ? loops : 0));
    PluginPreferences->SetFlags(flags);
    CDialog::OnOK();
}
