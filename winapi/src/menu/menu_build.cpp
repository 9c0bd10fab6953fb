// Creating, changing and destroying menus.
#include <winerror.h>
#include <winuser_menu.h>

#include "menu/menu.h"

using namespace winapi::menu;

namespace {

constexpr UINT kAppend = static_cast<UINT>(-1);

// Builds the item that InsertMenuA and ModifyMenuA describe, to be placed in menu `parent`.
// For MF_POPUP the submenu must be a live menu that does not contain `parent` (a cycle).
// Returns false with the last error set when the description is unusable.
bool make_item(HMENU parent, UINT flags, UINT_PTR id_or_submenu, LPCSTR text, MenuItem& out) {
    out = MenuItem{};
    out.flags = flags & kItemFlagMask;
    out.id = id_or_submenu;
    if (flags & MF_POPUP) {
        HMENU submenu = reinterpret_cast<HMENU>(id_or_submenu);
        if (!get_menu(submenu)) return false;
        if (is_reachable(submenu, parent)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        out.submenu = submenu;
    }
    // Bitmap and owner-drawn items carry a handle or a value in place of a text; this layer
    // keeps only texts, so such items show no text.
    bool has_text = !(flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW));
    if (has_text && text) out.text = text;
    return true;
}

// The menu and index where InsertMenuA puts a new item: before the item `position` names,
// or at the end for MF_BYPOSITION with -1 or an index past the last item.
ItemRef insertion_point(HMENU handle, Menu* menu, UINT position, UINT flags) {
    if ((flags & MF_BYPOSITION) || position == kAppend) {
        size_t index = position < menu->items.size() ? position : menu->items.size();
        return ItemRef{menu, handle, index};
    }
    return find_item(handle, position, flags);
}

// Takes an item out of its menu; DeleteMenu then destroys the submenu it opened.
BOOL take_item(HMENU handle, UINT position, UINT flags, bool destroy_submenu) {
    if (!get_menu(handle)) return FALSE;
    ItemRef ref = find_item(handle, position, flags);
    if (!ref) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return FALSE;
    }
    HMENU submenu = ref.item().submenu;
    ref.menu->items.erase(ref.menu->items.begin() + static_cast<ptrdiff_t>(ref.index));
    if (destroy_submenu && submenu) destroy_menu(submenu);
    return TRUE;
}

} // namespace

HMENU WINAPI CreateMenu(void) {
    return create_menu(false);
}

HMENU WINAPI CreatePopupMenu(void) {
    return create_menu(true);
}

BOOL WINAPI DestroyMenu(HMENU menu) {
    if (!get_menu(menu)) return FALSE;
    destroy_menu(menu);
    return TRUE;
}

BOOL WINAPI IsMenu(HMENU menu) {
    return get_menu(menu) != nullptr;
}

BOOL WINAPI InsertMenuA(HMENU handle, UINT position, UINT flags, UINT_PTR id_or_submenu,
                        LPCSTR text) {
    Menu* menu = get_menu(handle);
    if (!menu) return FALSE;
    ItemRef where = insertion_point(handle, menu, position, flags);
    if (!where) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return FALSE;
    }
    MenuItem item;
    if (!make_item(where.handle, flags, id_or_submenu, text, item)) return FALSE;
    auto& items = where.menu->items;
    items.insert(items.begin() + static_cast<ptrdiff_t>(where.index), std::move(item));
    return TRUE;
}

BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR id_or_submenu, LPCSTR text) {
    return InsertMenuA(menu, kAppend, flags | MF_BYPOSITION, id_or_submenu, text);
}

BOOL WINAPI ModifyMenuA(HMENU handle, UINT position, UINT flags, UINT_PTR id_or_submenu,
                        LPCSTR text) {
    if (!get_menu(handle)) return FALSE;
    ItemRef ref = find_item(handle, position, flags);
    if (!ref) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return FALSE;
    }
    MenuItem item;
    if (!make_item(ref.handle, flags, id_or_submenu, text, item)) return FALSE;
    HMENU old_submenu = ref.item().submenu;
    ref.item() = std::move(item);
    // The replaced item owned its submenu; it goes with the item unless it was kept.
    if (old_submenu && old_submenu != ref.item().submenu) destroy_menu(old_submenu);
    return TRUE;
}

BOOL WINAPI DeleteMenu(HMENU menu, UINT position, UINT flags) {
    return take_item(menu, position, flags, true);
}

BOOL WINAPI RemoveMenu(HMENU menu, UINT position, UINT flags) {
    return take_item(menu, position, flags, false);
}
