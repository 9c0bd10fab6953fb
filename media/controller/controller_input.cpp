// The user's mouse and keys. Everything the user asks for becomes an action and passes the
// action filter like an action from the caller, so the caller can refuse a play or a jump
// into data that has not arrived.
#include "controller/controller.h"

#include <algorithm>

namespace lanternix::media {

namespace {

bool inside(const RECT& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

} // namespace

void Controller::user_play_toggle() {
    Movie* current = movie();
    if (!current) return;
    LONG rate = current->current_rate() != 0 ? 0 : 0x10000;
    action(EngineActionPlay, EngineActionValue(rate));
}

void Controller::user_go_to(uint64_t time) {
    Movie* current = movie();
    if (!current) return;
    EngineTimeRecord record{static_cast<ULONG>(time), static_cast<ULONG>(time >> 32),
                            static_cast<LONG>(current->time_scale()), m_movie};
    action(EngineActionGoToTime, &record);
}

void Controller::user_step(int direction) {
    Movie* current = movie();
    if (!current) return;
    if (current->current_rate() != 0) action(EngineActionPlay, EngineActionValue(0));
    // A step is a tenth of a second: the frame rate of the movie is not a property of it.
    int64_t step = std::max<int64_t>(current->time_scale() / 10, 1);
    int64_t target = std::clamp<int64_t>(int64_t(current->current_time()) + direction * step, 0,
                                         current->duration());
    user_go_to(static_cast<uint64_t>(target));
}

void Controller::user_volume_at(int x) {
    RECT volume = volume_rect();
    int left = volume.left + 4;
    int width = std::max<int>(volume.right - 4 - left, 1);
    LONG level = std::clamp(x - left, 0, width) * 0x100 / width;
    action(EngineActionSetVolume, EngineActionValue(level));
}

bool Controller::mouse_down(int x, int y) {
    if (!m_bar_visible) {
        if (!(m_flags & EngineControllerBadge) || !inside(badge_rect(), x, y)) return false;
        // The badge gives way to the bar.
        m_bar_visible = true;
        movie_box_changed();
        InvalidateRect(m_window, nullptr, TRUE);
        return true;
    }
    if (!inside(bar_rect(), x, y)) return false;
    if (inside(play_button_rect(), x, y)) {
        user_play_toggle();
    } else if (inside(volume_rect(), x, y)) {
        user_volume_at(x);
    } else {
        RECT slider = slider_rect();
        if (x < slider.left - 2 || x > slider.right + 2) return true;
        m_dragging = true;
        SetCapture(m_window);
        user_go_to(slider_time_at(x));
    }
    return true;
}

bool Controller::mouse_move(int x, int, bool pressed) {
    if (!m_dragging) return false;
    if (!pressed) {
        m_dragging = false;
        ReleaseCapture();
        return true;
    }
    user_go_to(slider_time_at(x));
    return true;
}

bool Controller::key_down(UINT key) {
    switch (key) {
    case VK_SPACE:
        user_play_toggle();
        return true;
    case VK_LEFT:
        user_step(-1);
        return true;
    case VK_RIGHT:
        user_step(1);
        return true;
    default:
        return false;
    }
}

} // namespace lanternix::media
