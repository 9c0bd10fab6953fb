// A movie's time: where it stands and how fast it moves, read from the desktop clock.
//
// The time is kept as an anchor (a movie time at a tick count) and a rate, so it can be
// computed exactly at any tick without being stepped. Reaching an end stops the movie, wraps
// it to the other end (looping), or turns it round (back and forth).
#pragma once

#include <cstdint>

namespace lanternix::media {

class MovieClock {
  public:
    MovieClock(uint64_t duration, uint32_t time_scale)
        : m_duration(duration), m_time_scale(time_scale) {}

    // The time at tick `now` (milliseconds). Applies the ends, so it may change the rate
    // (to 0 at an end, or to its opposite when turning round).
    uint64_t time(uint32_t now);
    int32_t rate(uint32_t now);

    void set_time(uint64_t time, uint32_t now);
    void set_rate(int32_t rate, uint32_t now);

    // A frozen clock keeps its time and rate but does not move (an inactive movie).
    void set_frozen(bool frozen, uint32_t now);

    void set_looping(bool looping) { m_looping = looping; }
    void set_palindrome(bool palindrome) { m_palindrome = palindrome; }
    bool looping() const { return m_looping; }
    bool palindrome() const { return m_palindrome; }
    uint64_t duration() const { return m_duration; }

  private:
    void advance(uint32_t now);
    void apply_ends();

    uint64_t m_duration;
    uint32_t m_time_scale;
    int64_t m_time = 0; // movie units at m_tick; may lie outside the movie until apply_ends
    uint32_t m_tick = 0;
    int64_t m_remainder = 0; // fraction of a unit carried between advances, in units/65536000
    int32_t m_rate = 0;
    bool m_frozen = false;
    bool m_looping = false;
    bool m_palindrome = false;
};

} // namespace lanternix::media
