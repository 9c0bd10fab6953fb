// Public functions that create and delete memory device contexts and read or change a
// context's attributes: mapping, colours, modes, saved states and device capabilities.
#include <wingdi.h>
#include <winerror.h>

#include <winapi/desktop.h>

#include <cmath>

#include "gdi/device_context.h"

using namespace winapi::gdi;

namespace {

// The resolution every context reports and the fixed mapping modes are built on.
constexpr int kDotsPerInch = 96;

int millimetres(int pixels) {
    return static_cast<int>(std::lround(pixels * 25.4 / kDotsPerInch));
}

// Raster capabilities: bit-block transfers, large bitmaps, DIB transfers and stretching.
constexpr int kRasterCaps =
    RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;

// Runs `change` on the mapping of a valid context; FALSE with ERROR_INVALID_HANDLE otherwise.
template <typename Change>
BOOL change_mapping(HDC handle, Change&& change) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return FALSE;
    return change(dc->state.mapping) ? TRUE : FALSE;
}

// Sets one of a context's modes when `valid`, returning the previous one; 0 with
// ERROR_INVALID_HANDLE or ERROR_INVALID_PARAMETER otherwise.
int replace_mode(HDC handle, int DcState::*field, int mode, bool valid) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return 0;
    if (!valid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int previous = dc->state.*field;
    dc->state.*field = mode;
    return previous;
}

BOOL convert_points(HDC handle, LPPOINT points, int count, bool to_device) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return FALSE;
    if (count < 0 || (count > 0 && points == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const CoordinateMapping& mapping = dc->state.mapping;
    for (int i = 0; i < count; ++i)
        points[i] = to_device ? mapping.to_device(points[i]) : mapping.to_logical(points[i]);
    return TRUE;
}

} // namespace

HDC WINAPI CreateCompatibleDC(HDC reference) {
    if (reference != nullptr && get_dc(reference) == nullptr) return nullptr;
    auto dc = std::make_unique<DeviceContext>();
    dc->memory = true;
    return add_dc(std::move(dc));
}

// Window contexts belong to the window manager, which releases them; only memory contexts
// are deleted here.
BOOL WINAPI DeleteDC(HDC handle) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return FALSE;
    if (!dc->memory) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    destroy_dc(handle);
    return TRUE;
}

int WINAPI SaveDC(HDC handle) {
    DeviceContext* dc = get_dc(handle);
    return dc ? save_state(handle, *dc) : 0;
}

