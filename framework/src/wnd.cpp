#include "afx_wnd.h"

#include "handle_map.h"

#include <memory>

namespace {

using WndMap = HandleMap<HWND, CWnd>;

bool window_is_live(HWND hwnd) {
    return IsWindow(hwnd) != FALSE;
}

// The module's map, removed at module exit (see handle_map.h).
WndMap* g_wnd_map = nullptr;

struct WndMapReaper {
    ~WndMapReaper() {
        delete g_wnd_map;
        g_wnd_map = nullptr;
    }
} g_wnd_map_reaper;

WndMap& wnd_map() {
    if (!g_wnd_map) g_wnd_map = new WndMap(window_is_live);
    return *g_wnd_map;
}

std::unique_ptr<CWnd> make_temporary(HWND hwnd) {
    auto object = std::make_unique<CWnd>();
    object->m_hWnd = hwnd;
    return object;
}

} // namespace

CWnd::~CWnd() {
    Detach();
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return wnd_map().from_handle(hwnd, make_temporary);
}

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd) return FALSE;
    m_hWnd = hwnd;
    wnd_map().attach(hwnd, this);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd && g_wnd_map) g_wnd_map->detach(hwnd, this);
    m_hWnd = nullptr;
    return hwnd;
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
