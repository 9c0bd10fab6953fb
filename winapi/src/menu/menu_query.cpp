// Reading and setting the state of menu items.
#include <winerror.h>
#include <winuser_menu.h>

#include <cstring>

#include "menu/menu.h"

using namespace winapi::menu;

namespace {

constexpr UINT kEnableBits = MF_GRAYED | MF_DISABLED;

// The item that `position` names, with the last error set when there is none: a bad menu
// handle or an item that does not exist.
ItemRef lookup(HMENU handle, UINT position, UINT flags) {
    if (!get_menu(handle)) return {};
    ItemRef ref = find_item(handle, position, flags);
    if (!ref) SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return ref;
}

} // namespace

HMENU WINAPI GetSubMenu(HMENU handle, int position) {
    if (!get_menu(handle)) return nullptr;
    ItemRef ref = find_item(handle, static_cast<UINT>(position), MF_BYPOSITION);
    return ref ? ref.item().submenu : nullptr;
}

int WINAPI GetMenuItemCount(HMENU handle) {
    Menu* menu = get_menu(handle);
    return menu ? static_cast<int>(menu->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU handle, int position) {
    ItemRef ref = lookup(handle, static_cast<UINT>(position), MF_BYPOSITION);
    if (!ref || ref.item().is_popup()) return static_cast<UINT>(-1);
    return static_cast<UINT>(ref.item().id);
}

UINT WINAPI GetMenuState(HMENU handle, UINT id, UINT flags) {
    ItemRef ref = lookup(handle, id, flags);
    if (!ref) return static_cast<UINT>(-1);
    const MenuItem& item = ref.item();
    if (!item.is_popup()) return item.flags;
    // A pop-up item reports its own flags in the low byte and its submenu's size above.
    Menu* submenu = find_menu(item.submenu);
    UINT count = submenu ? static_cast<UINT>(submenu->items.size()) : 0;
    return ((count & 0xffu) << 8) | (item.flags & 0xffu);
}

BOOL WINAPI EnableMenuItem(HMENU handle, UINT id, UINT enable) {
    ItemRef ref = lookup(handle, id, enable);
    if (!ref) return -1;
    MenuItem& item = ref.item();
    UINT previous = item.flags & kEnableBits;
    item.flags = (item.flags & ~kEnableBits) | (enable & kEnableBits);
    return static_cast<BOOL>(previous);
}

DWORD WINAPI CheckMenuItem(HMENU handle, UINT id, UINT check) {
    ItemRef ref = lookup(handle, id, check);
    if (!ref) return static_cast<DWORD>(-1);
    MenuItem& item = ref.item();
    UINT previous = item.flags & MF_CHECKED;
    item.flags = (item.flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return previous;
}

int WINAPI GetMenuStringA(HMENU handle, UINT id, LPSTR buffer, int max_count, UINT flags) {
    ItemRef ref = lookup(handle, id, flags);
    if (!ref) return 0;
    const std::string& text = ref.item().text;
    if (!buffer || max_count <= 0) return static_cast<int>(text.size());
    size_t count = text.size() < static_cast<size_t>(max_count) - 1
                       ? text.size()
                       : static_cast<size_t>(max_count) - 1;
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}
