#include "menu/menu.h"

#include <winerror.h>
#include <winuser_menu.h>

#include "common/handle_table.h"

namespace winapi::menu {

namespace {

// Menus belong to the process, like the system's own user objects. The table is never
// destroyed: modules may destroy their menus from their own exit code, after this library's
// static objects would otherwise be gone. Menus still alive at exit stay reachable from here.
HandleTable<Menu>& menu_table() {
    static HandleTable<Menu>* table = new HandleTable<Menu>(0x4d);
    return *table;
}

// Depth-first search for the item with command id `id` below `handle`. An item that opens a
// submenu is searched inside first and then matched by its own id (the submenu's handle), so
// that MF_BYCOMMAND reaches pop-up items by handle as well.
ItemRef find_command(HMENU handle, UINT id, int depth) {
    Menu* menu = find_menu(handle);
    if (!menu || depth > 64) return {};
    for (size_t i = 0; i < menu->items.size(); ++i) {
        MenuItem& item = menu->items[i];
        if (item.is_popup()) {
            if (ItemRef inner = find_command(item.submenu, id, depth + 1)) return inner;
        }
        if (static_cast<UINT>(item.id) == id) return ItemRef{menu, handle, i};
    }
    return {};
}

bool reachable(HMENU from, HMENU target, int depth) {
    if (from == target) return true;
    Menu* menu = find_menu(from);
    if (!menu || depth > 64) return false;
    for (const MenuItem& item : menu->items) {
        if (item.is_popup() && reachable(item.submenu, target, depth + 1)) return true;
    }
    return false;
}

} // namespace

HMENU create_menu(bool popup) {
    auto menu = std::make_unique<Menu>();
    menu->popup = popup;
    return reinterpret_cast<HMENU>(menu_table().add(std::move(menu)));
}

Menu* find_menu(HMENU handle) {
    return handle ? menu_table().find(handle) : nullptr;
}

Menu* get_menu(HMENU handle) {
    Menu* menu = find_menu(handle);
    if (!menu) SetLastError(ERROR_INVALID_MENU_HANDLE);
    return menu;
}

bool destroy_menu(HMENU handle) {
    // Taking the menu out of the table first means a cycle or a shared submenu cannot make
    // the recursion visit it again.
    std::unique_ptr<Menu> menu = menu_table().remove(handle);
    if (!menu) return false;
    for (const MenuItem& item : menu->items) {
        if (item.is_popup()) destroy_menu(item.submenu);
    }
    return true;
}

ItemRef find_item(HMENU handle, UINT position, UINT flags) {
    if (flags & MF_BYPOSITION) {
        Menu* menu = find_menu(handle);
        if (!menu || position >= menu->items.size()) return {};
        return ItemRef{menu, handle, position};
    }
    return find_command(handle, position, 0);
}

bool is_reachable(HMENU from, HMENU target) {
    return reachable(from, target, 0);
}

} // namespace winapi::menu
