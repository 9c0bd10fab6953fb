// Menus: building them item by item or from menu templates, and asking them about their
// items. Showing a pop-up menu lives with the window manager.
#pragma once

#include <windef.h>

// Item flags for InsertMenuA, AppendMenuA, ModifyMenuA and the menu-state queries. Resource
// scripts use them too, so they stay outside the RC_INVOKED guard.
#define MF_INSERT 0x00000000L
#define MF_CHANGE 0x00000080L
#define MF_APPEND 0x00000100L
#define MF_DELETE 0x00000200L
#define MF_REMOVE 0x00001000L
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_USECHECKBITMAPS 0x00000200L
#define MF_STRING 0x00000000L
#define MF_BITMAP 0x00000004L
#define MF_OWNERDRAW 0x00000100L
#define MF_POPUP 0x00000010L
#define MF_MENUBARBREAK 0x00000020L
#define MF_MENUBREAK 0x00000040L
#define MF_UNHILITE 0x00000000L
#define MF_HILITE 0x00000080L
#define MF_DEFAULT 0x00001000L
#define MF_SYSMENU 0x00002000L
#define MF_HELP 0x00004000L
#define MF_RIGHTJUSTIFY 0x00004000L
#define MF_MOUSESELECT 0x00008000L
// In a standard menu template: the last item of its level.
#define MF_END 0x00000080L

// Item types and states of the extended menu template.
#define MFT_STRING MF_STRING
#define MFT_BITMAP MF_BITMAP
#define MFT_MENUBARBREAK MF_MENUBARBREAK
#define MFT_MENUBREAK MF_MENUBREAK
#define MFT_OWNERDRAW MF_OWNERDRAW
#define MFT_RADIOCHECK 0x00000200L
#define MFT_SEPARATOR MF_SEPARATOR
#define MFT_RIGHTORDER 0x00002000L
#define MFT_RIGHTJUSTIFY MF_RIGHTJUSTIFY
#define MFS_GRAYED 0x00000003L
#define MFS_DISABLED MFS_GRAYED
#define MFS_CHECKED MF_CHECKED
#define MFS_HILITE MF_HILITE
#define MFS_ENABLED MF_ENABLED
#define MFS_UNCHECKED MF_UNCHECKED
#define MFS_UNHILITE MF_UNHILITE
#define MFS_DEFAULT MF_DEFAULT

// Flags of TrackPopupMenu.
#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_HORIZONTAL 0x0000L
#define TPM_VERTICAL 0x0040L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L

#ifndef RC_INVOKED

// The names without a character-set suffix, as on Windows built without UNICODE.
#define LoadMenu LoadMenuA
#define LoadMenuIndirect LoadMenuIndirectA
#define InsertMenu InsertMenuA
#define AppendMenu AppendMenuA
#define ModifyMenu ModifyMenuA
#define GetMenuString GetMenuStringA

// A menu template: a MENUITEMTEMPLATEHEADER (standard, version 0) or a
// MENUEX_TEMPLATE_HEADER (extended, version 1) followed by the items.
typedef void MENUTEMPLATEA;
typedef void* LPMENUTEMPLATEA;
typedef MENUTEMPLATEA MENUTEMPLATE;
typedef LPMENUTEMPLATEA LPMENUTEMPLATE;

typedef struct {
    WORD versionNumber; // 0
    WORD offset;        // bytes from the end of this header to the first item
} MENUITEMTEMPLATEHEADER, *PMENUITEMTEMPLATEHEADER;

// One item of a standard template. Pop-up items (MF_POPUP) have no mtID: their text follows
// mtOption directly, and their children follow the text.
typedef struct {
    WORD mtOption;
    WORD mtID;
    WORD mtString[1]; // UTF-16 text, zero-terminated
} MENUITEMTEMPLATE, *PMENUITEMTEMPLATE;

typedef struct {
    WORD wVersion; // 1
    WORD wOffset;  // bytes from the end of wOffset to the first item
    DWORD dwHelpId;
} MENUEX_TEMPLATE_HEADER;

// One item of an extended template. The text is followed by padding to a DWORD boundary;
// a pop-up item (bResInfo & 0x01) then carries a DWORD help id and its children. 0x80 in
// bResInfo marks the last item of a level.
typedef struct {
    DWORD dwType;
    DWORD dwState;
    DWORD menuId;
    WORD bResInfo;
    WORD szText[1]; // UTF-16 text, zero-terminated
} MENUEX_TEMPLATE_ITEM;

// Creates an empty menu bar or pop-up menu; DestroyMenu releases it. NULL when out of memory.
LXAPI HMENU WINAPI CreateMenu(void);
LXAPI HMENU WINAPI CreatePopupMenu(void);

