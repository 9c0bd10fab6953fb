#include "movie/audio_player.h"

#include "common/engine_error.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lanternix::media {

namespace {

// How far before the time asked decoding starts after a jump.
constexpr double preroll_seconds = 0.1;

// Samples in a row that fail to decode before the track is taken as ended.
constexpr int max_corrupted_samples = 64;

// The output's rate: the track's own, within what the output takes.
int output_rate(int rate) {
    return std::clamp(rate, 8000, 48000);
}

} // namespace

EngineResult AudioPlayer::open(std::shared_ptr<FileSource> source, int stream_index,
                               std::unique_ptr<AudioPlayer>& out) {
    std::unique_ptr<AudioPlayer> player(new AudioPlayer);
    if (EngineResult result =
            TrackDemuxer::open(std::move(source), stream_index, player->m_demuxer))
        return result;
    const AVCodecParameters* parameters = player->m_demuxer->stream()->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec) return EngineErrorDecode;
    player->m_codec.reset(avcodec_alloc_context3(codec));
    player->m_packet.reset(av_packet_alloc());
    player->m_frame.reset(av_frame_alloc());
    if (!player->m_codec || !player->m_packet || !player->m_frame) return EngineErrorOutOfMemory;
    int error = avcodec_parameters_to_context(player->m_codec.get(), parameters);
    if (error >= 0) {
        player->m_codec->pkt_timebase = player->m_demuxer->stream()->time_base;
        // Sound decodes far faster than it plays: one thread.
        player->m_codec->thread_count = 1;
        error = avcodec_open2(player->m_codec.get(), codec, nullptr);
    }
    if (error < 0) return result_from_av_error(error);
    int channels = std::clamp(player->m_codec->ch_layout.nb_channels, 1, 2);
    WAVEFORMATEX& format = player->m_format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = static_cast<DWORD>(output_rate(player->m_codec->sample_rate));
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    if (waveOutOpen(&player->m_output, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) !=
        MMSYSERR_NOERROR)
        return EngineErrorDecode;
    for (int i = 0; i < buffer_count; ++i) {
        player->m_storage[i].resize(static_cast<size_t>(format.nAvgBytesPerSec * buffer_seconds) &
                                    ~size_t(3));
        player->m_headers[i].dwFlags = WHDR_DONE;
    }
    out = std::move(player);
    return EngineOk;
}

AudioPlayer::~AudioPlayer() {
    if (!m_output) return;
    waveOutReset(m_output);
    for (WAVEHDR& header : m_headers)
        if (header.dwFlags & WHDR_PREPARED)
            waveOutUnprepareHeader(m_output, &header, sizeof header);
    waveOutClose(m_output);
}

void AudioPlayer::stop() {
    if (!m_playing) return;
    waveOutReset(m_output);
    m_playing = false;
}

void AudioPlayer::set_volume(int volume) {
    if (volume == m_volume) return;
    m_volume = volume;
    DWORD level = static_cast<DWORD>(std::clamp(volume, 0, 0x100) * 0xFFFF / 0x100);
    waveOutSetVolume(m_output, level | level << 16);
}

void AudioPlayer::restart(double time) {
    waveOutReset(m_output);
    m_pending.clear();
    m_pending_read = 0;
    // Decoding starts a little before the time, as codecs that carry state from one packet
    // to the next (the bit reservoir of MP3, the overlapping transforms of AAC) get the first
    // packets after a seek wrong; what comes before the time is dropped. The target may lie
    // before the first sample, which is where the demuxer then goes.
    m_demuxer->seek(static_cast<int64_t>(
        std::floor((time - preroll_seconds) / av_q2d(m_demuxer->stream()->time_base))));
    avcodec_flush_buffers(m_codec.get());
    m_resampler.reset();
    m_resampler_drained = false;
    m_next_time = time;
    m_skip_until = time;
    m_start_time = time;
    m_written = 0;
    m_position = 0;
    m_device_position = 0;
    m_ended = false;
    m_playing = true;
}

