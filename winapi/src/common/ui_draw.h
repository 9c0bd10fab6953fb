// Drawing shared by the layer's own user interface (pop-up menus, dialogs, controls): the
// classic grey look, made with the public GDI functions so that every display shows it.
#pragma once

#include <windows.h>

#include <string>

namespace winapi::ui {

// The font of menus and of dialogs that name none: 8 points at 96 pixels per inch. Created
// once and kept for the process.
HFONT ui_font();

// Fills `rect` with a system colour (COLOR_*).
void fill(HDC dc, const RECT& rect, int sys_color);

// A one-pixel frame in a colour.
void frame(HDC dc, const RECT& rect, COLORREF color);

// A two-pixel bevel: raised (buttons, menus) or sunken (edit boxes, check boxes).
void bevel(HDC dc, const RECT& rect, bool raised);

// A horizontal etched line (menu separators, group boxes).
void etched_line(HDC dc, int left, int right, int y);

// Draws text with a transparent background, in a colour, into `rect` (DrawTextA formats).
void text(HDC dc, const std::string& text, RECT rect, UINT format, COLORREF color);

// Greyed text: the text drawn embossed, as disabled items are.
void grey_text(HDC dc, const std::string& text, RECT rect, UINT format);

// The width of a text in the font selected into `dc`.
int text_width(HDC dc, const std::string& text);

} // namespace winapi::ui
