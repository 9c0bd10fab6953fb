#include "movie/movie_clock.h"

#include <algorithm>

namespace lanternix::media {

namespace {
// Units elapsed are ms * rate * scale / (1000 * 0x10000).
constexpr int64_t divisor = 1000 * 0x10000;
} // namespace

void MovieClock::advance(uint32_t now) {
    uint32_t elapsed = now - m_tick;
    m_tick = now;
    if (m_frozen || m_rate == 0 || elapsed == 0) return;
    // (elapsed * rate * scale + remainder) / divisor, exactly, in 64 bits: elapsed * rate
    // fits, and is split into whole divisors and a part below one, which times the scale
    // fits too. The quotient truncates toward zero and the remainder keeps the sign of the
    // whole, whatever the sign of the remainder carried in.
    int64_t product = int64_t{elapsed} * m_rate;
    int64_t whole = product / divisor;
    int64_t part = (product % divisor) * m_time_scale + m_remainder;
    int64_t units = whole * m_time_scale + part / divisor;
    int64_t remainder = part % divisor;
    if (units > 0 && remainder < 0) {
        --units;
        remainder += divisor;
    } else if (units < 0 && remainder > 0) {
        ++units;
        remainder -= divisor;
    }
    m_remainder = remainder;
    m_time += units;
    apply_ends();
}

void MovieClock::apply_ends() {
    const int64_t end = static_cast<int64_t>(m_duration);
    if (m_time >= 0 && m_time < end) return;
    if (m_time == end && m_rate <= 0) return;
    if (end == 0 || !m_looping) {
        m_time = std::clamp<int64_t>(m_time, 0, end);
        m_rate = 0;
        m_remainder = 0;
        return;
    }
    if (!m_palindrome) {
        m_time %= end;
        if (m_time < 0) m_time += end;
        return;
    }
    // Back and forth: fold the unrolled time onto one round trip of twice the length. The
    // first half runs in the direction the clock was going, the second half mirrored.
    int64_t trip = m_time % (2 * end);
    if (trip < 0) trip += 2 * end;
    bool mirrored = trip >= end;
    m_time = mirrored ? 2 * end - trip : trip;
    if (mirrored) {
        m_rate = -m_rate;
        m_remainder = -m_remainder;
    }
}

uint64_t MovieClock::time(uint32_t now) {
    advance(now);
    return static_cast<uint64_t>(std::clamp<int64_t>(m_time, 0, m_duration));
}

int32_t MovieClock::rate(uint32_t now) {
    advance(now);
    return m_rate;
}

void MovieClock::set_time(uint64_t time, uint32_t now) {
    advance(now);
    m_time = static_cast<int64_t>(std::min(time, m_duration));
    m_remainder = 0;
}

void MovieClock::set_rate(int32_t rate, uint32_t now) {
    advance(now);
    // Playing forward from the end (or backward from the start) of a looping movie starts
    // over from the other end, as a play button is expected to.
    const int64_t end = static_cast<int64_t>(m_duration);
    if (rate > 0 && m_time >= end) m_time = 0;
    if (rate < 0 && m_time <= 0 && m_looping) m_time = end;
    m_rate = rate;
    m_remainder = 0;
}

void MovieClock::set_frozen(bool frozen, uint32_t now) {
    advance(now);
    m_frozen = frozen;
}

} // namespace lanternix::media
