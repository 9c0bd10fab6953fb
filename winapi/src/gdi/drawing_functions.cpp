// Public drawing functions: pixels, lines, rectangles, polygons and pattern fills. Each one
// takes logical coordinates, converts them through the context's mapping and draws within
// the context's clip.
#include <wingdi.h>
#include <winerror.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "gdi/device_context.h"
#include "gdi/gdi_object.h"

using namespace winapi::gdi;

namespace {

// A context ready to draw into: the context and where its pixels are.
struct Canvas {
    DeviceContext* dc = nullptr;
    Target target;
};

bool open_canvas(HDC handle, Canvas& canvas) {
    canvas.dc = get_dc(handle);
    if (canvas.dc == nullptr) return false;
    if (!dc_target(*canvas.dc, canvas.target)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return true;
}

// x + width without overflow, for the far corner of a rectangle given by origin and size.
LONG far_edge(int origin, int size) {
    int64_t edge = int64_t(origin) + size;
    return static_cast<LONG>(std::clamp<int64_t>(edge, INT32_MIN, INT32_MAX));
}

// Strokes a closed outline through `points` with the selected pen: every edge leaves out its
// end point, which the next edge starts with, so each corner is drawn once.
void stroke_outline(Canvas& canvas, const std::vector<POINT>& points) {
    Stroke stroke;
    if (points.empty() || !stroke_for_pen(*canvas.dc, stroke)) return;
    for (size_t i = 0; i < points.size(); ++i)
        draw_line(canvas.target, points[i], points[(i + 1) % points.size()], stroke, false);
}

// Fills one of the four bars of FrameRect.
void frame_bar(const Target& target, LONG left, LONG top, LONG right, LONG bottom, uint32_t rgb) {
    fill_rect(target, RECT{left, top, right, bottom}, rgb);
}

} // namespace

BOOL WINAPI MoveToEx(HDC handle, int x, int y, LPPOINT previous) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return FALSE;
    if (previous) *previous = dc->state.position;
    dc->state.position = POINT{x, y};
    return TRUE;
}

BOOL WINAPI LineTo(HDC handle, int x, int y) {
    Canvas canvas;
    if (!open_canvas(handle, canvas)) return FALSE;
    DcState& state = canvas.dc->state;
    Stroke stroke;
    if (stroke_for_pen(*canvas.dc, stroke)) {
        draw_line(canvas.target, to_target(*canvas.dc, state.position),
                  to_target(*canvas.dc, POINT{x, y}), stroke, false);
    }
    state.position = POINT{x, y};
    return TRUE;
}

// The pen outlines the rectangle's outermost pixels and the brush fills what lies inside;
// right and bottom edges are excluded. With the null pen the filled area is one pixel
// narrower and shorter, as documented.
BOOL WINAPI Rectangle(HDC handle, int left, int top, int right, int bottom) {
    Canvas canvas;
    if (!open_canvas(handle, canvas)) return FALSE;
    RECT r = rect_to_target(*canvas.dc, POINT{left, top}, POINT{right, bottom});
    if (rect_empty(r)) return TRUE;
    Stroke stroke;
    bool outlined = stroke_for_pen(*canvas.dc, stroke);
    uint32_t fill = 0;
    if (brush_color(*canvas.dc, fill)) {
        RECT inside = outlined ? RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}
                               : RECT{r.left, r.top, r.right - 1, r.bottom - 1};
        fill_rect(canvas.target, inside, fill);
    }
    if (!outlined) return TRUE;
    // An inside-frame pen keeps its whole width within the rectangle.
    const Pen* pen = find_pen(canvas.dc->state.pen);
    LONG inset = (pen && pen->line_style() == PS_INSIDEFRAME) ? stroke.width / 2 : 0;
    LONG x0 = r.left + inset, y0 = r.top + inset;
    LONG x1 = std::max(x0, r.right - 1 - inset), y1 = std::max(y0, r.bottom - 1 - inset);
    stroke_outline(canvas, {POINT{x0, y0}, POINT{x1, y0}, POINT{x1, y1}, POINT{x0, y1}});
    return TRUE;
}

