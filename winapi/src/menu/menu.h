// The menu model behind HMENU: a menu is a list of items, and an item that opens a submenu
// holds that submenu's handle. Menus are built by the public menu functions and templates;
// whoever shows a menu (TrackPopupMenu) reads the same model.
#pragma once

#include <windef.h>

#include <string>
#include <vector>

namespace winapi::menu {

// The bits of an item's flags that describe it (type and state); position selectors such as
// MF_BYPOSITION are never stored.
constexpr UINT kItemFlagMask = 0x0000ffffu & ~0x00000400u;

struct MenuItem {
    UINT flags = 0;          // MF_* type and state bits, MF_POPUP for an item with a submenu
    UINT_PTR id = 0;         // command id; for an item with a submenu, the submenu's handle
    std::string text;        // the item's text (MF_STRING items only), with '&' and '\t' kept
    HMENU submenu = nullptr; // the submenu this item opens and owns, or null

    bool is_popup() const { return submenu != nullptr; }
    bool is_separator() const { return (flags & 0x800u) != 0; }
};

struct Menu {
    bool popup = false; // made by CreatePopupMenu (or as a template's submenu)
    std::vector<MenuItem> items;
};

// Where an item lives: its menu (possibly a submenu of the menu searched) and its index.
struct ItemRef {
    Menu* menu = nullptr;
    HMENU handle = nullptr;
    size_t index = 0;

    explicit operator bool() const { return menu != nullptr; }
    MenuItem& item() const { return menu->items[index]; }
};

// Creates an empty menu and returns its handle.
HMENU create_menu(bool popup);

// The menu behind a handle, or null for a null, stale or foreign handle. `get_menu` also sets
// ERROR_INVALID_MENU_HANDLE when it returns null; `find_menu` leaves the last error alone.
Menu* find_menu(HMENU handle);
Menu* get_menu(HMENU handle);

// Destroys a menu and, depth first, every submenu its items open. Handles that are already
// gone are skipped, so a submenu reachable twice is destroyed once. False for a bad handle.
bool destroy_menu(HMENU handle);

// Finds the item that `position` names. With MF_BYPOSITION in `flags` it is an index into
// `menu`; otherwise it is a command id, searched depth first through the submenus as well.
ItemRef find_item(HMENU handle, UINT position, UINT flags);

// True when `target` is `from` or is reachable from `from` through submenus. Inserting `from`
// as a submenu of `target` would then make a cycle.
bool is_reachable(HMENU from, HMENU target);

} // namespace winapi::menu
