// The poster an instance shows until its movie is on screen: the product's logo.
#pragma once

#include "images.h"

namespace art {

// The poster's size in pixels. The plug-in shows it only in areas larger than this.
constexpr int kPosterWidth = 122;
constexpr int kPosterHeight = 108;

// Draws the poster in true colour: a lantern whose glass glows around a play triangle, in a
// frame of film with sprocket holes along its top and bottom, over a night-blue gradient lit
// by the lantern. Edges are smoothed by drawing 4 x 4 samples per pixel.
RgbImage draw_poster();

} // namespace art
