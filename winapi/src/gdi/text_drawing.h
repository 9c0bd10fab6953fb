// Text on a device context: the face its selected font realises to, drawing one line of
// glyphs with the context's colours and background mode, and the layout DrawTextA does
// (prefix characters, line breaks, word wrapping, alignment).
#pragma once

#include <wingdi.h>

#include <cstddef>

#include "gdi/device_context.h"
#include "gdi/font_face.h"

namespace winapi::gdi {

// The selected font of a context, realised at the context's scale, and its description.
FontFace& selected_face(const DeviceContext& dc);
const LOGFONTA& selected_logfont(const DeviceContext& dc);

// Draws one line with the top-left corner of its first cell at (x, y), target pixels: the
// cells' background first when the background mode is OPAQUE, then the glyphs blended in the
// text colour, then the font's underline and strike-out. `mnemonic` is the index of a
// character to underline as a keyboard prefix, or -1.
void draw_text_line(const Target& target, const DeviceContext& dc, FontFace& face, LONG x, LONG y,
                    const char* text, size_t length, int mnemonic);

// DrawTextA after its arguments are checked: draws the text in `rect` (logical units) or,
// with DT_CALCRECT, only measures it and adjusts `rect`. Returns the text height in logical
// units, or with DT_VCENTER or DT_BOTTOM the offset from the rectangle's top to the bottom of
// the text.
int draw_text(DeviceContext& dc, const char* text, size_t length, RECT& rect, UINT format);

} // namespace winapi::gdi
