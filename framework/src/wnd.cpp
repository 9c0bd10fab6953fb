#include "afx_wnd.h"

#include "handle_map.h"

#include <memory>

namespace {

bool window_is_live(HWND hwnd) {
    return IsWindow(hwnd) != FALSE;
}

ModuleHandleMap<HWND, CWnd, CWnd, &CWnd::m_hWnd, window_is_live> g_windows;

} // namespace

CWnd::~CWnd() {
    Detach();
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return g_windows.from_handle(hwnd);
}

BOOL CWnd::Attach(HWND hwnd) {
    return g_windows.attach(this, hwnd);
}

HWND CWnd::Detach() {
    return g_windows.detach(this);
}

BOOL CWnd::EnableWindow(BOOL enable) {
    return ::EnableWindow(m_hWnd, enable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

void CWnd::SetWindowText(LPCSTR text) {
    ::SetWindowTextA(m_hWnd, text);
}

int CWnd::GetWindowText(LPSTR buffer, int max_count) const {
    return ::GetWindowTextA(m_hWnd, buffer, max_count);
}

void CWnd::GetWindowText(CString& text) const {
    int length = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, text.GetBufferSetLength(length), length + 1);
    text.ReleaseBuffer();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    return ::SendMessageA(m_hWnd, message, wparam, lparam);
}

CWnd* CWnd::GetDlgItem(int id) const {
    return FromHandle(::GetDlgItem(m_hWnd, id));
}

void CWnd::CheckDlgButton(int id, UINT check) {
    ::CheckDlgButton(m_hWnd, id, check);
}

UINT CWnd::IsDlgButtonChecked(int id) const {
    return ::IsDlgButtonChecked(m_hWnd, id);
}

void CWnd::SetDlgItemText(int id, LPCSTR text) {
    ::SetDlgItemTextA(m_hWnd, id, text);
}

int CWnd::GetDlgItemText(int id, LPSTR buffer, int max_count) const {
    return static_cast<int>(::GetDlgItemTextA(m_hWnd, id, buffer, max_count));
}

int CWnd::GetDlgItemText(int id, CString& text) const {
    HWND item = ::GetDlgItem(m_hWnd, id);
    int length = item ? ::GetWindowTextLengthA(item) : 0;
    ::GetDlgItemTextA(m_hWnd, id, text.GetBufferSetLength(length), length + 1);
    text.ReleaseBuffer();
    return text.GetLength();
}

UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL is_signed) const {
    return ::GetDlgItemInt(m_hWnd, id, translated, is_signed);
}

void CWnd::SetDlgItemInt(int id, UINT value, BOOL is_signed) {
    ::SetDlgItemInt(m_hWnd, id, value, is_signed);
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wparam, LPARAM lparam) {
    return ::SendDlgItemMessageA(m_hWnd, id, message, wparam, lparam);
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

BOOL CWnd::OnCommand(WPARAM wparam, LPARAM lparam) {
    (void)lparam;
    UINT id = LOWORD(wparam);
    UINT code = HIWORD(wparam);
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry) {
            if (entry->nMessage == WM_COMMAND && entry->nCode == code && entry->nID == id) {
                (this->*entry->pfn)();
                return TRUE;
            }
        }
    }
    return FALSE;
}
