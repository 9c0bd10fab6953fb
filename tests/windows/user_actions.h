// What the user does in front of the page: clicks with the mouse, picks from a pop-up menu,
// and what the user finds on the clipboard afterwards.
#pragma once

#include "ui_watcher.h"

#include <windows.h>

#include <string>
#include <vector>

namespace winhost {

// A right click at a point of the window, through the system's input queue as a mouse makes it.
void right_click(HWND window, int x, int y);

// Right-clicks the window at (x, y), picks `item` from the pop-up menu that opens (or closes
// the menu when the item is not there or greyed) and lets the page handle the choice.
WatchReport choose_from_context_menu(HWND window, int x, int y, const char* item);

// The menu's items as the user reads them: "Text | Text (greyed) | - | ...".
std::string menu_listing(const std::vector<SeenMenuItem>& items);

void set_clipboard_text(HWND owner, const char* text);
// The clipboard's text as CF_TEXT, which the system makes from whichever text format is there.
std::string clipboard_text(HWND owner);
bool clipboard_has(UINT format);

} // namespace winhost
