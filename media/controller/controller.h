// A movie controller: shows a movie in a window, with a bar to play it, and carries out the
// actions its caller and its user ask for, each after the installed action filter agrees.
#pragma once

#include "movie/movie.h"

#include <engine_abi.h>
#include <windows.h>

#include <cstdint>

namespace lanternix::media {

// The creation flags are EngineControllerFlag bits. What the plug-in sends for a movie scaled
// to fit must stretch it, whatever other bits ride along.
static_assert((EngineControllerScaleToFit & EngineControllerStretch) != 0,
              "the plug-in's scale-to-fit value carries the stretch bit the controller reads");

class Controller {
  public:
    // Makes a controller over `movie` in `window` and returns its handle.
    static uint32_t create(uint32_t movie, const RECT& bounds, ULONG flags, HWND window);
    ~Controller();
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    uint32_t movie_handle() const { return m_movie; }
    void detach_movie();
    void set_movie(uint32_t movie, HWND window, LONG left, LONG top);
    void movie_changed(uint32_t movie);
    void movie_box_changed();

    // An action from the caller (or the user): the filter first, then the action. 0 when
    // carried out or suppressed by the filter.
    EngineResult action(ULONG code, void* parameter);
    void set_filter(EngineActionFilterProc filter, void* instance);

    void activate(HWND window, bool active);
    void draw(HWND window);
    void idle();
    bool event(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    RECT bounds() const { return m_bounds; }

  private:
    Controller(uint32_t id, uint32_t movie, const RECT& bounds, ULONG flags, HWND window);
    Movie* movie() const;
    EngineResult carry_out(ULONG code, void* parameter);
    EngineResult set_time_action(const EngineTimeRecord* record);
    uint64_t record_time(const EngineTimeRecord& record) const;
    void apply_play_mode();
    // Keeps the sound going for the movie at `time`; the player when it is audible.
    AudioPlayer* play_sound(Movie& current, uint32_t time);
    // Moves the movie's time to what the sound device has played, and returns the time.
    uint32_t follow_sound(Movie& current, AudioPlayer& audio, uint32_t time);
    void start_timer();
    // Brings the next tick forward to when the movie's next frame is due.
    void time_next_tick(Movie& current);
    void stop_timer();

    // Layout (controller_layout.cpp).
    RECT movie_area() const;
    RECT movie_rect() const;
    RECT bar_rect() const;
    RECT play_button_rect() const;
    RECT slider_rect() const;
    RECT volume_rect() const;
    RECT badge_rect() const;

    // Drawing (controller_drawing.cpp).
    void draw_frame(HDC dc, bool decode);
    void draw_bar(HDC dc);
    void draw_badge(HDC dc);
    void redraw_bar();
    // Whether the bar would look different at `time` (the thumb moved, play state changed).
    bool bar_needs_drawing(uint32_t time) const;

    // Input (controller_input.cpp).
    bool mouse_down(int x, int y);
    bool mouse_move(int x, int y, bool pressed);
    bool key_down(UINT key);
    void user_play_toggle();
    void user_go_to(uint64_t time);
    void user_step(int direction);
    void user_volume_at(int x);
    uint64_t slider_time_at(int x) const;

    uint32_t m_id;
    uint32_t m_movie;
    HWND m_window;
    RECT m_bounds;
    ULONG m_flags;
    bool m_bar_visible;
    LONG m_movie_left = 0, m_movie_top = 0;
    bool m_movie_placed = false; // placed by ControllerSetMovie rather than by the flags
    EngineActionFilterProc m_filter = nullptr;
    void* m_filter_instance = nullptr;
    SHORT m_volume = 0x100;
    bool m_keys_enabled = false;
    bool m_looping = false;
    bool m_palindrome = false;
    bool m_active = true;
    bool m_dragging = false;
    RECT m_resize_bounds{};
    uint64_t m_selection_start = 0;
    uint64_t m_selection_length = 0;
    UINT_PTR m_timer = 0;
    bool m_timer_short = false; // the tick runs shortened, to a frame's due time
    bool m_sound_started = false;
    Picture m_frame;
    bool m_frame_valid = false;
    int64_t m_frame_start = 0; // the start of the decoded frame m_frame shows

    LONG m_bar_thumb = -1; // where the bar last showed the time, and whether playing
    bool m_bar_playing = false;
};

// The controller a handle names, or null.
Controller* find_controller(uint32_t controller);

} // namespace lanternix::media