void AudioPlayer::play(double time, int volume) {
    set_volume(volume);
    // Out of step by more than a buffer's worth and the lead: the movie jumped.
    if (!m_playing || time < m_next_time - lead_seconds - 2 * buffer_seconds ||
        time > m_next_time + buffer_seconds)
        restart(time);
    for (int i = 0; i < buffer_count && m_next_time < time + lead_seconds && !m_ended; ++i) {
        auto free_buffer = std::find_if(m_headers.begin(), m_headers.end(), [](const WAVEHDR& h) {
            return (h.dwFlags & WHDR_INQUEUE) == 0;
        });
        if (free_buffer == m_headers.end()) break;
        size_t index = static_cast<size_t>(free_buffer - m_headers.begin());
        if (!fill(*free_buffer, m_storage[index])) break;
    }
}

bool AudioPlayer::fill(WAVEHDR& header, std::vector<uint8_t>& storage) {
    while (pending_size() < storage.size() && decode_more()) {
    }
    size_t size = std::min(storage.size(), pending_size());
    if (size == 0) {
        m_ended = true;
        return false;
    }
    if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(m_output, &header, sizeof header);
    std::memcpy(storage.data(), m_pending.data() + m_pending_read, size);
    m_pending_read += size;
    header = WAVEHDR{};
    header.lpData = reinterpret_cast<LPSTR>(storage.data());
    header.dwBufferLength = static_cast<DWORD>(size);
    waveOutPrepareHeader(m_output, &header, sizeof header);
    waveOutWrite(m_output, &header, sizeof header);
    m_next_time += double(size) / m_format.nAvgBytesPerSec;
    m_written += size;
    return true;
}

std::optional<double> AudioPlayer::played_time() {
    if (!m_playing) return std::nullopt;
    MMTIME position{};
    position.wType = TIME_BYTES;
    if (waveOutGetPosition(m_output, &position, sizeof position) != MMSYSERR_NOERROR ||
        position.wType != TIME_BYTES)
        return std::nullopt;
    m_position += static_cast<DWORD>(position.u.cb - m_device_position);
    m_device_position = position.u.cb;
    if (m_position == 0 || m_position >= m_written) return std::nullopt;
    return m_start_time + double(m_position) / m_format.nAvgBytesPerSec;
}

// Adds the sound of the next decoded frame to the pending bytes; at the end of the track, what
// the resampler still holds. False once there is nothing more.
bool AudioPlayer::decode_more() {
    DecodeStatus status = receive_frame();
    if (status == DecodeStatus::EndOfStream) return drain_resampler();
    if (status != DecodeStatus::Ok) return false;
    bool converted = convert_frame();
    av_frame_unref(m_frame.get());
    return converted;
}

// Receives the next frame into m_frame, sending the decoder samples as long as it asks for
// more. Ok with a frame, EndOfStream once the decoder is drained, Failed otherwise.
DecodeStatus AudioPlayer::receive_frame() {
    // A corrupted sample is skipped, but a track of nothing else ends rather than keep the
    // caller here.
    for (int corrupted = 0; corrupted < max_corrupted_samples;) {
        DecodeStatus status =
            decode_status_from_av_error(avcodec_receive_frame(m_codec.get(), m_frame.get()));
        if (status == DecodeStatus::Ok || status == DecodeStatus::EndOfStream ||
            status == DecodeStatus::Failed)
            return status;
        if (status == DecodeStatus::NeedsMoreData) status = send_next_packet();
        // The decoder asks for a packet only when it holds no frame, so it takes the one sent
        // (or refuses it as corrupted); either way, receiving comes next.
        if (status == DecodeStatus::Corrupted)
            ++corrupted;
        else if (status == DecodeStatus::EndOfStream || status == DecodeStatus::Failed)
            return status;
    }
    return DecodeStatus::Failed;
}

// Hands the decoder the track's next sample or, when there are no more (or no more have
// arrived), the empty packet that makes it give out the frames it still holds.
DecodeStatus AudioPlayer::send_next_packet() {
    if (m_demuxer->read(m_packet.get()) < 0)
        return decode_status_from_av_error(avcodec_send_packet(m_codec.get(), nullptr));
    int error = avcodec_send_packet(m_codec.get(), m_packet.get());
    av_packet_unref(m_packet.get());
    return decode_status_from_av_error(error);
}

