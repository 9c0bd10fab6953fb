#include "gdi/coordinate_mapping.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace winapi::gdi {

namespace {

// The device resolution every fixed mapping mode is computed from.
constexpr LONG kDotsPerInch = 96;

// value * numerator / denominator, rounded half away from zero and kept within LONG. The
// product of a 33-bit difference and a 32-bit extent needs more than 64 bits.
LONG scale(int64_t value, int64_t numerator, int64_t denominator) {
    __int128 product = static_cast<__int128>(value) * numerator;
    if (denominator < 0) {
        product = -product;
        denominator = -denominator;
    }
    __int128 half = denominator / 2;
    __int128 result =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    if (result < INT32_MIN) return INT32_MIN;
    if (result > INT32_MAX) return INT32_MAX;
    return static_cast<LONG>(result);
}

// A point coordinate: a scaled difference plus an origin, kept within LONG.
LONG offset(LONG scaled, LONG origin) {
    return static_cast<LONG>(std::clamp<int64_t>(int64_t(scaled) + origin, INT32_MIN, INT32_MAX));
}

// Logical units per inch of the fixed modes; 0 for modes whose extents the caller sets.
LONG units_per_inch(int mode) {
    switch (mode) {
    case MM_LOMETRIC:
        return 254; // tenths of a millimetre
    case MM_HIMETRIC:
        return 2540; // hundredths of a millimetre
    case MM_LOENGLISH:
        return 100; // hundredths of an inch
    case MM_HIENGLISH:
        return 1000; // thousandths of an inch
    case MM_TWIPS:
        return 1440; // twentieths of a point
    default:
        return 0;
    }
}

} // namespace

bool CoordinateMapping::set_mode(int mode) {
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC) return false;
    m_mode = mode;
    if (mode == MM_TEXT) {
        m_window_extent = {1, 1};
        m_viewport_extent = {1, 1};
    } else if (LONG units = units_per_inch(mode)) {
        m_window_extent = {units, units};
        m_viewport_extent = {kDotsPerInch, -kDotsPerInch};
    } else if (mode == MM_ISOTROPIC) {
        make_isotropic();
    }
    return true;
}

bool CoordinateMapping::set_window_extent(SIZE extent) {
    return set_extent(m_window_extent, extent);
}

bool CoordinateMapping::set_viewport_extent(SIZE extent) {
    return set_extent(m_viewport_extent, extent);
}

// Extents change only in the two scalable modes (elsewhere the call succeeds and changes
// nothing); a zero extent is refused.
bool CoordinateMapping::set_extent(SIZE& target, SIZE extent) {
    if (m_mode != MM_ISOTROPIC && m_mode != MM_ANISOTROPIC) return true;
    if (extent.cx == 0 || extent.cy == 0) return false;
    target = extent;
    if (m_mode == MM_ISOTROPIC) make_isotropic();
    return true;
}

void CoordinateMapping::make_isotropic() {
    int64_t wx = std::llabs(m_window_extent.cx), wy = std::llabs(m_window_extent.cy);
    int64_t vx = std::llabs(m_viewport_extent.cx), vy = std::llabs(m_viewport_extent.cy);
    // Keep the smaller of the two scales on both axes; the signs (axis directions) stay.
    if (vx * wy < vy * wx) {
        LONG y = scale(vx, wy, wx);
        m_viewport_extent.cy = m_viewport_extent.cy < 0 ? -y : y;
    } else if (vx * wy > vy * wx) {
        LONG x = scale(vy, wx, wy);
        m_viewport_extent.cx = m_viewport_extent.cx < 0 ? -x : x;
    }
}

POINT CoordinateMapping::to_device(POINT p) const {
    return {
        offset(scale(int64_t(p.x) - m_window_origin.x, m_viewport_extent.cx, m_window_extent.cx),
               m_viewport_origin.x),
        offset(scale(int64_t(p.y) - m_window_origin.y, m_viewport_extent.cy, m_window_extent.cy),
               m_viewport_origin.y)};
}

POINT CoordinateMapping::to_logical(POINT p) const {
    return {
        offset(scale(int64_t(p.x) - m_viewport_origin.x, m_window_extent.cx, m_viewport_extent.cx),
               m_window_origin.x),
        offset(scale(int64_t(p.y) - m_viewport_origin.y, m_window_extent.cy, m_viewport_extent.cy),
               m_window_origin.y)};
}

LONG CoordinateMapping::width_to_device(LONG logical) const {
    return scale(logical, m_viewport_extent.cx, m_window_extent.cx);
}

LONG CoordinateMapping::height_to_device(LONG logical) const {
    return scale(logical, m_viewport_extent.cy, m_window_extent.cy);
}

LONG CoordinateMapping::width_to_logical(LONG device) const {
    return scale(device, m_window_extent.cx, m_viewport_extent.cx);
}

LONG CoordinateMapping::height_to_logical(LONG device) const {
    return scale(device, m_window_extent.cy, m_viewport_extent.cy);
}

} // namespace winapi::gdi
