#include "resource/system_cursors.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

namespace winapi::resource {

namespace {

// Images as text: '#' black, 'o' white, anything else transparent. Black outlines around
// white shapes keep each cursor visible on any background.
struct CursorArt {
    uint16_t id;
    POINT hot_spot;
    std::initializer_list<std::string_view> rows;
};

const CursorArt cursor_art[] = {
    {32512,
     {0, 0}, // IDC_ARROW
     {"#...........", "##..........", "#o#.........", "#oo#........", "#ooo#.......",
      "#oooo#......", "#ooooo#.....", "#oooooo#....", "#ooooooo#...", "#oooooooo#..",
      "#ooooo#####.", "#oo#oo#.....", "#o#.#oo#....", "##..#oo#....", "#....#oo#...",
      ".....#oo#...", "......#oo#..", "......#oo#..", ".......##..."}},
    {32513,
     {3, 8}, // IDC_IBEAM
     {"###.###", "...#...", "...#...", "...#...", "...#...", "...#...", "...#...", "...#...",
      "...#...", "...#...", "...#...", "...#...", "...#...", "...#...", "...#...", "...#...",
      "###.###"}},
    {32514,
     {5, 7}, // IDC_WAIT
     {"###########", "#ooooooooo#", ".#ooooooo#.", ".#ooooooo#.", "..#ooooo#..", "...#ooo#...",
      "....#o#....", ".....#.....", "....#o#....", "...#o#o#...", "..#ooooo#..", ".#ooo#ooo#.",
      ".#oo###oo#.", "#ooo###ooo#", "###########"}},
    {32515,
     {7, 7}, // IDC_CROSS
     {".......#.......", ".......#.......", ".......#.......", ".......#.......", ".......#.......",
      ".......#.......", ".......#.......", "###############", ".......#.......", ".......#.......",
      ".......#.......", ".......#.......", ".......#.......", ".......#.......",
      ".......#......."}},
    {32646,
     {8, 8}, // IDC_SIZEALL
     {"........#........", ".......#o#.......", "......#ooo#......", ".....#ooooo#.....",
      "....####o####....", "...#...#o#...#...", "..##...#o#...##..", ".#o#####o#####o#.",
      "#ooooooooooooooo#", ".#o#####o#####o#.", "..##...#o#...##..", "...#...#o#...#...",
      "....####o####....", ".....#ooooo#.....", "......#ooo#......", ".......#o#.......",
      "........#........"}},
    {32648,
     {7, 7}, // IDC_NO
     {".....#####.....", "...##ooooo##...", "..#ooo###ooo#..", ".#oo##...##oo#.", ".#o#o#....#o#..",
      "#oo#.o#....#oo#", "#o#...o#....#o#", "#o#....o#...#o#", "#o#.....o#..#o#", "#oo#.....o##oo#",
      ".#o#......#o#..", ".#oo##...##oo#.", "..#ooo###ooo#..", "...##ooooo##...",
      ".....#####....."}},
    {32649,
     {5, 0}, // IDC_HAND
     {".....##.........", "....#oo#........", "....#oo#........", "....#oo#........",
      "....#oo###......", "....#oo#oo###...", "....#oo#oo#oo##.", ".##.#oo#oo#oo#o#",
      "#oo##oooooooo#o#", "#ooo#oooooooooo#", ".#oooooooooooo#.", "..#ooooooooooo#.",
      "..#oooooooooo#..", "...#ooooooooo#..", "....#oooooooo#..", "....##########.."}},
    {32650,
     {0, 0}, // IDC_APPSTARTING
     {"#...................", "##..................", "#o#.................",
      "#oo#................", "#ooo#...............", "#oooo#..............",
      "#ooooo#.............", "#oooooo#............", "#ooooooo#...........",
      "#oooooooo#..........", "#ooooo#####.#######.", "#oo#oo#.....#ooooo#.",
      "#o#.#oo#.....#ooo#..", "##..#oo#......#o#...", "#....#oo#......#....",
      ".....#oo#.....#o#...", "......#oo#...#ooo#..", "......#oo#..#ooooo#.",
      ".......##...#######."}},
};

uint32_t pixel_for(char c) {
    if (c == '#') return 0xff000000;
    if (c == 'o') return 0xffffffff;
    return 0;
}

Cursor draw(const CursorArt& art) {
    Cursor cursor;
    cursor.hot_spot = art.hot_spot;
    cursor.height = static_cast<int>(art.rows.size());
    for (std::string_view row : art.rows)
        cursor.width = std::max(cursor.width, static_cast<int>(row.size()));
    cursor.pixels.assign(static_cast<size_t>(cursor.width) * cursor.height, 0);
    int y = 0;
    for (std::string_view row : art.rows) {
        for (size_t x = 0; x < row.size(); ++x)
            cursor.pixels[static_cast<size_t>(y) * cursor.width + x] = pixel_for(row[x]);
        ++y;
    }
    return cursor;
}

} // namespace

std::optional<Cursor> system_cursor_image(uint16_t id) {
    for (const CursorArt& art : cursor_art) {
        if (art.id == id) return draw(art);
    }
    return std::nullopt;
}

} // namespace winapi::resource
