#include "movie/video_decoder.h"

#include "common/engine_error.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/cpu.h>
}

namespace lanternix::media {

namespace {

// Threads: one more than the cores, as frame threading keeps every core busy only when a
// frame is always waiting; more than four only adds delay (a frame per thread) and memory
// for the small movies this engine plays. The library's default is a single thread.
int decoding_threads() {
    return std::clamp(av_cpu_count() + 1, 1, 4);
}

// Samples ahead that are decoded through rather than seeked past.
constexpr std::ptrdiff_t near_samples = 16;

// Whether a track's key marks can be believed: a codec that predicts pictures from earlier ones
// never has a track of key samples only, unless its writer marked every sample. PNG samples of
// a movie are whole pictures, though the codec library does not count PNG as intra only.
bool sync_marks_usable(AVCodecID codec, const SampleTable& samples) {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec);
    if (codec == AV_CODEC_ID_PNG || !descriptor ||
        (descriptor->props & AV_CODEC_PROP_INTRA_ONLY) != 0 || samples.size() < 2)
        return true;
    for (size_t i = 0; i < samples.size(); ++i)
        if (!samples[i].key) return true;
    return false;
}

} // namespace

EngineResult VideoDecoder::open(std::shared_ptr<FileSource> source, int stream_index,
                                const SampleTable& samples, std::unique_ptr<VideoDecoder>& out) {
    std::unique_ptr<VideoDecoder> decoder(new VideoDecoder);
    if (EngineResult result =
            TrackDemuxer::open(std::move(source), stream_index, decoder->m_demuxer))
        return result;
    const AVCodecParameters* parameters = decoder->m_demuxer->stream()->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec) return EngineErrorDecode;
    decoder->m_codec.reset(avcodec_alloc_context3(codec));
    decoder->m_packet.reset(av_packet_alloc());
    decoder->m_frame.reset(av_frame_alloc());
    decoder->m_pending.reset(av_frame_alloc());
    if (!decoder->m_codec || !decoder->m_packet || !decoder->m_frame || !decoder->m_pending)
        return EngineErrorOutOfMemory;
    int error = avcodec_parameters_to_context(decoder->m_codec.get(), parameters);
    if (error < 0) return result_from_av_error(error);
    decoder->m_codec->pkt_timebase = decoder->m_demuxer->stream()->time_base;
    decoder->m_codec->thread_count = decoding_threads();
    error = avcodec_open2(decoder->m_codec.get(), codec, nullptr);
    if (error < 0) return result_from_av_error(error);
    decoder->m_sync_usable = sync_marks_usable(parameters->codec_id, samples);
    decoder->m_first_time = samples.first_time();
    out = std::move(decoder);
    return EngineOk;
}

int64_t VideoDecoder::frame_time(const AVFrame& frame) {
    if (frame.best_effort_timestamp != AV_NOPTS_VALUE) return frame.best_effort_timestamp;
    return frame.pts != AV_NOPTS_VALUE ? frame.pts : frame.pkt_dts;
}

bool VideoDecoder::needs_seek(int64_t time, const SampleTable& samples) const {
    if (!m_have_frame && !m_have_pending) return true;
    if (m_have_frame && time < m_frame_time) return true;
    if (!m_have_frame && m_have_pending) return false;
    if (!m_sync_usable) return false;
    // A key sample shown between the current frame and the target: starting there decodes
    // less. Index times are decode times, which run ahead of the times frames are shown by
    // the reordering delay (the first sample's negative decode time); a key sample decoded
    // before the target may still be shown after it.
    int64_t delay = std::max<int64_t>(0, -samples.first_time());
    const SampleEntry* target = samples.sample_at_media_time(time - delay - samples.first_time());
    if (!target) return false;
    const SampleEntry* current = samples.sample_at_media_time(m_frame_time - samples.first_time());
    for (const SampleEntry* s = target; s >= &samples[0]; --s) {
        if (s->time + delay <= m_frame_time) return false;
        // A key sample only a few samples on is reached as cheaply by decoding on, and a
        // seek would throw away the frames the decoder threads have in hand.
        if (s->key) return current && s - current > near_samples;
    }
    return false;
}

void VideoDecoder::seek(int64_t time) {
    m_demuxer->seek(m_sync_usable ? time : m_first_time);
    avcodec_flush_buffers(m_codec.get());
    m_have_frame = m_have_pending = m_drained = false;
    m_after_seek = true;
}

bool VideoDecoder::send_next_packet() {
    if (m_drained) return false;
    int error = m_demuxer->read(m_packet.get());
    if (error < 0) {
        m_drained = true;
        avcodec_send_packet(m_codec.get(), nullptr);
        return true;
    }
    size_t size = 0;
    if (const uint8_t* palette =
            av_packet_get_side_data(m_packet.get(), AV_PKT_DATA_PALETTE, &size)) {
        m_palette.assign(palette, palette + size);
    } else if (m_after_seek && !m_palette.empty()) {
        uint8_t* copy =
            av_packet_new_side_data(m_packet.get(), AV_PKT_DATA_PALETTE, m_palette.size());
        if (copy) std::memcpy(copy, m_palette.data(), m_palette.size());
    }
    m_after_seek = false;
    // A sample the decoder refuses is skipped; the next one may decode.
    avcodec_send_packet(m_codec.get(), m_packet.get());
    av_packet_unref(m_packet.get());
    return true;
}

bool VideoDecoder::decode_past(int64_t time) {
    // Bounded: a track of samples that never produce a frame must not keep us here.
    for (int attempts = 0; attempts < 100000; ++attempts) {
        if (m_have_pending) {
            if (frame_time(*m_pending) > time && m_have_frame) return true;
            std::swap(m_frame, m_pending);
            m_frame_time = frame_time(*m_frame);
            m_have_frame = true;
            m_have_pending = false;
            if (m_frame_time > time) return true; // the first frame starts after the target
        }
        int received = avcodec_receive_frame(m_codec.get(), m_pending.get());
        switch (decode_status_from_av_error(received)) {
        case DecodeStatus::Ok:
            m_have_pending = true;
            break;
        case DecodeStatus::NeedsMoreData:
            if (!send_next_packet()) return false;
            break;
        case DecodeStatus::Corrupted:
            break; // that sample is lost; the decoder goes on with the next
        case DecodeStatus::EndOfStream:
        case DecodeStatus::Failed:
            return false;
        }
    }
    return false;
}

const AVFrame* VideoDecoder::frame_at(int64_t time, const SampleTable& samples) {
    if (needs_seek(time, samples)) seek(time);
    decode_past(time);
    return m_have_frame ? m_frame.get() : nullptr;
}

} // namespace lanternix::media
