// CDialog: a modal dialog made from a dialog resource, with a message map for its controls'
// notifications; CFileDialog: the open and save file dialogs.
#pragma once

#include <windows.h>

#include "afx_string.h"
#include "afx_wnd.h"

#include <string>

class CDialog : public CWnd {
  public:
    CDialog() = default;
    // The dialog resource `template_id` (or `template_name`), found in the module that
    // AfxFindResourceHandle names when DoModal runs. `parent` owns the dialog (null: none).
    explicit CDialog(UINT template_id, CWnd* parent = nullptr);
    explicit CDialog(LPCSTR template_name, CWnd* parent = nullptr);
    ~CDialog() override = default;

    // Runs the dialog and returns what it ended with (IDOK, IDCANCEL, the value given to
    // EndDialog), or -1 when the dialog could not be made.
    virtual INT_PTR DoModal();

    // Called once the controls exist. The base version returns TRUE: the focus goes to the
    // first tab stop.
    virtual BOOL OnInitDialog();
    // The OK and Cancel buttons (and Enter and Escape): end the dialog with IDOK / IDCANCEL.
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);

    LPCSTR m_lpszTemplateName = nullptr;
    CWnd* m_pParentWnd = nullptr;

  protected:
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
    DECLARE_MESSAGE_MAP()

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
};

class CFileDialog : public CDialog {
  public:
    // `filter` is the framework's form: descriptions and patterns separated by '|', ended
    // by "||" (each piece is kept as written, blanks included). `default_ext` is added to a
    // name typed without extension; `file_name` is proposed in the name box.
    explicit CFileDialog(BOOL open_file_dialog, LPCSTR default_ext = nullptr,
                         LPCSTR file_name = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCSTR filter = nullptr, CWnd* parent = nullptr);

    // IDOK when the user chose a file, IDCANCEL otherwise.
    INT_PTR DoModal() override;

    // The chosen file's full path, its name, and its extension (without the dot).
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;

    OPENFILENAMEA m_ofn{};
    BOOL m_bOpenFileDialog = TRUE;

  private:
    std::string m_filter; // the filter with every '|' made a '\0', ending in two zeros
    CString m_default_ext;
    char m_file_name[MAX_PATH] = "";
    char m_file_title[MAX_PATH] = "";
};
