// A pop-up menu being tracked: its window, its items as laid out, the highlighted item and
// the outcome. TrackPopupMenu owns it for the length of the modal loop; the menu window's
// procedure works on it.
#pragma once

#include <winapi/desktop.h>

#include <windows.h>

#include <vector>

namespace winapi::menu {

struct PopupTracker {
    HMENU menu = nullptr;
    HWND owner = nullptr;
    HWND window = nullptr;
    UINT flags = 0;
    std::vector<desktop::ShownMenuItem> items; // rects in the menu window's client coordinates
    int highlighted = -1;
    bool done = false;
    UINT chosen = 0; // the id of the chosen item, 0 for none
};

// The items of `menu` as shown, with their rectangles laid out from (0, 0) in the menu
// font, and the size the whole menu needs (frame included).
std::vector<desktop::ShownMenuItem> lay_out_menu(HMENU menu, SIZE* size);

// The menu window class's name; the class is provided by the layer.
extern const char kPopupMenuClass[];

// Registers the class once.
void register_popup_menu_class();

// The index of the item at a client point of the menu window, or -1.
int item_at(const PopupTracker& tracker, POINT client);

// Ends tracking with the item at `index` if it can be chosen; false (nothing happens) for
// a separator, a greyed or disabled item or one that opens a submenu.
bool choose_item(PopupTracker& tracker, int index);

} // namespace winapi::menu
