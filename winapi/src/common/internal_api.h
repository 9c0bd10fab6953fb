// Marks internal functions of the layer that are reached from outside the shared library:
// by the layer's own tests, which check decoders and parsers directly. The library is built
// with hidden visibility, so without this mark they could not be linked. They are not part of
// the Win32 interface and programs must not use them.
#pragma once

#include <lx_export.h>

#define LX_INTERNAL_API LX_EXPORT
