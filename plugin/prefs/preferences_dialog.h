// PreferencesDialog: the modal dialog (resource 4002) in which the user edits the library's
// preferences record. OK checks the cache directory (offering to create a missing one) and
// then writes every field through the record's setters; Cancel changes nothing.
#pragma once

#include <afxwin.h>

class PreferencesDialog : public CDialog {
  public:
    PreferencesDialog();

  protected:
    // Limits the two number and path boxes, and fills every control from the record.
    BOOL OnInitDialog() override;
    // Writes the record and closes, unless the cache directory is not usable and the user
    // wants to correct it.
    void OnOK() override;

    // The loop-count box follows its check box.
    void OnStopLooping();
    // A full box beeps.
    void OnTextLimit();
    // Lets the user pick the helper program.
    void OnBrowseHelper();

    DECLARE_MESSAGE_MAP()

  private:
    // FALSE when the dialog must stay open for the cache directory to be corrected.
    BOOL CheckCacheDirectory(const char* directory);
};