BOOL WINAPI Polygon(HDC handle, const POINT* points, int count) {
    Canvas canvas;
    if (!open_canvas(handle, canvas)) return FALSE;
    if (points == nullptr || count < 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<POINT> device(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        device[static_cast<size_t>(i)] = to_target(*canvas.dc, points[i]);
    uint32_t fill = 0;
    if (brush_color(*canvas.dc, fill))
        fill_polygon(canvas.target, device.data(), device.size(), fill,
                     canvas.dc->state.fill_mode == WINDING);
    stroke_outline(canvas, device);
    return TRUE;
}

// Returns the colour actually stored (the nearest one the target can hold), or -1 when the
// point lies outside the clip.
COLORREF WINAPI SetPixel(HDC handle, int x, int y, COLORREF color) {
    Canvas canvas;
    if (!open_canvas(handle, canvas)) return CLR_INVALID;
    POINT p = to_target(*canvas.dc, POINT{x, y});
    if (!canvas.target.inside(p.x, p.y)) return CLR_INVALID;
    uint32_t rgb = rgb_from_colorref(color);
    canvas.target.pixels.put(p.x, p.y, rgb);
    return colorref_from_rgb(canvas.target.pixels.representable(rgb));
}

COLORREF WINAPI GetPixel(HDC handle, int x, int y) {
    Canvas canvas;
    if (!open_canvas(handle, canvas)) return CLR_INVALID;
    POINT p = to_target(*canvas.dc, POINT{x, y});
    if (!canvas.target.inside(p.x, p.y)) return CLR_INVALID;
    return colorref_from_rgb(canvas.target.pixels.get(p.x, p.y));
}

BOOL WINAPI PatBlt(HDC handle, int x, int y, int width, int height, DWORD rop) {
    Canvas canvas;
    if (!open_canvas(handle, canvas)) return FALSE;
    if (rop_uses_source(rop)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    uint32_t pattern = 0;
    if (!brush_color(*canvas.dc, pattern) && rop_uses_pattern(rop)) return TRUE;
    RECT r =
        rect_to_target(*canvas.dc, POINT{x, y}, POINT{far_edge(x, width), far_edge(y, height)});
    pattern_rect(canvas.target, r, pattern, rop3_index(rop));
    return TRUE;
}

int WINAPI FillRect(HDC handle, const RECT* rect, HBRUSH brush) {
    Canvas canvas;
    if (!open_canvas(handle, canvas)) return 0;
    Brush* fill = find_brush(brush);
    if (rect == nullptr || fill == nullptr) {
        SetLastError(rect == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return 0;
    }
    if (fill->log.lbStyle == BS_NULL) return 1;
    RECT r =
        rect_to_target(*canvas.dc, POINT{rect->left, rect->top}, POINT{rect->right, rect->bottom});
    fill_rect(canvas.target, r, rgb_from_colorref(fill->log.lbColor));
    return 1;
}

// A frame one logical unit wide just inside the rectangle; an empty rectangle draws nothing.
int WINAPI FrameRect(HDC handle, const RECT* rect, HBRUSH brush) {
    Canvas canvas;
    if (!open_canvas(handle, canvas)) return 0;
    Brush* fill = find_brush(brush);
    if (rect == nullptr || fill == nullptr) {
        SetLastError(rect == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return 0;
    }
    RECT r =
        rect_to_target(*canvas.dc, POINT{rect->left, rect->top}, POINT{rect->right, rect->bottom});
    if (fill->log.lbStyle == BS_NULL || rect_empty(r)) return 1;
    const CoordinateMapping& mapping = canvas.dc->state.mapping;
    LONG tx = clamp_coordinate(std::max<LONG>(1, std::labs(mapping.width_to_device(1))));
    LONG ty = clamp_coordinate(std::max<LONG>(1, std::labs(mapping.height_to_device(1))));
    uint32_t rgb = rgb_from_colorref(fill->log.lbColor);
    frame_bar(canvas.target, r.left, r.top, r.right, std::min(r.bottom, r.top + ty), rgb);
    frame_bar(canvas.target, r.left, std::max(r.top, r.bottom - ty), r.right, r.bottom, rgb);
    frame_bar(canvas.target, r.left, r.top, std::min(r.right, r.left + tx), r.bottom, rgb);
    frame_bar(canvas.target, std::max(r.left, r.right - tx), r.top, r.right, r.bottom, rgb);
    return 1;
}
