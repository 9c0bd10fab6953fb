// Where a track's samples lie in the file and when they start: the demuxer's index of the
// track, copied once when the movie opens.
#pragma once

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdint>
#include <vector>

namespace lanternix::media {

struct SampleEntry {
    uint64_t offset = 0;
    uint32_t size = 0;
    int64_t time = 0; // decode time in the track's time base; may be negative
    bool key = false;
};

class SampleTable {
  public:
    explicit SampleTable(const AVStream& stream);

    bool empty() const { return m_samples.empty(); }
    size_t size() const { return m_samples.size(); }
    const SampleEntry& operator[](size_t index) const { return m_samples[index]; }

    // The sample at media time `time` (counted from the first sample's start, in the
    // track's time base): the last one that starts at or before it. Null when empty.
    const SampleEntry* sample_at_media_time(int64_t time) const;
    // The sample's duration: up to the next sample, or up to the track's end for the last.
    int64_t duration_of(const SampleEntry& sample) const;
    int64_t first_time() const { return m_samples.empty() ? 0 : m_samples.front().time; }

    // The end of the file prefix that holds every sample that starts before `time` (track
    // time base); 0 when none does.
    uint64_t prefix_end_before(int64_t time) const;

  private:
    std::vector<SampleEntry> m_samples;  // in decode order, times not decreasing
    std::vector<uint64_t> m_prefix_ends; // largest sample end among the first i + 1
    int64_t m_end_time = 0;
};

} // namespace lanternix::media
