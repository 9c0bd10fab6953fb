#include "afx_menu.h"

#include "afx_module_state.h"
#include "handle_map.h"

namespace {

bool menu_is_live(HMENU menu) {
    return IsMenu(menu) != FALSE;
}

ModuleHandleMap<HMENU, CMenu, CMenu, &CMenu::m_hMenu, menu_is_live> g_menus;

} // namespace

CMenu::~CMenu() {
    DestroyMenu();
}

void CMenu::forget_handle() {
    m_hMenu = nullptr;
}

CMenu* CMenu::FromHandle(HMENU menu) {
    return g_menus.from_handle(menu);
}

BOOL CMenu::Attach(HMENU menu) {
    return g_menus.attach(this, menu);
}

HMENU CMenu::Detach() {
    return g_menus.detach(this);
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) return FALSE;
    BOOL destroyed = ::DestroyMenu(Detach());
    // The submenus went with the menu: their temporary objects are no longer needed.
    g_menus.reclaim_dead(this);
    return destroyed;
}

BOOL CMenu::CreateMenu() {
    return !m_hMenu && Attach(::CreateMenu());
}

BOOL CMenu::CreatePopupMenu() {
    return !m_hMenu && Attach(::CreatePopupMenu());
}

BOOL CMenu::LoadMenu(LPCSTR name) {
    if (m_hMenu) return FALSE;
    return Attach(::LoadMenuA(AfxFindResourceHandle(name, RT_MENU), name));
}

BOOL CMenu::LoadMenu(UINT id) {
    return LoadMenu(MAKEINTRESOURCEA(id));
}

BOOL CMenu::LoadMenuIndirect(const void* menu_template) {
    return !m_hMenu && Attach(::LoadMenuIndirectA(menu_template));
}

CMenu* CMenu::GetSubMenu(int position) const {
    return FromHandle(::GetSubMenu(m_hMenu, position));
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR id_or_submenu, LPCSTR text) {
    return ::InsertMenuA(m_hMenu, position, flags, id_or_submenu, text);
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id_or_submenu, LPCSTR text) {
    return ::AppendMenuA(m_hMenu, flags, id_or_submenu, text);
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR id_or_submenu, LPCSTR text) {
    return ::ModifyMenuA(m_hMenu, position, flags, id_or_submenu, text);
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags) {
    return ::DeleteMenu(m_hMenu, position, flags);
}

BOOL CMenu::RemoveMenu(UINT position, UINT flags) {
    return ::RemoveMenu(m_hMenu, position, flags);
}

UINT CMenu::EnableMenuItem(UINT id, UINT enable) {
    return static_cast<UINT>(::EnableMenuItem(m_hMenu, id, enable));
}

UINT CMenu::CheckMenuItem(UINT id, UINT check) {
    return ::CheckMenuItem(m_hMenu, id, check);
}

UINT CMenu::GetMenuItemCount() const {
    return static_cast<UINT>(::GetMenuItemCount(m_hMenu));
}

UINT CMenu::GetMenuItemID(int position) const {
    return ::GetMenuItemID(m_hMenu, position);
}

UINT CMenu::GetMenuState(UINT id, UINT flags) const {
    return ::GetMenuState(m_hMenu, id, flags);
}

int CMenu::GetMenuString(UINT id, LPSTR buffer, int max_count, UINT flags) const {
    return ::GetMenuStringA(m_hMenu, id, buffer, max_count, flags);
}

int CMenu::GetMenuString(UINT id, CString& text, UINT flags) const {
    int length = ::GetMenuStringA(m_hMenu, id, nullptr, 0, flags);
    int copied = ::GetMenuStringA(m_hMenu, id, text.GetBufferSetLength(length), length + 1, flags);
    text.ReleaseBuffer(copied);
    return copied;
}
