// The pointing hand, drawn pixel by pixel.
#include "link_cursor.h"

#include <cstring>

namespace art {
namespace {

constexpr int kSize = 32;
constexpr int kHotX = 13;
constexpr int kHotY = 9;

// One row per line: '.' transparent, '#' black outline, 'o' white. The index finger rises
// from the palm to the fingertip at the hot spot; the three folded fingers step down to the
// right of it, the thumb lies against the palm on the left, and a cuff closes the wrist.
constexpr const char* kHand[kSize] = {
    "................................", //  0
    "................................", //  1
    "................................", //  2
    "................................", //  3
    "................................", //  4
    "................................", //  5
    "................................", //  6
    "................................", //  7
    "................................", //  8
    ".............##.................", //  9  fingertip, the hot spot at x 13
    "............#oo#................", // 10
    "............#oo#................", // 11
    "............#oo#................", // 12
    "............#oo#................", // 13
    "............#oo###..............", // 14  middle finger
    "............#oo#oo###...........", // 15  ring finger
    "............#oo#oo#oo###........", // 16  little finger
    "........##..#oo#oo#oo#oo#.......", // 17  thumb
    ".......#oo#.#oo#oo#oo#oo#.......", // 18
    ".......#ooo##ooooooooooo#.......", // 19  knuckles
    "........#oo#oooooooooooo#.......", // 20
    "........#ooooooooooooooo#.......", // 21
    ".........#oooooooooooooo#.......", // 22
    ".........#ooooooooooooo#........", // 23
    "..........#oooooooooooo#........", // 24
    "..........#ooooooooooo#.........", // 25
    "...........#oooooooooo#.........", // 26
    "...........#oooooooooo#.........", // 27
    "...........############.........", // 28  cuff
    "...........#oooooooooo#.........", // 29
    "...........############.........", // 30
    "................................", // 31
};

bool to_pixel(char c, CursorPixel* pixel) {
    switch (c) {
    case '.':
        *pixel = CursorPixel::Transparent;
        return true;
    case '#':
        *pixel = CursorPixel::Black;
        return true;
    case 'o':
        *pixel = CursorPixel::White;
        return true;
    default:
        return false;
    }
}

} // namespace

MonochromeCursor link_cursor() {
    MonochromeCursor cursor{kSize, kSize, kHotX, kHotY, {}};
    cursor.pixels.reserve(kSize * kSize);
    for (const char* row : kHand) {
        if (std::strlen(row) != kSize) return {};
        for (int x = 0; x < kSize; ++x) {
            CursorPixel pixel;
            if (!to_pixel(row[x], &pixel)) return {};
            cursor.pixels.push_back(pixel);
        }
    }
    if (cursor.pixels[kHotY * kSize + kHotX] == CursorPixel::Transparent) return {};
    return cursor;
}

} // namespace art
