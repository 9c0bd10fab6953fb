// The mapping of a device context from logical to device coordinates: window origin and
// extent, viewport origin and extent, and the mapping mode that fixes the extents. The
// metric and English modes use the device's 96 dots per inch exactly, with y growing upwards.
#pragma once

#include <wingdi.h>

namespace winapi::gdi {

class CoordinateMapping {
  public:
    int mode() const { return m_mode; }
    POINT window_origin() const { return m_window_origin; }
    POINT viewport_origin() const { return m_viewport_origin; }
    SIZE window_extent() const { return m_window_extent; }
    SIZE viewport_extent() const { return m_viewport_extent; }

    // Sets the mapping mode and the extents it implies; false for an unknown mode. The
    // isotropic and anisotropic modes keep the current extents until the caller sets them.
    bool set_mode(int mode);

    // Extents may only change in the isotropic and anisotropic modes; elsewhere the call is
    // accepted and ignored, as documented. Zero extents are refused. In the isotropic mode
    // the viewport extent is then shrunk on one axis so that units are square.
    bool set_window_extent(SIZE extent);
    bool set_viewport_extent(SIZE extent);
    void set_window_origin(POINT origin) { m_window_origin = origin; }
    void set_viewport_origin(POINT origin) { m_viewport_origin = origin; }

    // Converts one point; results are rounded to the nearest device or logical unit.
    POINT to_device(POINT logical) const;
    POINT to_logical(POINT device) const;

    // Converts a length along one axis, keeping its sign (a flipped axis negates it).
    LONG width_to_device(LONG logical) const;
    LONG height_to_device(LONG logical) const;
    LONG width_to_logical(LONG device) const;
    LONG height_to_logical(LONG device) const;

  private:
    bool set_extent(SIZE& target, SIZE extent);
    void make_isotropic();

    int m_mode = MM_TEXT;
    POINT m_window_origin{0, 0};
    POINT m_viewport_origin{0, 0};
    SIZE m_window_extent{1, 1};
    SIZE m_viewport_extent{1, 1};
};

} // namespace winapi::gdi
