// CMenu: a framework object that owns a menu handle. The object owns the menu it holds
// (Attach, LoadMenu, CreatePopupMenu) and destroys it in its destructor, unless the handle
// was taken back with Detach. The item functions pass straight to the Win32 menu functions
// of the same name and return what they return.
#pragma once

#include <windows.h>

#include "afx_string.h"

template <typename Handle, typename Object>
class HandleMap;

class CMenu {
  public:
    CMenu() = default;
    // Destroys the menu the object still holds.
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // The framework object for `menu`: the CMenu that holds it (Attach), or else a temporary
    // one owned by the framework. A temporary object does not own the menu; it is the same
    // object for every call while the menu lives, and is reclaimed after the menu has been
    // destroyed (or when the module exits). Null for a null handle.
    static CMenu* FromHandle(HMENU menu);

    // Takes ownership of `menu`. FALSE for a null handle or when the object already holds a
    // menu.
    BOOL Attach(HMENU menu);
    // Gives up the menu without destroying it and returns it (null when there was none).
    HMENU Detach();
    // Destroys the held menu and its submenus; FALSE when the object holds none.
    BOOL DestroyMenu();

    // Create or load a menu and attach it; FALSE when that fails or the object already holds
    // a menu. LoadMenu looks in the module AfxFindResourceHandle names.
    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL LoadMenu(LPCSTR name);
    BOOL LoadMenu(UINT id);
    BOOL LoadMenuIndirect(const void* menu_template);

    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }

    // The framework object (FromHandle) for the submenu at `position`, or null.
    CMenu* GetSubMenu(int position) const;

    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id_or_submenu = 0, LPCSTR text = nullptr);
    BOOL AppendMenu(UINT flags, UINT_PTR id_or_submenu = 0, LPCSTR text = nullptr);
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id_or_submenu = 0, LPCSTR text = nullptr);
    BOOL DeleteMenu(UINT position, UINT flags);
    BOOL RemoveMenu(UINT position, UINT flags);
    UINT EnableMenuItem(UINT id, UINT enable);
    UINT CheckMenuItem(UINT id, UINT check);
    UINT GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    UINT GetMenuState(UINT id, UINT flags) const;
    int GetMenuString(UINT id, LPSTR buffer, int max_count, UINT flags) const;
    // The whole text, however long, into `text`; returns its length.
    int GetMenuString(UINT id, CString& text, UINT flags) const;

    HMENU m_hMenu = nullptr;

  private:
    template <typename, typename>
    friend class HandleMap;
    // Drops the handle without destroying the menu: temporary objects never own theirs.
    void forget_handle();
};
