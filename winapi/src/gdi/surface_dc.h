// How the window manager draws through GDI: a device context on a window's surface.
#pragma once

#include <windef.h>

#include "common/internal_api.h"
#include "common/surface.h"

namespace winapi::gdi {

// Opens a device context that draws into `surface`. Logical point (0, 0) lies at `origin`
// (surface pixels) and every operation is clipped to `clip` (surface pixels). The surface
// must outlive the context.
LX_INTERNAL_API HDC open_surface_dc(Surface* surface, POINT origin, RECT clip);

// Closes a context from open_surface_dc. Objects selected into it stay alive (their owner
// deletes them); the context's handle becomes invalid.
LX_INTERNAL_API void close_surface_dc(HDC dc);

// Writes the surface as an 8-bit RGBA PNG; false when the file cannot be written.
LX_INTERNAL_API bool write_png(const Surface& surface, const char* path);

} // namespace winapi::gdi