// Loads menu resource `name` (a string or MAKEINTRESOURCE id) of module `instance`. NULL with
// the resource lookup's error when the module has no such menu, ERROR_INVALID_DATA when the
// template is malformed.
LXAPI HMENU WINAPI LoadMenuA(HINSTANCE instance, LPCSTR name);

// Builds a menu from a template in memory. The template must be complete: its end is found
// from its own MF_END markers. NULL with ERROR_INVALID_DATA for an unknown version.
LXAPI HMENU WINAPI LoadMenuIndirectA(const MENUTEMPLATEA* menu_template);

// Destroys the menu and, recursively, every submenu its items open. FALSE with
// ERROR_INVALID_MENU_HANDLE for a handle that is not a menu.
LXAPI BOOL WINAPI DestroyMenu(HMENU menu);

// TRUE when `menu` is a live menu handle.
LXAPI BOOL WINAPI IsMenu(HMENU menu);

// The submenu opened by the item at `position`, or NULL when that item opens none.
LXAPI HMENU WINAPI GetSubMenu(HMENU menu, int position);

// Inserts an item before the one that `position` names (MF_BYPOSITION: an index, where -1 or
// an index past the end appends; MF_BYCOMMAND: an item id, searched in submenus too). For
// MF_POPUP, `id_or_submenu` is the submenu's handle and the menu takes ownership of it. For
// MF_STRING, `item` is the text; for MF_SEPARATOR it is ignored.
LXAPI BOOL WINAPI InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id_or_submenu,
                              LPCSTR item);
LXAPI BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR id_or_submenu, LPCSTR item);

// Replaces an item with the one described by `flags`, `id_or_submenu` and `item`. A submenu
// the old item opened is destroyed unless the new item opens the same one.
LXAPI BOOL WINAPI ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id_or_submenu,
                              LPCSTR item);

// Removes an item; DeleteMenu also destroys the submenu it opens, RemoveMenu keeps it alive
// for the caller.
LXAPI BOOL WINAPI DeleteMenu(HMENU menu, UINT position, UINT flags);
LXAPI BOOL WINAPI RemoveMenu(HMENU menu, UINT position, UINT flags);

// Sets an item's MF_GRAYED/MF_DISABLED state and returns the previous one, or -1 when the
// item does not exist.
LXAPI BOOL WINAPI EnableMenuItem(HMENU menu, UINT id, UINT enable);

// Sets or clears an item's check mark; returns the previous MF_CHECKED/MF_UNCHECKED, or
// (DWORD)-1 when the item does not exist.
LXAPI DWORD WINAPI CheckMenuItem(HMENU menu, UINT id, UINT check);

// Number of items, or -1 for a bad menu handle.
LXAPI int WINAPI GetMenuItemCount(HMENU menu);

// The id of the item at `position`; (UINT)-1 for an item that opens a submenu or a position
// with no item.
LXAPI UINT WINAPI GetMenuItemID(HMENU menu, int position);

// The item's flags; for an item that opens a submenu, the low byte holds the flags and the
// high byte the submenu's item count. (UINT)-1 when the item does not exist.
LXAPI UINT WINAPI GetMenuState(HMENU menu, UINT id, UINT flags);

// Copies an item's text into `buffer`, at most `max_count` - 1 characters and a terminating
// zero, and returns the number of characters copied. With a null buffer or a `max_count` of
// 0 it returns the text's length. 0 for an item without text or that does not exist.
LXAPI int WINAPI GetMenuStringA(HMENU menu, UINT id, LPSTR buffer, int max_count, UINT flags);

typedef struct tagTPMPARAMS {
    UINT cbSize;
    RECT rcExclude;
} TPMPARAMS, *LPTPMPARAMS;

// Shows `menu` as a pop-up at (x, y) (screen coordinates, placed as the TPM_*ALIGN flags
// say and kept on the screen) and tracks it until the user chooses an item or dismisses
// it. The modal loop dispatches every other window's messages meanwhile. Greyed and
// disabled items cannot be chosen. Without TPM_RETURNCMD the choice is posted to `owner`
// as WM_COMMAND (it arrives after the call returns) and the result is TRUE when an item
// was chosen; with TPM_RETURNCMD nothing is posted and the chosen item's id (0 for none)
// is returned. `reserved` must be 0 and `rect` is ignored. FALSE with
// ERROR_INVALID_MENU_HANDLE or ERROR_INVALID_WINDOW_HANDLE for bad handles.
LXAPI BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                                 const RECT* rect);
LXAPI BOOL WINAPI TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner,
                                   LPTPMPARAMS params);

#endif // RC_INVOKED
