// Reduction of a true-colour picture to a palette, for 256-colour bitmaps.
#pragma once

#include "images.h"

namespace art {

// Chooses at most `colours` (1 to 256) palette entries for the picture by median cut and
// maps every pixel to its nearest entry. The colours are split where the picture has most of
// its pixels, so smooth gradients keep fine steps. The result depends only on the picture.
IndexedImage reduce_to_palette(const RgbImage& picture, int colours);

} // namespace art
