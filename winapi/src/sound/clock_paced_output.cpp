#include <winapi/sound_output.h>

#include "window/desktop_clock.h"

namespace winapi::sound {

namespace {

class ClockPacedOutput : public SoundOutput {
  public:
    explicit ClockPacedOutput(const WAVEFORMATEX& format)
        : m_bytes_per_second(format.nAvgBytesPerSec) {}

    void queue(const uint8_t*, size_t size) override {
        // Data that arrives after the queue ran dry starts playing now, not in the past.
        if (m_queued == played_until_now()) {
            m_start = window::clock_now();
            m_base = m_queued;
        }
        m_queued += size;
    }

    uint64_t played_bytes() override { return played_until_now(); }

    void flush() override {
        m_queued = played_until_now();
        m_start = window::clock_now();
        m_base = m_queued;
    }

    void set_volume(uint16_t, uint16_t) override {}

  private:
    // What the clock says has been played since the queue last started, capped at what
    // was queued.
    uint64_t played_until_now() const {
        uint64_t elapsed = window::clock_now() - m_start;
        uint64_t played = m_base + elapsed * m_bytes_per_second / 1000;
        return played < m_queued ? played : m_queued;
    }

    uint64_t m_bytes_per_second;
    uint64_t m_queued = 0;
    uint64_t m_base = 0;
    uint64_t m_start = 0;
};

} // namespace

std::unique_ptr<SoundOutput> make_clock_paced_output(const WAVEFORMATEX& format) {
    return std::make_unique<ClockPacedOutput>(format);
}

} // namespace winapi::sound
