// Where the controller's parts sit in its bounds: the movie in the area above the bar, the
// bar along the bottom (play button, time slider, volume), the badge at the movie's corner.
#include "controller/controller.h"

#include <algorithm>

namespace lanternix::media {

namespace {
constexpr int play_button_width = 22;
constexpr int volume_width = 40;
constexpr int part_gap = 4;
constexpr int badge_width = 18;
constexpr int badge_height = 12;
} // namespace

RECT Controller::movie_area() const {
    RECT area = m_bounds;
    if (m_bar_visible) area.bottom = std::max(area.top, area.bottom - EngineControllerBarHeight);
    return area;
}

RECT Controller::movie_rect() const {
    RECT area = movie_area();
    Movie* current = movie();
    if (!current) return RECT{};
    RECT box = current->box();
    int width = box.right - box.left;
    int height = box.bottom - box.top;
    int left, top;
    if (m_movie_placed) {
        left = m_movie_left;
        top = m_movie_top;
    } else if (m_flags & (EngineControllerTopLeft | EngineControllerStretch)) {
        left = area.left;
        top = area.top;
    } else {
        left = area.left + ((area.right - area.left) - width) / 2;
        top = area.top + ((area.bottom - area.top) - height) / 2;
    }
    return RECT{left, top, left + width, top + height};
}

RECT Controller::bar_rect() const {
    return RECT{m_bounds.left, std::max(m_bounds.top, m_bounds.bottom - EngineControllerBarHeight),
                m_bounds.right, m_bounds.bottom};
}

RECT Controller::play_button_rect() const {
    RECT bar = bar_rect();
    return RECT{bar.left, bar.top, std::min(bar.right, bar.left + play_button_width), bar.bottom};
}

RECT Controller::volume_rect() const {
    RECT bar = bar_rect();
    LONG left = std::max(play_button_rect().right, bar.right - volume_width);
    return RECT{left, bar.top, bar.right, bar.bottom};
}

RECT Controller::slider_rect() const {
    RECT bar = bar_rect();
    LONG left = play_button_rect().right + part_gap;
    LONG right = std::max(left, volume_rect().left - part_gap);
    return RECT{left, bar.top + 5, right, bar.bottom - 5};
}

RECT Controller::badge_rect() const {
    RECT frame = movie_rect();
    RECT area = movie_area();
    LONG left = std::max(frame.left, area.left) + 2;
    LONG bottom = std::min(frame.bottom, area.bottom) - 2;
    return RECT{left, bottom - badge_height, left + badge_width, bottom};
}

uint64_t Controller::slider_time_at(int x) const {
    Movie* current = movie();
    RECT slider = slider_rect();
    int width = slider.right - slider.left;
    if (!current || width <= 0) return 0;
    int offset = std::clamp(x - static_cast<int>(slider.left), 0, width);
    return uint64_t(current->duration()) * offset / width;
}

} // namespace lanternix::media
