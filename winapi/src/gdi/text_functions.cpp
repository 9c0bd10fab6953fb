// Public text functions: drawing a string at a point or formatted in a rectangle, and
// measuring text and fonts. Text is ANSI (Windows-1252); positions and sizes are logical.
#include <wingdi.h>
#include <winerror.h>

#include <cstdlib>
#include <cstring>

#include "gdi/device_context.h"
#include "gdi/text_drawing.h"

using namespace winapi::gdi;

namespace {

bool valid_text(LPCSTR text, int length) {
    if (length < 0 || (length > 0 && text == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

LONG logical_width(const DeviceContext& dc, LONG device) {
    return std::labs(dc.state.mapping.width_to_logical(device));
}

LONG logical_height(const DeviceContext& dc, LONG device) {
    return std::labs(dc.state.mapping.height_to_logical(device));
}

} // namespace

// Text starts with the top-left corner of its first character cell at (x, y); the current
// position is neither used nor moved.
BOOL WINAPI TextOutA(HDC handle, int x, int y, LPCSTR text, int length) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr || !valid_text(text, length)) return FALSE;
    Target target;
    if (!dc_target(*dc, target)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (length == 0) return TRUE;
    POINT origin = to_target(*dc, POINT{x, y});
    draw_text_line(target, *dc, selected_face(*dc), origin.x, origin.y, text,
                   static_cast<size_t>(length), -1);
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC handle, LPCSTR text, int length, LPSIZE size) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr || !valid_text(text, length)) return FALSE;
    if (size == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FontFace& face = selected_face(*dc);
    int width = length > 0 ? face.text_width(text, static_cast<size_t>(length)) : 0;
    size->cx = logical_width(*dc, width);
    size->cy = logical_height(*dc, face.metrics().height());
    return TRUE;
}

BOOL WINAPI GetTextMetricsA(HDC handle, LPTEXTMETRICA metrics) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return FALSE;
    if (metrics == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FontFace& face = selected_face(*dc);
    const FontMetrics& m = face.metrics();
    const LOGFONTA& font = selected_logfont(*dc);
    TEXTMETRICA tm{};
    tm.tmHeight = logical_height(*dc, m.height());
    tm.tmAscent = logical_height(*dc, m.ascent);
    tm.tmDescent = logical_height(*dc, m.descent);
    tm.tmInternalLeading = logical_height(*dc, m.internal_leading());
    tm.tmExternalLeading = 0;
    tm.tmAveCharWidth = logical_width(*dc, m.average_width);
    tm.tmMaxCharWidth = logical_width(*dc, m.max_width);
    tm.tmWeight = face.bold() ? FW_BOLD : FW_NORMAL;
    tm.tmOverhang = 0;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x1e;
    tm.tmLastChar = 0xff;
    tm.tmDefaultChar = 0x1f;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = face.italic() ? 0xff : 0;
    tm.tmUnderlined = font.lfUnderline ? 0xff : 0;
    tm.tmStruckOut = font.lfStrikeOut ? 0xff : 0;
    // TMPF_FIXED_PITCH set means a variable-pitch font.
    tm.tmPitchAndFamily = TMPF_FIXED_PITCH | TMPF_VECTOR | TMPF_TRUETYPE | FF_SWISS;
    tm.tmCharSet = font.lfCharSet;
    *metrics = tm;
    return TRUE;
}

// A length of -1 means the text ends with a null character.
int WINAPI DrawTextA(HDC handle, LPCSTR text, int length, LPRECT rect, UINT format) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return 0;
    if (text == nullptr || rect == nullptr || length < -1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t count = length == -1 ? std::strlen(text) : static_cast<size_t>(length);
    return draw_text(*dc, text, count, *rect, format);
}
