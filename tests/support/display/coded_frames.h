// Movies whose frames show their own number, and what a watcher learns from them: which frame
// a window shows, and how far each of several movies falls behind its own clock.
//
// A coded frame shows its number in binary, bit i as a vertical stripe `stripe` pixels wide,
// white for 1 and black for 0, least significant bit on the left (see the ffmpeg filter that
// coded_movie_filter gives).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace test_support {

constexpr int kCodeBits = 10;

// The ffmpeg filter source of such a picture: `seconds` long at `fps`.
std::string coded_movie_filter(int width, int height, int fps, int seconds);

// The frame number a window shows at the stripes' middle row `row`, reading the stripes from
// x = 0; -1 while it shows no coded frame (a poster, a white or empty box).
int coded_frame(HWND window, int stripe, int row);

// The frames several movies show, sampled over time.
class PlaybackWatch {
  public:
    PlaybackWatch(size_t movies, double fps) : m_fps(fps), m_samples(movies) {}

    // The frames the movies show at `seconds`; -1 for one that shows none yet.
    void add(double seconds, const std::vector<int>& frames);

    // When a movie started, as its samples tell: the earliest time its shown frame implies.
    // Negative when it never showed a frame.
    double start(size_t movie) const;
    // The most a movie's shown frame was behind its own clock at any sample from `from` on,
    // in seconds.
    double worst_lag(size_t movie, double from) const;
    // How far a movie's frames moved on between the first sample at or after `from` and the
    // last one at or before `to`, in seconds of movie, and the real seconds between them.
    std::pair<double, double> advance(size_t movie, double from, double to) const;

  private:
    struct Sample {
        double at;
        int frame;
    };
    double m_fps;
    std::vector<std::vector<Sample>> m_samples;
};

} // namespace test_support
