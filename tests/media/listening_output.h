// A sound output that listens: installed as the waveOut output of a media test, it keeps what
// the engine plays, over the headless output's pacing by the desktop clock.
#pragma once

#include <mmsystem.h>
#include <winapi/sound_output.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace media_test {

// What reached the speaker since the test last cleared it (g_heard = Heard{}).
struct Heard {
    WAVEFORMATEX format{};        // of the last device opened
    std::vector<int16_t> samples; // every sample queued, 16-bit as the engine plays them
    int flushes = 0;
    uint16_t volume = 0xFFFF;   // the left channel's last volume
    uint64_t latency_bytes = 0; // how far the speaker is behind the pacing, as a device is
};
extern Heard g_heard;

// The factory to install with winapi::sound::set_sound_output_factory.
std::unique_ptr<winapi::sound::SoundOutput> listening_output(const WAVEFORMATEX& format);

// A sound test's start: a clean desktop on the manual clock at 0, the listening output
// installed and nothing heard yet.
void start_listening();
// Its end: the headless output back, and a clean desktop.
void stop_listening();

} // namespace media_test
