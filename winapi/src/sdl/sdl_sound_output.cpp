#include "sdl/sdl_sound_output.h"

#include "sdl/sdl_subsystems.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <vector>

namespace winapi::sdl {

namespace {

constexpr uint64_t kMixBytesPerSecond = uint64_t(kMixRate) * kMixChannels * 2;
// Frames the device asks for at a time: about 21 ms, short enough for a clock to follow.
constexpr Uint16 kDeviceFrames = 1024;

uint64_t steady_ns() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

class SdlSoundOutput;

// The one device every output mixes into. Outputs come and go on the user-interface thread;
// the callback runs on SDL's audio thread. Everything the two share is guarded by the mutex.
class Mixer {
  public:
    // Adds an output, opening the device for the first one. Null when SDL's audio cannot
    // start.
    static Mixer* attach(SdlSoundOutput* output);
    // Removes an output; the last one closes the device.
    void detach(SdlSoundOutput* output);
    std::mutex& mutex() { return m_mutex; }

  private:
    static void callback(void* self, Uint8* stream, int length);
    static Mixer*& current();

    SDL_AudioDeviceID m_device = 0;
    std::mutex m_mutex;
    std::vector<SdlSoundOutput*> m_outputs;
    std::vector<int16_t> m_scratch;
};

class SdlSoundOutput final : public sound::SoundOutput {
  public:
    explicit SdlSoundOutput(const WAVEFORMATEX& format)
        : m_block(format.nBlockAlign), m_bytes_per_second(format.nAvgBytesPerSec) {
        SDL_AudioFormat source = format.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        m_stream = SDL_NewAudioStream(source, static_cast<Uint8>(format.nChannels),
                                      static_cast<int>(format.nSamplesPerSec), AUDIO_S16SYS,
                                      kMixChannels, kMixRate);
    }

    ~SdlSoundOutput() override {
        if (m_mixer) m_mixer->detach(this);
        if (m_stream) SDL_FreeAudioStream(m_stream);
    }

    bool start() {
        if (!m_stream || m_bytes_per_second == 0 || m_block == 0) return false;
        m_mixer = Mixer::attach(this);
        return m_mixer != nullptr;
    }

    void queue(const uint8_t* data, size_t size) override {
        std::lock_guard lock(m_mixer->mutex());
        if (SDL_AudioStreamPut(m_stream, data, static_cast<int>(size)) == 0) m_queued += size;
    }

    uint64_t played_bytes() override {
        std::lock_guard lock(m_mixer->mutex());
        return played();
    }

    void flush() override {
        std::lock_guard lock(m_mixer->mutex());
        uint64_t now_played = played();
        SDL_AudioStreamClear(m_stream);
        m_queued = m_base = m_dry_queued = now_played;
        m_given = m_given_before = m_dry_given = 0;
    }

    void set_volume(uint16_t left, uint16_t right) override {
        std::lock_guard lock(m_mixer->mutex());
        m_left = left;
        m_right = right;
    }

    // On the audio thread, under the mixer's lock: adds what this output has ready to the
    // device's buffer, at its volume.
    void mix_into(int16_t* out, int length, std::vector<int16_t>& scratch, uint64_t now) {
        scratch.resize(static_cast<size_t>(length) / 2);
        int got = std::max(SDL_AudioStreamGet(m_stream, scratch.data(), length), 0);
        if (got < length && m_dry_queued != m_queued) {
            // Ran dry: the converter still holds the last few samples back, waiting for more.
            // Nothing more is there now, so they are let out, and everything queued so far
            // counts as played once the device has played them.
            SDL_AudioStreamFlush(m_stream);
            got +=
                std::max(SDL_AudioStreamGet(m_stream, scratch.data() + got / 2, length - got), 0);
            m_dry_queued = m_queued;
            m_dry_given = m_given + static_cast<uint64_t>(got);
        }
        int samples = got / 2;
        for (int i = 0; i < samples; ++i) {
            int volume = (i % 2 == 0) ? m_left : m_right;
            int scaled = scratch[static_cast<size_t>(i)] * volume / 0xFFFF;
            out[i] = static_cast<int16_t>(std::clamp(out[i] + scaled, -32768, 32767));
        }
        m_given_before = m_given;
        m_given += static_cast<uint64_t>(got);
        m_callback_ns = now;
    }

