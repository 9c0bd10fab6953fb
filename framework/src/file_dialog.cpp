#include "afx_dialog.h"

#include <cstring>

CFileDialog::CFileDialog(BOOL open_file_dialog, LPCSTR default_ext, LPCSTR file_name, DWORD flags,
                         LPCSTR filter, CWnd* parent)
    : m_bOpenFileDialog(open_file_dialog), m_default_ext(default_ext) {
    m_pParentWnd = parent;
    if (file_name) lstrcpynA(m_file_name, file_name, sizeof m_file_name);
    if (filter) {
        // Each '|' ends a piece; the list must end with an empty piece, which a filter
        // written without its final "||" lacks, so one is always added.
        m_filter = filter;
        for (char& c : m_filter)
            if (c == '|') c = '\0';
        m_filter.append(2, '\0');
    }
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFilter = filter ? m_filter.c_str() : nullptr;
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_file_name;
    m_ofn.nMaxFile = sizeof m_file_name;
    m_ofn.lpstrFileTitle = m_file_title;
    m_ofn.nMaxFileTitle = sizeof m_file_title;
    m_ofn.lpstrDefExt = default_ext ? static_cast<LPCSTR>(m_default_ext) : nullptr;
    m_ofn.Flags = flags;
}

INT_PTR CFileDialog::DoModal() {
    m_ofn.hwndOwner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    BOOL chosen = m_bOpenFileDialog ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const {
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const {
    return CString(m_ofn.lpstrFile + m_ofn.nFileOffset);
}

CString CFileDialog::GetFileExt() const {
    if (m_ofn.nFileExtension == 0) return CString();
    return CString(m_ofn.lpstrFile + m_ofn.nFileExtension);
}
