#include "controller/controller.h"

#include "common/engine_error.h"
#include "common/engine_state.h"

extern "C" {
#include <libavutil/mathematics.h>
}
#include <windowsx.h>

#include <climits>
#include <cmath>
#include <optional>

namespace lanternix::media {

namespace {

// Timer ids on the movie's window: one per controller, away from small ids that windows
// commonly use for timers of their own.
constexpr UINT_PTR timer_base = 0x4c580000;
// Playback ticks: often enough for 50 frames a second; while a movie plays, the tick after a
// frame is set for the moment the next frame is due, within these bounds.
constexpr UINT timer_interval_ms = 20;
constexpr UINT timer_shortest_ms = USER_TIMER_MINIMUM;

} // namespace

Controller* find_controller(uint32_t controller) {
    return engine_state().controllers.find(controller);
}

Controller::Controller(uint32_t id, uint32_t movie, const RECT& bounds, ULONG flags, HWND window)
    : m_id(id), m_movie(movie), m_window(window), m_bounds(bounds), m_flags(flags),
      m_bar_visible((flags & EngineControllerHidden) == 0) {}

uint32_t Controller::create(uint32_t movie, const RECT& bounds, ULONG flags, HWND window) {
    auto controller = std::unique_ptr<Controller>(new Controller(0, movie, bounds, flags, window));
    Controller* raw = controller.get();
    uint32_t handle = engine_state().controllers.add(std::move(controller));
    raw->m_id = handle;
    raw->movie_box_changed();
    raw->apply_play_mode();
    raw->start_timer();
    return handle;
}

Controller::~Controller() {
    detach_movie();
    stop_timer();
}

Movie* Controller::movie() const {
    return m_movie ? engine_state().movies.find(m_movie) : nullptr;
}

void Controller::start_timer() {
    stop_timer();
    m_timer_short = false;
    if (m_window && IsWindow(m_window))
        m_timer = SetTimer(m_window, timer_base + (m_id & 0xffff), timer_interval_ms, nullptr);
}

void Controller::stop_timer() {
    if (m_timer && m_window && IsWindow(m_window)) KillTimer(m_window, m_timer);
    m_timer = 0;
}

void Controller::detach_movie() {
    if (Movie* current = movie(); current && m_sound_started)
        if (AudioPlayer* audio = current->audio()) audio->stop();
    m_sound_started = false;
    m_movie = 0;
    m_frame_valid = false;
}

void Controller::set_movie(uint32_t movie, HWND window, LONG left, LONG top) {
    m_movie = engine_state().movies.find(movie) ? movie : 0;
    m_movie_left = left;
    m_movie_top = top;
    m_movie_placed = true;
    m_frame_valid = false;
    if (window != m_window) {
        stop_timer();
        m_window = window;
        start_timer();
    }
    apply_play_mode();
}

void Controller::movie_changed(uint32_t movie) {
    if (movie != m_movie) return;
    m_frame_valid = false;
    movie_box_changed();
    apply_play_mode();
}

void Controller::movie_box_changed() {
    // The controller places the movie (fitted to its area, at its top left, or centred), and
    // the movie's box moves to where it is drawn: whoever reads the box back, to put a new
    // movie in the old one's place, finds the place the picture really has.
    if (Movie* current = movie())
        current->set_box((m_flags & EngineControllerStretch) ? movie_area() : movie_rect());
    m_frame_valid = false;
}

void Controller::apply_play_mode() {
    if (Movie* current = movie()) {
        current->clock().set_looping(m_looping);
        current->clock().set_palindrome(m_palindrome);
    }
}

void Controller::set_filter(EngineActionFilterProc filter, void* instance) {
    m_filter = filter;
    m_filter_instance = instance;
}

EngineResult Controller::action(ULONG code, void* parameter) {
    if (m_filter && m_filter(m_id, code, parameter, m_filter_instance) != 0) return EngineOk;
    return carry_out(code, parameter);
}

uint64_t Controller::record_time(const EngineTimeRecord& record) const {
    uint64_t value = uint64_t(record.ValueHigh) << 32 | record.ValueLow;
    Movie* current = movie();
    // A record in another scale is converted to the movie's.
    if (current && record.Scale > 0 && static_cast<ULONG>(record.Scale) != current->time_scale() &&
        value <= static_cast<uint64_t>(INT64_MAX))
        value = av_rescale(static_cast<int64_t>(value), current->time_scale(), record.Scale);
    return value;
}

EngineResult Controller::set_time_action(const EngineTimeRecord* record) {
    Movie* current = movie();
    if (!record) return EngineErrorBadParameter;
    if (!current) return EngineErrorBadHandle;
    current->set_time(static_cast<uint32_t>(std::min<uint64_t>(record_time(*record), UINT32_MAX)));
    idle();
    return EngineOk;
}

EngineResult Controller::carry_out(ULONG code, void* parameter) {
    Movie* current = movie();
    auto* record = static_cast<EngineTimeRecord*>(parameter);
    auto* number = static_cast<ULONG*>(parameter);
    switch (code) {
    case EngineActionPlay:
        if (!current) return EngineErrorBadHandle;
        current->set_rate(EngineActionNumber(parameter));
        redraw_bar();
        return EngineOk;
    case EngineActionGoToTime:
        return set_time_action(record);
    case EngineActionSetVolume:
        m_volume = static_cast<SHORT>(EngineActionNumber(parameter));
        redraw_bar();
        return EngineOk;
    case EngineActionGetVolume:
        if (!parameter) return EngineErrorBadParameter;
        *static_cast<SHORT*>(parameter) = m_volume;
        return EngineOk;
    case EngineActionSetLooping:
    case EngineActionSetPalindrome:
        if (!number) return EngineErrorBadParameter;
        (code == EngineActionSetLooping ? m_looping : m_palindrome) = *number != 0;
        apply_play_mode();
        return EngineOk;
    case EngineActionSetResizeBounds:
        if (!parameter) return EngineErrorBadParameter;
        m_resize_bounds = *static_cast<RECT*>(parameter);
        return EngineOk;
    case EngineActionSetSelectionStart:
    case EngineActionSetSelectionLength:
        if (!record) return EngineErrorBadParameter;
        (code == EngineActionSetSelectionStart ? m_selection_start : m_selection_length) =
            record_time(*record);
        redraw_bar();
        return EngineOk;
    case EngineActionEnableKeys:
        m_keys_enabled = EngineActionNumber(parameter) != 0;
        return EngineOk;
    case EngineActionGetRate:
        if (!number) return EngineErrorBadParameter;
        *number = current ? static_cast<ULONG>(current->current_rate()) : 0;
        return EngineOk;
    case EngineActionGetSelectionStart:
        if (!record) return EngineErrorBadParameter;
        *record = EngineTimeRecord{static_cast<ULONG>(m_selection_start),
                                   static_cast<ULONG>(m_selection_start >> 32),
                                   current ? static_cast<LONG>(current->time_scale()) : 0, m_movie};
        return EngineOk;
    default:
        return EngineErrorBadParameter;
    }
}

void Controller::activate(HWND window, bool active) {
    if (window && window != m_window) return;
    m_active = active;
    redraw_bar();
}

AudioPlayer* Controller::play_sound(Movie& current, uint32_t time) {
    // Sound plays only at normal speed forward; a paused, inactive or fast movie is silent.
    bool audible = current.active() && current.current_rate() == 0x10000;
    AudioPlayer* audio = audible || m_sound_started ? current.audio() : nullptr;
    if (!audio) return nullptr;
    if (!audible) {
        audio->stop();
        return nullptr;
    }
    audio->play(double(time) / current.time_scale(), m_volume);
    m_sound_started = true;
    return audio;
}

uint32_t Controller::follow_sound(Movie& current, AudioPlayer& audio, uint32_t time) {
    // The desktop clock and the sound device drift apart, and the device starts late by its
    // own latency: while sound plays, the picture keeps to what has been heard. Differences
    // smaller than a frame's worth of jitter are left alone, and a large one is a jump the
    // sound has yet to follow.
    constexpr double follow_from = 0.010, jump_from = 1.0;
    std::optional<double> heard = audio.played_time();
    if (!heard) return time;
    double difference = *heard - double(time) / current.time_scale();
    if (std::abs(difference) <= follow_from || std::abs(difference) >= jump_from) return time;
    double units = std::round(*heard * current.time_scale());
    if (units < 0 || units >= current.duration()) return time;
    current.set_time(static_cast<uint32_t>(units));
    return current.current_time();
}

void Controller::idle() {
    Movie* current = movie();
    if (!current || !m_window) return;
    uint32_t time = current->current_time();
    if (AudioPlayer* audio = play_sound(*current, time))
        time = follow_sound(*current, *audio, time);
    // Nothing is decoded for an inactive movie: its samples may not have arrived yet. A
    // frame is drawn only when the clock has reached another one.
    bool new_frame = current->active() && current->has_video() &&
                     (!m_frame_valid || current->frame_start_at(time) != m_frame_start);
    bool bar_changed = m_bar_visible && bar_needs_drawing(time);
    if (new_frame || bar_changed) {
        HDC dc = GetDC(m_window);
        if (!dc) return;
        if (new_frame) draw_frame(dc, true);
        if (bar_changed) draw_bar(dc);
        ReleaseDC(m_window, dc);
    }
    if (current->active()) time_next_tick(*current);
}

void Controller::time_next_tick(Movie& current) {
    // A frame is shown as soon as it is due rather than up to a tick late: the tick before it
    // is shortened to end then, and the regular period comes back after.
    if (!m_timer) return;
    std::optional<uint32_t> next = current.ms_to_next_frame();
    UINT interval = next && *next < timer_interval_ms ? std::max<UINT>(*next, timer_shortest_ms)
                                                      : timer_interval_ms;
    if (interval == timer_interval_ms && !m_timer_short) return;
    SetTimer(m_window, m_timer, interval, nullptr);
    m_timer_short = interval != timer_interval_ms;
}

void Controller::draw(HWND window) {
    if (window && window != m_window) return;
    HDC dc = GetDC(m_window);
    if (!dc) return;
    Movie* current = movie();
    draw_frame(dc, current && current->active());
    if (m_bar_visible)
        draw_bar(dc);
    else if (m_flags & EngineControllerBadge)
        draw_badge(dc);
    ReleaseDC(m_window, dc);
}

bool Controller::event(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (window != m_window) return false;
    switch (message) {
    case WM_TIMER:
        if (wparam != m_timer) return false;
        idle();
        return true;
    case WM_PAINT:
        draw(window);
        return false; // painting is shared with the window's owner
    case WM_LBUTTONDOWN:
        return mouse_down(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
    case WM_MOUSEMOVE:
        return mouse_move(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam), (wparam & MK_LBUTTON) != 0);
    case WM_LBUTTONUP:
        if (!m_dragging) return false;
        m_dragging = false;
        ReleaseCapture();
        return true;
    case WM_KEYDOWN:
        return m_keys_enabled && key_down(static_cast<UINT>(wparam));
    default:
        return false;
    }
}

} // namespace lanternix::media