// Converts the frame received to the output's format and keeps it, less what a restart
// drops. False when it cannot be converted.
bool AudioPlayer::convert_frame() {
    if (!ensure_resampler()) return false;
    int got = resample(const_cast<const uint8_t**>(m_frame->extended_data), m_frame->nb_samples);
    if (got < 0) return false;
    size_t size = static_cast<size_t>(got) * m_format.nBlockAlign;
    size_t skip = bytes_to_skip(size);
    append_pending(m_converted.data() + skip, size - skip);
    return true;
}

// The samples the resampler holds back for its filter, once, when the decoder has no more.
bool AudioPlayer::drain_resampler() {
    if (!m_resampler || m_resampler_drained) return false;
    m_resampler_drained = true;
    int got = resample(nullptr, 0);
    if (got <= 0) return false;
    append_pending(m_converted.data(), static_cast<size_t>(got) * m_format.nBlockAlign);
    return true;
}

// Makes the resampler for the frame received, unless the one there was made for frames like
// it. The output is always the device's: 16-bit samples, its rate and channels.
bool AudioPlayer::ensure_resampler() {
    const AVFrame& frame = *m_frame;
    if (m_resampler && frame.sample_rate == m_resampler_rate &&
        frame.format == m_resampler_format && frame.ch_layout.nb_channels == m_resampler_channels)
        return true;
    m_resampler.reset();
    if (frame.sample_rate <= 0 || frame.ch_layout.nb_channels <= 0) return false;
    // A track that does not say which channels it carries gets the usual ones for its count.
    AVChannelLayout input{};
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&input, frame.ch_layout.nb_channels);
    else if (av_channel_layout_copy(&input, &frame.ch_layout) < 0)
        return false;
    AVChannelLayout output{};
    av_channel_layout_default(&output, m_format.nChannels);
    SwrContext* raw = nullptr;
    int error = swr_alloc_set_opts2(
        &raw, &output, AV_SAMPLE_FMT_S16, static_cast<int>(m_format.nSamplesPerSec), &input,
        static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
    av_channel_layout_uninit(&input);
    ResampleContextPtr resampler(raw);
    if (error < 0 || swr_init(resampler.get()) < 0) return false;
    m_resampler = std::move(resampler);
    m_resampler_rate = frame.sample_rate;
    m_resampler_format = frame.format;
    m_resampler_channels = frame.ch_layout.nb_channels;
    m_resampler_drained = false;
    return true;
}

// Converts `count` input samples (none: what the resampler holds) into m_converted, grown
// as needed and never shrunk. The count of samples converted, or an FFmpeg error.
int AudioPlayer::resample(const uint8_t** input, int count) {
    int capacity = swr_get_out_samples(m_resampler.get(), count);
    if (capacity <= 0) return capacity;
    size_t needed = static_cast<size_t>(capacity) * m_format.nBlockAlign;
    if (m_converted.size() < needed) m_converted.resize(needed);
    uint8_t* planes[1] = {m_converted.data()};
    return swr_convert(m_resampler.get(), planes, capacity, input, count);
}

// After a restart, the sound before the movie's time is dropped, whole samples at a time:
// the bytes to drop from the front of the received frame's `converted` bytes.
size_t AudioPlayer::bytes_to_skip(size_t converted) {
    if (m_skip_until <= 0) return 0;
    size_t skip = 0;
    int64_t pts = m_frame->best_effort_timestamp;
    if (pts != AV_NOPTS_VALUE) {
        double start = pts * av_q2d(m_demuxer->stream()->time_base);
        if (start < m_skip_until)
            skip =
                static_cast<size_t>(std::lround((m_skip_until - start) * m_format.nSamplesPerSec)) *
                m_format.nBlockAlign;
    }
    if (skip < converted) m_skip_until = 0;
    return std::min(skip, converted);
}

// Keeps converted bytes after those not yet written. Written bytes are dropped from the
// front only once they are at least half the vector, so each byte moves at most once or so.
void AudioPlayer::append_pending(const uint8_t* bytes, size_t size) {
    if (m_pending_read > 0 && m_pending_read >= m_pending.size() / 2) {
        size_t unread = pending_size();
        std::memmove(m_pending.data(), m_pending.data() + m_pending_read, unread);
        m_pending.resize(unread);
        m_pending_read = 0;
    }
    m_pending.insert(m_pending.end(), bytes, bytes + size);
}

} // namespace lanternix::media
