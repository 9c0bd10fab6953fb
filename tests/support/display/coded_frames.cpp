#include "display/coded_frames.h"

#include <winapi/desktop.h>

#include <algorithm>

namespace test_support {

std::string coded_movie_filter(int width, int height, int fps, int seconds) {
    int stripe = width / kCodeBits;
    return "nullsrc=s=" + std::to_string(width) + "x" + std::to_string(height) +
           ":r=" + std::to_string(fps) + ":d=" + std::to_string(seconds) +
           ",geq=lum='if(mod(floor(N/pow(2\\,floor(X/" + std::to_string(stripe) +
           ")))\\,2)\\,235\\,16)':cb=128:cr=128";
}

int coded_frame(HWND window, int stripe, int row) {
    int number = 0;
    for (int bit = 0; bit < kCodeBits; ++bit) {
        COLORREF colour = winapi::desktop::window_pixel(window, bit * stripe + stripe / 2, row);
        int grey = (GetRValue(colour) + GetGValue(colour) + GetBValue(colour)) / 3;
        // Coded stripes are near black or near white; anything between is no coded frame.
        if (grey > 64 && grey < 192) return -1;
        if (grey >= 192) number |= 1 << bit;
    }
    // Nor is an all-white box.
    return number == (1 << kCodeBits) - 1 ? -1 : number;
}

void PlaybackWatch::add(double seconds, const std::vector<int>& frames) {
    for (size_t i = 0; i < frames.size() && i < m_samples.size(); ++i)
        if (frames[i] >= 0) m_samples[i].push_back(Sample{seconds, frames[i]});
}

double PlaybackWatch::start(size_t movie) const {
    double earliest = -1;
    for (const Sample& sample : m_samples[movie]) {
        // Frame 0 shows from the start until the movie plays: it dates nothing.
        if (sample.frame == 0) continue;
        double implied = sample.at - sample.frame / m_fps;
        if (earliest < 0 || implied < earliest) earliest = implied;
    }
    return earliest;
}

double PlaybackWatch::worst_lag(size_t movie, double from) const {
    double started = start(movie);
    double worst = 0;
    for (const Sample& sample : m_samples[movie])
        if (sample.at >= from && sample.frame > 0)
            worst = std::max(worst, (sample.at - started) - sample.frame / m_fps);
    return worst;
}

std::pair<double, double> PlaybackWatch::advance(size_t movie, double from, double to) const {
    const Sample* first = nullptr;
    const Sample* last = nullptr;
    for (const Sample& sample : m_samples[movie]) {
        if (sample.at >= from && !first) first = &sample;
        if (sample.at <= to) last = &sample;
    }
    if (!first || !last || last->at <= first->at) return {0, 0};
    return {(last->frame - first->frame) / m_fps, last->at - first->at};
}

} // namespace test_support
