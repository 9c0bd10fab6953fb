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
    m_demuxer->seek(static_cast<int64_t>(time / av_q2d(m_demuxer->stream()->time_base)));
    avcodec_flush_buffers(m_codec.get());
    m_resampler.reset();
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
    while (m_pending.size() < storage.size() && decode_more()) {
    }
    size_t size = std::min(storage.size(), m_pending.size());
    if (size == 0) {
        m_ended = true;
        return false;
    }
    if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(m_output, &header, sizeof header);
    std::memcpy(storage.data(), m_pending.data(), size);
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(size));
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

bool AudioPlayer::decode_more() {
    int error = avcodec_receive_frame(m_codec.get(), m_frame.get());
    while (error == AVERROR(EAGAIN)) {
        if (m_demuxer->read(m_packet.get()) < 0) {
            avcodec_send_packet(m_codec.get(), nullptr);
        } else {
            avcodec_send_packet(m_codec.get(), m_packet.get());
            av_packet_unref(m_packet.get());
        }
        error = avcodec_receive_frame(m_codec.get(), m_frame.get());
    }
    if (error < 0) return false;
    AVChannelLayout layout;
    av_channel_layout_default(&layout, m_format.nChannels);
    if (!m_resampler) {
        SwrContext* raw = nullptr;
        if (swr_alloc_set_opts2(&raw, &layout, AV_SAMPLE_FMT_S16,
                                static_cast<int>(m_format.nSamplesPerSec), &m_frame->ch_layout,
                                static_cast<AVSampleFormat>(m_frame->format), m_frame->sample_rate,
                                0, nullptr) < 0 ||
            swr_init(raw) < 0) {
            swr_free(&raw);
            return false;
        }
        m_resampler.reset(raw);
    }
    int64_t pts = m_frame->best_effort_timestamp;
    int capacity = swr_get_out_samples(m_resampler.get(), m_frame->nb_samples);
    if (capacity <= 0) return true;
    std::vector<uint8_t> converted(static_cast<size_t>(capacity) * m_format.nBlockAlign);
    uint8_t* planes[1] = {converted.data()};
    int got = swr_convert(m_resampler.get(), planes, capacity,
                          const_cast<const uint8_t**>(m_frame->extended_data), m_frame->nb_samples);
    av_frame_unref(m_frame.get());
    if (got <= 0) return true;
    converted.resize(static_cast<size_t>(got) * m_format.nBlockAlign);
    // After a restart, the sound before the movie's time is dropped, whole samples at a time.
    size_t skip = 0;
    if (m_skip_until > 0 && pts != AV_NOPTS_VALUE) {
        double start = pts * av_q2d(m_demuxer->stream()->time_base);
        if (start < m_skip_until)
            skip = static_cast<size_t>((m_skip_until - start) * m_format.nSamplesPerSec) *
                   m_format.nBlockAlign;
    }
    if (skip < converted.size()) m_skip_until = 0;
    if (skip < converted.size())
        m_pending.insert(m_pending.end(), converted.begin() + static_cast<std::ptrdiff_t>(skip),
                         converted.end());
    return true;
}

} // namespace lanternix::media
