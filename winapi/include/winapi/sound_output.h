// Where waveOut's buffers go: the hook between the waveOut functions and a display's sound.
// Not a Win32 interface.
//
// The headless display has no speaker: its output takes each buffer and counts it played
// once the desktop clock has moved on by the buffer's length, so callers are paced as by
// real hardware and tests on a manual clock see buffers finish exactly. A display with real
// sound installs an output of its own that plays the bytes and reports what it has played.
#pragma once

#include <lx_export.h>
#include <mmsystem.h>

#include <cstdint>
#include <memory>

namespace winapi::sound {

class SoundOutput {
  public:
    virtual ~SoundOutput() = default;
    // A copy of the data of the next buffer, queued behind the ones before.
    virtual void queue(const uint8_t* data, size_t size) = 0;
    // Bytes played since the output was made (or last flushed), all buffers together.
    virtual uint64_t played_bytes() = 0;
    // Drops everything queued and not yet played.
    virtual void flush() = 0;
    // 0..0xFFFF per channel.
    virtual void set_volume(uint16_t left, uint16_t right) = 0;
};

// Makes the output for one opened device of the given format.
using SoundOutputFactory = std::unique_ptr<SoundOutput> (*)(const WAVEFORMATEX& format);

// Installs the factory of a display's sound (or of a test that listens); null puts back the
// headless output. Devices opened before keep their output.
LX_EXPORT void set_sound_output_factory(SoundOutputFactory factory);
std::unique_ptr<SoundOutput> make_sound_output(const WAVEFORMATEX& format);

// The headless output, paced by the desktop clock.
LX_EXPORT std::unique_ptr<SoundOutput> make_clock_paced_output(const WAVEFORMATEX& format);

} // namespace winapi::sound
