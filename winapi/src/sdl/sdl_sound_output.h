// Sound through SDL's audio: the output the on-screen display installs for waveOut.
//
// All opened waveOut devices share one SDL audio device of a fixed format (16-bit stereo at
// 48 kHz), so that any number of movies sound at once on every audio driver, the file-writing
// one included. Each output converts its own format to the device's with an SDL audio stream;
// the device's callback, on SDL's audio thread, takes what each output has ready, applies the
// output's volume and mixes. An output reports as played what the device has taken from it,
// moving on with the time since the device last asked, so a movie's clock can follow it
// smoothly.
#pragma once

#include <winapi/sound_output.h>

#include "common/internal_api.h"

namespace winapi::sdl {

// The device's format.
constexpr int kMixRate = 48000;
constexpr int kMixChannels = 2;

// An output on the shared device; the headless output when SDL's audio cannot start (no
// sound device, no driver), so that playback goes on, silent.
LX_INTERNAL_API std::unique_ptr<sound::SoundOutput>
make_sdl_sound_output(const WAVEFORMATEX& format);

} // namespace winapi::sdl
