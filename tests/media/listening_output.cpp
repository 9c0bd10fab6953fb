#include "listening_output.h"

#include <winapi/desktop.h>

namespace media_test {

Heard g_heard;

namespace {

class ListeningOutput : public winapi::sound::SoundOutput {
  public:
    explicit ListeningOutput(const WAVEFORMATEX& format)
        : m_paced(winapi::sound::make_clock_paced_output(format)) {
        g_heard.format = format;
    }
    void queue(const uint8_t* data, size_t size) override {
        const auto* samples = reinterpret_cast<const int16_t*>(data);
        g_heard.samples.insert(g_heard.samples.end(), samples, samples + size / 2);
        m_paced->queue(data, size);
    }
    uint64_t played_bytes() override {
        uint64_t played = m_paced->played_bytes();
        return played > g_heard.latency_bytes ? played - g_heard.latency_bytes : 0;
    }
    void flush() override {
        ++g_heard.flushes;
        m_paced->flush();
    }
    void set_volume(uint16_t left, uint16_t) override { g_heard.volume = left; }

  private:
    std::unique_ptr<winapi::sound::SoundOutput> m_paced;
};

} // namespace

std::unique_ptr<winapi::sound::SoundOutput> listening_output(const WAVEFORMATEX& format) {
    return std::make_unique<ListeningOutput>(format);
}

void start_listening() {
    winapi::desktop::reset();
    winapi::desktop::use_manual_clock(0);
    winapi::sound::set_sound_output_factory(&listening_output);
    g_heard = Heard{};
}

void stop_listening() {
    winapi::sound::set_sound_output_factory(nullptr);
    winapi::desktop::reset();
}

} // namespace media_test