BOOL WINAPI RestoreDC(HDC handle, int saved) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return FALSE;
    if (!restore_state(*dc, saved)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

int WINAPI GetDeviceCaps(HDC handle, int index) {
    if (get_dc(handle) == nullptr) return 0;
    SIZE screen = winapi::desktop::screen_size();
    switch (index) {
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case HORZSIZE:
        return millimetres(screen.cx);
    case VERTSIZE:
        return millimetres(screen.cy);
    case HORZRES:
    case DESKTOPHORZRES:
        return screen.cx;
    case VERTRES:
    case DESKTOPVERTRES:
        return screen.cy;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
    case NUMBRUSHES:
    case NUMPENS:
        return -1; // more than a palette can list
    case COLORRES:
        return 24;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return kDotsPerInch;
    case ASPECTX:
    case ASPECTY:
        return 36; // square pixels
    case ASPECTXY:
        return 51;
    case RASTERCAPS:
        return kRasterCaps;
    case VREFRESH:
        return 60;
    default:
        return 0;
    }
}

int WINAPI SetMapMode(HDC handle, int mode) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return 0;
    int previous = dc->state.mapping.mode();
    if (!dc->state.mapping.set_mode(mode)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return previous;
}

int WINAPI GetMapMode(HDC handle) {
    DeviceContext* dc = get_dc(handle);
    return dc ? dc->state.mapping.mode() : 0;
}

BOOL WINAPI SetWindowExtEx(HDC handle, int x, int y, LPSIZE previous) {
    return change_mapping(handle, [&](CoordinateMapping& mapping) {
        if (previous) *previous = mapping.window_extent();
        return mapping.set_window_extent(SIZE{x, y});
    });
}

BOOL WINAPI SetViewportExtEx(HDC handle, int x, int y, LPSIZE previous) {
    return change_mapping(handle, [&](CoordinateMapping& mapping) {
        if (previous) *previous = mapping.viewport_extent();
        return mapping.set_viewport_extent(SIZE{x, y});
    });
}

BOOL WINAPI SetWindowOrgEx(HDC handle, int x, int y, LPPOINT previous) {
    return change_mapping(handle, [&](CoordinateMapping& mapping) {
        if (previous) *previous = mapping.window_origin();
        mapping.set_window_origin(POINT{x, y});
        return true;
    });
}

BOOL WINAPI SetViewportOrgEx(HDC handle, int x, int y, LPPOINT previous) {
    return change_mapping(handle, [&](CoordinateMapping& mapping) {
        if (previous) *previous = mapping.viewport_origin();
        mapping.set_viewport_origin(POINT{x, y});
        return true;
    });
}

BOOL WINAPI GetWindowExtEx(HDC handle, LPSIZE extent) {
    return change_mapping(handle, [&](CoordinateMapping& mapping) {
        if (extent) *extent = mapping.window_extent();
        return extent != nullptr;
    });
}

BOOL WINAPI GetViewportExtEx(HDC handle, LPSIZE extent) {
    return change_mapping(handle, [&](CoordinateMapping& mapping) {
        if (extent) *extent = mapping.viewport_extent();
        return extent != nullptr;
    });
}

BOOL WINAPI DPtoLP(HDC handle, LPPOINT points, int count) {
    return convert_points(handle, points, count, false);
}

BOOL WINAPI LPtoDP(HDC handle, LPPOINT points, int count) {
    return convert_points(handle, points, count, true);
}

COLORREF WINAPI SetTextColor(HDC handle, COLORREF color) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return CLR_INVALID;
    COLORREF previous = dc->state.text_color;
    dc->state.text_color = color & 0x00ffffffu;
    return previous;
}

COLORREF WINAPI GetTextColor(HDC handle) {
    DeviceContext* dc = get_dc(handle);
    return dc ? dc->state.text_color : CLR_INVALID;
}

COLORREF WINAPI SetBkColor(HDC handle, COLORREF color) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return CLR_INVALID;
    COLORREF previous = dc->state.background_color;
    dc->state.background_color = color & 0x00ffffffu;
    return previous;
}

COLORREF WINAPI GetBkColor(HDC handle) {
    DeviceContext* dc = get_dc(handle);
    return dc ? dc->state.background_color : CLR_INVALID;
}

int WINAPI SetBkMode(HDC handle, int mode) {
    return replace_mode(handle, &DcState::background_mode, mode,
                        !(mode != TRANSPARENT && mode != OPAQUE));
}

int WINAPI GetBkMode(HDC handle) {
    DeviceContext* dc = get_dc(handle);
    return dc ? dc->state.background_mode : 0;
}

// Every stretching mode is accepted; transfers sample the nearest source pixel in all of them.
int WINAPI SetStretchBltMode(HDC handle, int mode) {
    return replace_mode(handle, &DcState::stretch_mode, mode,
                        !(mode < BLACKONWHITE || mode > HALFTONE));
}

int WINAPI GetStretchBltMode(HDC handle) {
    DeviceContext* dc = get_dc(handle);
    return dc ? dc->state.stretch_mode : 0;
}

int WINAPI SetPolyFillMode(HDC handle, int mode) {
    return replace_mode(handle, &DcState::fill_mode, mode, !(mode != ALTERNATE && mode != WINDING));
}

int WINAPI GetPolyFillMode(HDC handle) {
    DeviceContext* dc = get_dc(handle);
    return dc ? dc->state.fill_mode : 0;
}

// Brushes are solid colours, so the origin changes nothing drawn; it is kept for callers
// that read it back.
BOOL WINAPI SetBrushOrgEx(HDC handle, int x, int y, LPPOINT previous) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return FALSE;
    if (previous) *previous = dc->state.brush_origin;
    dc->state.brush_origin = POINT{x, y};
    return TRUE;
}
