// Pictures handed to other programs: a packed DIB (the header followed by the bits) in a
// moveable global memory block, as the clipboard takes it.
#pragma once

#include "movie/movie.h"

namespace lanternix::media {

// The block's handle as a 32-bit result, or 0 when it cannot be made. The caller owns it.
EngineResult make_packed_dib(const Picture& picture);

} // namespace lanternix::media