  private:
    // What the device has played, in this output's bytes. The buffer the device took last is
    // counted as playing from the moment it was taken, at the device's rate. Never goes back
    // and never passes what was queued.
    uint64_t played() {
        // Capped: before the first request the time since means nothing.
        uint64_t elapsed_ns = std::min<uint64_t>(steady_ns() - m_callback_ns, 10'000'000'000);
        uint64_t playing = std::min<uint64_t>(elapsed_ns / 1000 * kMixBytesPerSecond / 1000000,
                                              m_given - m_given_before);
        uint64_t device_bytes = m_given_before + playing;
        uint64_t bytes = m_base + device_bytes * m_bytes_per_second / kMixBytesPerSecond;
        bytes -= bytes % m_block;
        if (device_bytes >= m_dry_given) bytes = std::max(bytes, m_dry_queued);
        bytes = std::clamp(bytes, m_played_floor, std::max(m_queued, m_played_floor));
        m_played_floor = bytes;
        return bytes;
    }

    Mixer* m_mixer = nullptr;
    SDL_AudioStream* m_stream = nullptr;
    uint64_t m_block;
    uint64_t m_bytes_per_second;
    uint64_t m_queued = 0;       // this output's bytes queued, all time
    uint64_t m_base = 0;         // its bytes played when it was last flushed
    uint64_t m_given = 0;        // device bytes taken by the device since the last flush
    uint64_t m_given_before = 0; // the same, before the device's last request
    uint64_t m_callback_ns = 0;  // when the device last asked
    uint64_t m_played_floor = 0;
    uint64_t m_dry_queued = 0; // all queued when the output last ran dry
    uint64_t m_dry_given = 0;  // the device bytes through which that plays
    uint16_t m_left = 0xFFFF;
    uint16_t m_right = 0xFFFF;
};

Mixer*& Mixer::current() {
    static Mixer* mixer = nullptr;
    return mixer;
}

Mixer* Mixer::attach(SdlSoundOutput* output) {
    Mixer*& mixer = current();
    if (!mixer) {
        if (!start_subsystem(SDL_INIT_AUDIO)) return nullptr;
        auto* made = new Mixer;
        SDL_AudioSpec wanted{};
        wanted.freq = kMixRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = kMixChannels;
        wanted.samples = kDeviceFrames;
        wanted.callback = &Mixer::callback;
        wanted.userdata = made;
        // No changes allowed: SDL converts to whatever the hardware takes, so the mix is
        // always in the format above.
        made->m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        if (made->m_device == 0) {
            delete made;
            stop_subsystem(SDL_INIT_AUDIO);
            return nullptr;
        }
        SDL_PauseAudioDevice(made->m_device, 0);
        mixer = made;
    }
    std::lock_guard lock(mixer->m_mutex);
    mixer->m_outputs.push_back(output);
    return mixer;
}

void Mixer::detach(SdlSoundOutput* output) {
    {
        std::lock_guard lock(m_mutex);
        m_outputs.erase(std::remove(m_outputs.begin(), m_outputs.end(), output), m_outputs.end());
        if (!m_outputs.empty()) return;
    }
    // Closing waits for the audio thread, which takes the lock: it must not be held here.
    SDL_CloseAudioDevice(m_device);
    current() = nullptr;
    delete this;
    stop_subsystem(SDL_INIT_AUDIO);
}

void Mixer::callback(void* self, Uint8* stream, int length) {
    auto* mixer = static_cast<Mixer*>(self);
    std::memset(stream, 0, static_cast<size_t>(length));
    std::lock_guard lock(mixer->m_mutex);
    uint64_t now = steady_ns();
    for (SdlSoundOutput* output : mixer->m_outputs)
        output->mix_into(reinterpret_cast<int16_t*>(stream), length, mixer->m_scratch, now);
}

} // namespace

std::unique_ptr<sound::SoundOutput> make_sdl_sound_output(const WAVEFORMATEX& format) {
    auto output = std::make_unique<SdlSoundOutput>(format);
    if (!output->start()) return sound::make_clock_paced_output(format);
    return output;
}

} // namespace winapi::sdl
