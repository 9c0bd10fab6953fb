// The browser's windows: a top-level page window with one child window per embed, the
// message loop that keeps them (and the plug-in's timers) running, and reading back what is
// on the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace winhost {

// Pixels read from the screen, rows top first, 4 bytes a pixel in the order blue, green, red
// and an unused byte.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    const uint8_t* at(int x, int y) const {
        return &pixels[(static_cast<size_t>(y) * width + x) * 4];
    }
    COLORREF colour(int x, int y) const { return RGB(at(x, y)[2], at(x, y)[1], at(x, y)[0]); }
};

// A page window with one embed, both visible on the display.
struct PageWindows {
    HWND page = nullptr;
    HWND embed = nullptr;
    WNDPROC embed_procedure = nullptr; // the embed window's own procedure
};

// Creates the page at the top left of the screen and the embed at (left, top) in it.
PageWindows create_page(int left, int top, int width, int height);
void destroy_page(PageWindows& windows);

// Delivers messages for `milliseconds`, sleeping a little when the queue is empty.
void pump_messages_for(DWORD milliseconds);

// Delivers messages until `done` answers true or `milliseconds` pass; true when it did.
template <typename Predicate>
bool pump_messages_until(Predicate done, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= milliseconds) return false;
        pump_messages_for(20);
    }
    return true;
}

// The client area of `window` as it is on the screen.
Picture read_window(HWND window);

// A bitmap resource of `module` as 32-bit pixels, rows top first; empty when it has none.
Picture read_bitmap_resource(HMODULE module, int id);

// The part of `picture` from (left, top), `width` by `height` pixels.
Picture crop(const Picture& picture, int left, int top, int width, int height);

// Peak signal-to-noise ratio in decibels over blue, green and red; 99 for equal pictures.
double psnr(const Picture& a, const Picture& b);

// The largest difference of any colour channel at any pixel.
int largest_difference(const Picture& a, const Picture& b);

// Writes the picture as a 24-bit BMP file, for a person to look at when a check of it failed.
bool save_picture(const Picture& picture, const std::string& path);

// How many pixels of the picture have exactly this colour.
int count_colour(const Picture& picture, COLORREF colour);

} // namespace winhost
