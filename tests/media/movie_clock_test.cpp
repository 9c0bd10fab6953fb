// The movie clock's arithmetic: whole movie units from milliseconds, a 16.16 rate and a time
// scale, with the fraction of a unit carried from one step to the next. It is done in 64 bits
// so that the engine builds for 32-bit Windows as well; these tests hold it to the exact
// 128-bit result, over many steps at each rate, both ways.
#include "movie/movie_clock.h"

#include <gtest/gtest.h>

#include <random>

using lanternix::media::MovieClock;

namespace {

// The exact time, with its carried fraction, kept in 128 bits.
struct ExactClock {
    int64_t time;
    __int128 remainder = 0;
    int32_t rate = 0;
    uint32_t scale;

    void set_rate(int32_t new_rate) {
        rate = new_rate;
        remainder = 0;
    }
    void advance(uint32_t elapsed) {
        const __int128 divisor = 1000 * 0x10000;
        __int128 scaled = __int128(elapsed) * rate * scale + remainder;
        __int128 units = scaled / divisor;
        remainder = scaled - units * divisor;
        time += static_cast<int64_t>(units);
    }
};

TEST(MovieClock, KeepsToTheExactTimeThroughEveryRateAndDirection) {
    std::mt19937 random(20261209);
    const uint64_t duration = uint64_t{1} << 62;
    for (uint32_t scale : {1u, 600u, 44100u, 90000u, 0x7fffffffu, 0xffffffffu}) {
        SCOPED_TRACE(testing::Message() << "time scale " << scale);
        MovieClock clock(duration, scale);
        ExactClock exact{static_cast<int64_t>(duration / 2), 0, 0, scale};
        uint32_t now = 0;
        clock.set_time(duration / 2, now);
        for (int step = 0; step < 20000; ++step) {
            // A new rate every few steps: mostly ordinary rates both ways, sometimes the
            // extremes. The fraction carries over the steps between.
            if (step % 7 == 0) {
                int32_t rate =
                    step % 97 == 0
                        ? (step % 2 ? INT32_MAX : -INT32_MAX)
                        : std::uniform_int_distribution<int32_t>(-0x40000, 0x40000)(random);
                clock.set_rate(rate, now);
                exact.set_rate(rate);
            }
            uint32_t elapsed = std::uniform_int_distribution<uint32_t>(0, 100)(random);
            now += elapsed;
            exact.advance(elapsed);
            ASSERT_EQ(clock.time(now), static_cast<uint64_t>(exact.time)) << "step " << step;
        }
    }
}

TEST(MovieClock, ALongStepAtFullRateOverflowsNothing) {
    // 49 days of ticks at the fastest rate: the product of the three needs 80 bits.
    MovieClock clock(UINT64_MAX >> 1, 90000);
    clock.set_rate(0x7fffffff, 0);
    ExactClock exact{0, 0, 0, 90000};
    exact.set_rate(0x7fffffff);
    exact.advance(0xfffffff0u);
    EXPECT_EQ(clock.time(0xfffffff0u), static_cast<uint64_t>(exact.time));
}

} // namespace
