#include "afx_dialog.h"

#include "afx_module_state.h"

CDialog::CDialog(UINT template_id, CWnd* parent)
    : m_lpszTemplateName(MAKEINTRESOURCEA(template_id)), m_pParentWnd(parent) {}

CDialog::CDialog(LPCSTR template_name, CWnd* parent)
    : m_lpszTemplateName(template_name), m_pParentWnd(parent) {}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

INT_PTR CDialog::DoModal() {
    HINSTANCE module = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HWND parent = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    INT_PTR result = DialogBoxParamA(module, m_lpszTemplateName, parent, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    Detach();
    return result;
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnCommand(WPARAM wparam, LPARAM lparam) {
    return CWnd::OnCommand(wparam, lparam);
}

// The dialog procedure of every CDialog: WM_INITDIALOG carries the object, which the window
// keeps in its user data; commands go through the object's message map.
INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lparam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, lparam);
        dialog->Attach(hwnd);
        return dialog->OnInitDialog();
    }
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!dialog) return FALSE;
    if (message == WM_COMMAND) return dialog->OnCommand(wparam, lparam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        dialog->Detach();
    }
    return FALSE;
}
