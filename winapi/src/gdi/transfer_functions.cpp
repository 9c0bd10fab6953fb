// Public bit-block transfers: between device contexts (BitBlt, StretchBlt) and from packed
// device-independent bitmaps in the caller's memory (StretchDIBits, SetDIBitsToDevice).
// Destination coordinates go through the destination's mapping and clip; source coordinates
// of a context go through the source's mapping.
#include <wingdi.h>
#include <winerror.h>

#include <algorithm>
#include <climits>

#include "gdi/device_context.h"
#include "gdi/dib_format.h"
#include "gdi/stretch_copy.h"

using namespace winapi::gdi;

namespace {

LONG far_edge(int origin, int64_t size) {
    return static_cast<LONG>(std::clamp<int64_t>(int64_t(origin) + size, INT32_MIN, INT32_MAX));
}

// The rectangle from logical (x, y) with logical extents, in target pixels and signed extents
// (a mapping that flips an axis flips the extent's sign).
SignedRect logical_rect(const DeviceContext& dc, int x, int y, int64_t width, int64_t height) {
    POINT a = to_target(dc, POINT{x, y});
    POINT b = to_target(dc, POINT{far_edge(x, width), far_edge(y, height)});
    return SignedRect{a.x, a.y, int64_t(b.x) - a.x, int64_t(b.y) - a.y};
}

// The pattern colour for operations that use one; false when the brush is null and the
// operation needs it (nothing is drawn then).
bool pattern_for(const DeviceContext& dc, DWORD rop, uint32_t& pattern) {
    pattern = 0;
    return brush_color(dc, pattern) || !rop_uses_pattern(rop);
}

MonochromeColors monochrome_colors(const DeviceContext& dest, const DeviceContext& source) {
    MonochromeColors colors;
    colors.convert = true;
    colors.dest_text = rgb_from_colorref(dest.state.text_color);
    colors.dest_background = rgb_from_colorref(dest.state.background_color);
    colors.source_background = rgb_from_colorref(source.state.background_color);
    return colors;
}

BOOL transfer(HDC dest_handle, int x, int y, int width, int height, HDC source_handle, int source_x,
              int source_y, int source_width, int source_height, DWORD rop) {
    DeviceContext* dest = get_dc(dest_handle);
    if (dest == nullptr) return FALSE;
    Target target;
    if (!dc_target(*dest, target)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    uint32_t pattern = 0;
    bool draws = pattern_for(*dest, rop, pattern);
    if (!rop_uses_source(rop)) {
        // A pattern-only operation: the source, if any, is not looked at.
        RECT r = rect_to_target(*dest, POINT{x, y}, POINT{far_edge(x, width), far_edge(y, height)});
        if (draws) pattern_rect(target, r, pattern, rop3_index(rop));
        return TRUE;
    }
    DeviceContext* source = get_dc(source_handle);
    if (source == nullptr) return FALSE;
    Target source_target;
    if (!dc_target(*source, source_target)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!draws) return TRUE;
    stretch_copy(target, logical_rect(*dest, x, y, width, height), source_target.pixels,
                 logical_rect(*source, source_x, source_y, source_width, source_height), rop,
                 pattern, monochrome_colors(*dest, *source));
    return TRUE;
}

// Opens the destination of a DIB transfer and reads the DIB's description.
bool open_dib_transfer(HDC handle, const void* bits, const BITMAPINFO* info, UINT usage,
                       DeviceContext*& dc, Target& target, DibFormat& format) {
    dc = get_dc(handle);
    if (dc == nullptr) return false;
    if (!dc_target(*dc, target)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (bits == nullptr || !parse_dib_info(info, usage, format)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

} // namespace

BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int source_x,
                   int source_y, DWORD rop) {
    return transfer(dest, x, y, width, height, source, source_x, source_y, width, height, rop);
}

BOOL WINAPI StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int source_x,
                       int source_y, int source_width, int source_height, DWORD rop) {
    return transfer(dest, x, y, width, height, source, source_x, source_y, source_width,
                    source_height, rop);
}

// Source coordinates are DIB pixels. A bottom-up DIB has its origin at the lower-left corner,
// so source_y counts rows up from the bottom; a top-down DIB counts them down from the top.
int WINAPI StretchDIBits(HDC dest, int x, int y, int width, int height, int source_x, int source_y,
                         int source_width, int source_height, const void* bits,
                         const BITMAPINFO* info, UINT usage, DWORD rop) {
    DeviceContext* dc = nullptr;
    Target target;
    DibFormat format;
    if (!open_dib_transfer(dest, bits, info, usage, dc, target, format)) return 0;
    uint32_t pattern = 0;
    if (!pattern_for(*dc, rop, pattern)) return source_height;
    int64_t top = format.top_down ? source_y : int64_t(format.height) - source_y - source_height;
    SignedRect source_rect{source_x, top, source_width, source_height};
    stretch_copy(target, logical_rect(*dc, x, y, width, height), format.view(bits), source_rect,
                 rop, pattern, MonochromeColors{});
    return source_height;
}

// The bits hold `lines` scan lines of the DIB starting with scan `start`, scans counted from
// the bottom of the whole DIB; (source_x, source_y) is the lower-left corner of the part to
// show, which lands unscaled with its upper-left corner at logical (x, y).
int WINAPI SetDIBitsToDevice(HDC dest, int x, int y, DWORD width, DWORD height, int source_x,
                             int source_y, UINT start, UINT lines, const void* bits,
                             const BITMAPINFO* info, UINT usage) {
    DeviceContext* dc = nullptr;
    Target target;
    DibFormat format;
    if (!open_dib_transfer(dest, bits, info, usage, dc, target, format)) return 0;
    if (lines == 0) return 0;
    LONG w = static_cast<LONG>(std::min<DWORD>(width, INT_MAX));
    LONG h = static_cast<LONG>(std::min<DWORD>(height, INT_MAX));
    LONG band = static_cast<LONG>(std::min<UINT>(lines, static_cast<UINT>(format.height)));
    LONG first = static_cast<LONG>(std::min<UINT>(start, INT_MAX));
    // A view of just the rows present in the bits; view row 0 is scan first + band - 1.
    DibFormat band_format = format;
    band_format.height = band;
    PixelBuffer view = band_format.view(bits);
    int64_t view_top = int64_t(first) + band - source_y - h;
    POINT origin = to_target(*dc, POINT{x, y});
    SignedRect dest_rect{origin.x, origin.y, w, h};
    SignedRect source_rect{source_x, view_top, w, h};
    stretch_copy(target, dest_rect, view, source_rect, SRCCOPY, 0, MonochromeColors{});
    return static_cast<int>(band);
}
