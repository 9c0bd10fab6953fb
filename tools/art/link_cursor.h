// The cursor shown over an instance that links somewhere: a pointing hand.
#pragma once

#include "image_files.h"

namespace art {

// The hand: 32 x 32 pixels, white with a black outline, the index finger pointing up. Its
// hot spot (13, 9) is the top of the fingertip: no opaque pixel lies above row 9. Returns an
// empty cursor (width 0) if the drawing below is malformed, so the caller can fail the build.
MonochromeCursor link_cursor();

} // namespace art
