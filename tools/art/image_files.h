// The two file formats the resource compiler takes images in: device-independent bitmap
// files (.bmp) and cursor files (.cur). Both are little-endian, as on Windows.
#pragma once

#include "dib_writer.h"
#include "images.h"

namespace art {

using dib::Bytes;
using dib::write_file;

// A bitmap file of the image at 8 bits per pixel (BI_RGB, rows bottom-up, padded to 4 bytes)
// with a colour table of 256 entries: the image's palette, filled up with black. The table
// always has 256 entries, so the file states a 256-colour bitmap whatever the picture uses.
Bytes bitmap_file(const IndexedImage& image);

// A cursor file with the one image: 1 bit per pixel, a colour table of black and white, the
// colour rows followed by the transparency mask (a set bit is transparent), the height in
// the header doubled for the two halves, as cursor resources store them.
Bytes cursor_file(const MonochromeCursor& cursor);

} // namespace art
