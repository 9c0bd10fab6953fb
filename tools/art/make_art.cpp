// Draws the plug-in's images for its resource script. Usage: plugin_make_art OUTPUT_FOLDER
//
//   lanternix_poster.bmp  bitmap 4000, the poster: 122 x 108 pixels, 8 bits per pixel with a
//                         palette of 256 colours.
//   link_hand.cur         cursor 128, the pointing hand shown over links: 32 x 32, 1 bit per
//                         pixel, hot spot (13, 9) at the fingertip.
#include "image_files.h"
#include "link_cursor.h"
#include "palette.h"
#include "poster.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];

    art::MonochromeCursor hand = art::link_cursor();
    if (hand.width == 0) {
        std::fprintf(stderr, "%s: the link cursor's drawing is malformed\n", argv[0]);
        return 1;
    }
    art::IndexedImage poster = art::reduce_to_palette(art::draw_poster(), 256);

    const std::string poster_path = folder + "/lanternix_poster.bmp";
    const std::string cursor_path = folder + "/link_hand.cur";
    if (!art::write_file(poster_path, art::bitmap_file(poster)) ||
        !art::write_file(cursor_path, art::cursor_file(hand))) {
        std::fprintf(stderr, "%s: cannot write the images in %s\n", argv[0], folder.c_str());
        return 1;
    }
    return 0;
}
