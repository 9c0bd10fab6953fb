// Plays a movie's sound track through the Win32 layer's waveOut output while the movie plays
// at normal speed.
//
// Samples are decoded, converted to 16-bit PCM with libswresample and queued a little ahead
// of the movie's time in a ring of buffers. Any sound the decoders read plays: the output
// takes one or two channels at 8 to 48 kHz, and the resampler mixes down and converts rates
// and sample formats to that. A jump in the movie's time (a seek, a loop)
// empties the queue and starts again from the new time.
#pragma once

#include "common/engine_error.h"
#include "movie/track_demuxer.h"

#include <mmsystem.h>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace lanternix::media {

class AudioPlayer {
  public:
    static EngineResult open(std::shared_ptr<FileSource> source, int stream_index,
                             std::unique_ptr<AudioPlayer>& out);
    ~AudioPlayer();
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    // Keeps the output fed for the movie standing at `time` (seconds) and playing at normal
    // speed. `volume` is the controller's: 0x100 full, 0 or negative silent.
    void play(double time, int volume);
    // Stops the sound (the movie stopped, or plays at another speed).
    void stop();
    // Seconds of sound written to the output so far, since the last start.
    double queued_until() const { return m_next_time; }
    // The movie time (seconds) of the sound the device has played, while it is playing what
    // was written since the last start; nothing before the device has begun, or once it has
    // played everything written (it ran dry, or the track ended).
    std::optional<double> played_time();

  private:
    static constexpr int buffer_count = 8;
    static constexpr double buffer_seconds = 0.1;
    static constexpr double lead_seconds = 0.4;

    AudioPlayer() = default;
    void restart(double time);
    bool fill(WAVEHDR& header, std::vector<uint8_t>& storage);
    void set_volume(int volume);

    // Decoding, one step each, in the shape of a send-receive-drain loop.
    bool decode_more();
    DecodeStatus receive_frame();
    DecodeStatus send_next_packet();
    bool convert_frame();
    bool drain_resampler();
    bool ensure_resampler();
    int resample(const uint8_t** input, int count);
    size_t bytes_to_skip(size_t converted);
    void append_pending(const uint8_t* bytes, size_t size);
    size_t pending_size() const { return m_pending.size() - m_pending_read; }

    std::unique_ptr<TrackDemuxer> m_demuxer;
    CodecContextPtr m_codec;
    ResampleContextPtr m_resampler;
    PacketPtr m_packet;
    FramePtr m_frame;
    HWAVEOUT m_output = nullptr;
    WAVEFORMATEX m_format{};
    std::array<WAVEHDR, buffer_count> m_headers{};
    std::array<std::vector<uint8_t>, buffer_count> m_storage;
    // The input the resampler was made for: a frame that differs gets a new one.
    int m_resampler_rate = 0;
    int m_resampler_format = AV_SAMPLE_FMT_NONE;
    int m_resampler_channels = 0;
    bool m_resampler_drained = false;
    std::vector<uint8_t> m_converted; // one frame's converted bytes, reused for every frame
    std::vector<uint8_t> m_pending;   // converted bytes; those before m_pending_read are written
    size_t m_pending_read = 0;
    double m_next_time = 0;      // the movie time of the next byte written
    double m_skip_until = 0;     // samples before this time are dropped after a restart
    double m_start_time = 0;     // the movie time of the first byte after the last start
    uint64_t m_written = 0;      // bytes written since the last start
    uint64_t m_position = 0;     // bytes played since the last start
    DWORD m_device_position = 0; // the device's 32-bit count, for following its wrap
    bool m_playing = false;
    bool m_ended = false;
    int m_volume = -1;
};

} // namespace lanternix::media
