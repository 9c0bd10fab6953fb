#include "movie/sample_table.h"

#include <algorithm>

namespace lanternix::media {

SampleTable::SampleTable(const AVStream& stream) {
    int count = avformat_index_get_entries_count(&stream);
    m_samples.reserve(count > 0 ? count : 0);
    uint64_t largest_end = 0;
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(const_cast<AVStream*>(&stream), i);
        if (!entry || entry->pos < 0) continue;
        SampleEntry sample;
        sample.offset = static_cast<uint64_t>(entry->pos);
        sample.size = static_cast<uint32_t>(std::max(entry->size, 0));
        sample.time = entry->timestamp;
        // The flags are a signed bit-field: test the bit, never compare the value.
        sample.key = (entry->flags & AVINDEX_KEYFRAME) != 0;
        // Entries flagged discard (priming samples before the first shown time) still occupy
        // file bytes, so they stay in the table and count in every prefix.
        if (!m_samples.empty() && sample.time < m_samples.back().time)
            sample.time = m_samples.back().time;
        largest_end = std::max(largest_end, sample.offset + sample.size);
        m_samples.push_back(sample);
        m_prefix_ends.push_back(largest_end);
    }
    if (!m_samples.empty()) {
        m_end_time = m_samples.back().time;
        if (stream.duration > 0 && stream.duration != AV_NOPTS_VALUE)
            m_end_time = std::max(m_end_time, m_samples.front().time + stream.duration);
    }
}

const SampleEntry* SampleTable::sample_at_media_time(int64_t time) const {
    if (m_samples.empty()) return nullptr;
    int64_t absolute = first_time() + std::max<int64_t>(time, 0);
    auto after = std::upper_bound(m_samples.begin(), m_samples.end(), absolute,
                                  [](int64_t t, const SampleEntry& s) { return t < s.time; });
    return after == m_samples.begin() ? &m_samples.front() : &*(after - 1);
}

int64_t SampleTable::duration_of(const SampleEntry& sample) const {
    size_t index = static_cast<size_t>(&sample - m_samples.data());
    int64_t next = index + 1 < m_samples.size() ? m_samples[index + 1].time : m_end_time;
    return std::max<int64_t>(next - sample.time, 0);
}

uint64_t SampleTable::prefix_end_before(int64_t time) const {
    auto first_not_before =
        std::lower_bound(m_samples.begin(), m_samples.end(), time,
                         [](const SampleEntry& s, int64_t t) { return s.time < t; });
    size_t count = static_cast<size_t>(first_not_before - m_samples.begin());
    return count == 0 ? 0 : m_prefix_ends[count - 1];
}

} // namespace lanternix::media
