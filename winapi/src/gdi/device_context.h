// Device contexts: where drawing goes (a window surface or the bitmap selected into a memory
// context), the selected objects, colours, modes and the coordinate mapping. The public GDI
// functions find the context behind an HDC here and draw through its target.
#pragma once

#include <wingdi.h>

#include <memory>
#include <vector>

#include "common/surface.h"
#include "gdi/coordinate_mapping.h"
#include "gdi/rasterizer.h"

namespace winapi::gdi {

// Everything SaveDC saves and RestoreDC brings back.
struct DcState {
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr; // memory contexts only
    CoordinateMapping mapping;
    COLORREF text_color = RGB(0, 0, 0);
    COLORREF background_color = RGB(255, 255, 255);
    int background_mode = OPAQUE;
    int stretch_mode = BLACKONWHITE;
    int fill_mode = ALTERNATE;
    POINT brush_origin{0, 0};
    POINT position{0, 0}; // current position of MoveToEx and LineTo, logical
};

struct DeviceContext {
    bool memory = false;        // made by CreateCompatibleDC
    Surface* surface = nullptr; // window contexts: the top-level window's pixels
    POINT origin{0, 0};         // window contexts: where device (0, 0) lies in the surface
    RECT clip{0, 0, 0, 0};      // window contexts: surface pixels drawing may change
    DcState state;
    std::vector<DcState> saved; // SaveDC stack, oldest first
};

// Creates a context with the default objects selected and returns its handle.
HDC add_dc(std::unique_ptr<DeviceContext> dc);

// The context behind a handle, or null for a null, stale or foreign handle. `get_dc` also
// sets ERROR_INVALID_HANDLE when it returns null; `find_dc` leaves the last error alone.
DeviceContext* find_dc(HDC handle);
DeviceContext* get_dc(HDC handle);

// Releases everything the context holds (current and saved objects) and destroys it.
void destroy_dc(HDC handle);

// Selects a pen, brush, font or bitmap and returns the previous object of that kind; null
// when the object cannot be selected (a bitmap into a window context, a bitmap already held
// by another context).
HGDIOBJ select_object(HDC handle, DeviceContext& dc, HGDIOBJ object);

// Pushes the current state (the objects in it stay held) and returns the new depth.
int save_state(HDC handle, DeviceContext& dc);
// Returns to a saved state: `level` > 0 names a depth from SaveDC, < 0 counts back from
// the most recent. False for a level that does not exist.
bool restore_state(DeviceContext& dc, int level);

// The pixels a context draws into and the part it may change. False when there is nothing
// to draw into (a window context whose surface is gone).
bool dc_target(DeviceContext& dc, Target& target);

// Logical coordinates of the context to pixels of its target.
POINT to_target(const DeviceContext& dc, POINT logical);
// The rectangle with these two logical corners in target pixels, ordered.
RECT rect_to_target(const DeviceContext& dc, POINT a, POINT b);

// The device-pixel width of the selected pen (at least 1, at most a sane maximum) and the
// stroke that draws with it; `stroke_for_pen` returns false for the null pen.
bool stroke_for_pen(const DeviceContext& dc, Stroke& stroke);
// The solid colour of the selected brush; false for the null brush.
bool brush_color(const DeviceContext& dc, uint32_t& rgb);

} // namespace winapi::gdi
