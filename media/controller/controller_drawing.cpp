// Drawing the controller through GDI: the movie's frame at its rectangle, the bar and the
// badge.
#include "controller/controller.h"

#include <algorithm>

namespace lanternix::media {

namespace {

const COLORREF bar_face = RGB(200, 200, 200);
const COLORREF bar_edge = RGB(96, 96, 96);
const COLORREF track_colour = RGB(255, 255, 255);
const COLORREF loaded_colour = RGB(150, 150, 190);
const COLORREF active_mark = RGB(20, 20, 20);
const COLORREF inactive_mark = RGB(128, 128, 128);

void fill(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void frame_rect(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
}

void polygon(HDC dc, const POINT* points, int count, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old_brush = SelectObject(dc, brush);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    Polygon(dc, points, count);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
    DeleteObject(brush);
    DeleteObject(pen);
}

// The x coordinate of a time on the slider.
LONG slider_x(const RECT& slider, uint64_t time, uint64_t duration) {
    if (duration == 0) return slider.left;
    uint64_t width = static_cast<uint64_t>(std::max<LONG>(slider.right - slider.left, 0));
    return slider.left + static_cast<LONG>(std::min(time, duration) * width / duration);
}

} // namespace

void Controller::draw_frame(HDC dc, bool decode) {
    Movie* current = movie();
    RECT rect = movie_rect();
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (!current || width <= 0 || height <= 0) return;
    if (decode) {
        // A frame already converted at this size is drawn again as it is.
        uint32_t time = current->current_time();
        int64_t start = current->frame_start_at(time);
        if (!m_frame_valid || start != m_frame_start || m_frame.width != width ||
            m_frame.height != height) {
            m_frame_valid = current->render_frame(time, width, height, m_frame);
            m_frame_start = start;
        }
    }
    if (!m_frame_valid || m_frame.width != width || m_frame.height != height) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // rows top first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // The bar is drawn over the movie's bottom when the movie reaches into it, so only the
    // movie's top rows are copied. The frame is top-down, and the source rectangle of a
    // top-down DIB counts its rows from the top: those rows start at row 0.
    RECT area = movie_area();
    int visible = std::clamp<int>(area.bottom - rect.top, 0, height);
    StretchDIBits(dc, rect.left, rect.top, width, visible, 0, 0, width, visible,
                  m_frame.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void Controller::draw_bar(HDC dc) {
    Movie* current = movie();
    RECT bar = bar_rect();
    fill(dc, bar, bar_face);
    RECT top_line{bar.left, bar.top, bar.right, bar.top + 1};
    fill(dc, top_line, bar_edge);
    COLORREF mark = m_active ? active_mark : inactive_mark;

    RECT button = play_button_rect();
    LONG cx = (button.left + button.right) / 2;
    LONG cy = (button.top + button.bottom) / 2 + 1;
    bool playing = current && current->current_rate() != 0;
    m_bar_playing = playing;
    if (playing) {
        fill(dc, RECT{cx - 5, cy - 5, cx - 2, cy + 5}, mark);
        fill(dc, RECT{cx + 1, cy - 5, cx + 4, cy + 5}, mark);
    } else {
        POINT triangle[3] = {{cx - 4, cy - 5}, {cx + 5, cy}, {cx - 4, cy + 5}};
        polygon(dc, triangle, 3, mark);
    }

    RECT slider = slider_rect();
    uint64_t duration = current ? current->duration() : 0;
    fill(dc, slider, track_colour);
    // The selection: while the movie downloads, the part that has arrived.
    if (m_selection_length > 0) {
        RECT loaded = slider;
        loaded.left = slider_x(slider, m_selection_start, duration);
        loaded.right = slider_x(slider, m_selection_start + m_selection_length, duration);
        fill(dc, loaded, loaded_colour);
    }
    frame_rect(dc, slider, bar_edge);
    LONG x = slider_x(slider, current ? current->current_time() : 0, duration);
    m_bar_thumb = x;
    fill(dc, RECT{x - 2, bar.top + 3, x + 2, bar.bottom - 2}, mark);

    RECT volume = volume_rect();
    RECT level{volume.left + 4, volume.top + 7, volume.right - 4, volume.bottom - 6};
    fill(dc, level, track_colour);
    LONG width = std::max<LONG>(level.right - level.left, 0);
    LONG filled = static_cast<LONG>(std::clamp<int>(m_volume, 0, 0x100) * width / 0x100);
    fill(dc, RECT{level.left, level.top, level.left + filled, level.bottom}, mark);
    frame_rect(dc, level, bar_edge);
}

bool Controller::bar_needs_drawing(uint32_t time) const {
    Movie* current = movie();
    if (!current) return false;
    bool playing = current->current_rate() != 0;
    return playing != m_bar_playing ||
           slider_x(slider_rect(), time, current->duration()) != m_bar_thumb;
}

void Controller::draw_badge(HDC dc) {
    RECT badge = badge_rect();
    fill(dc, badge, bar_face);
    frame_rect(dc, badge, bar_edge);
    LONG cx = (badge.left + badge.right) / 2;
    LONG cy = (badge.top + badge.bottom) / 2;
    POINT triangle[3] = {{cx - 3, cy - 3}, {cx + 4, cy}, {cx - 3, cy + 3}};
    polygon(dc, triangle, 3, active_mark);
}

void Controller::redraw_bar() {
    if (!m_bar_visible || !m_window || !IsWindow(m_window)) return;
    HDC dc = GetDC(m_window);
    if (!dc) return;
    draw_bar(dc);
    ReleaseDC(m_window, dc);
}

} // namespace lanternix::media
