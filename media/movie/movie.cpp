#include "movie/movie.h"

#include "common/engine_error.h"
#include "movie/track_demuxer.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <utility>

extern "C" {
#include <libavutil/imgutils.h>
}

namespace lanternix::media {

namespace {

// More tracks than a 16-bit count can carry are not a movie anyone made.
constexpr unsigned max_tracks = 0x7fff;

// The largest picture the engine converts: a hostile header must not make it allocate
// gigabytes for one frame.
constexpr int max_picture_side = 4096;

// The size of a video stream's pictures: the demuxer's, or when it left them for a decoder
// to find (MPEG-4 part 2, H.263, H.261), the size the track's sample description declares.
// The demuxer numbers streams by their track ids.
std::pair<int, int> picture_size(const AVStream& stream,
                                 const std::vector<TrackPictureSize>& sizes) {
    const AVCodecParameters& codec = *stream.codecpar;
    if (codec.width > 0 && codec.height > 0) return {codec.width, codec.height};
    for (const TrackPictureSize& size : sizes)
        if (stream.id > 0 && size.track_id == static_cast<uint32_t>(stream.id))
            return {size.width, size.height};
    return {0, 0};
}

} // namespace

Movie::Movie(std::shared_ptr<FileSource> source, const MovieHeader& header)
    : m_source(std::move(source)), m_header(header),
      m_clock(std::min<uint64_t>(header.duration, UINT32_MAX), header.time_scale) {}

Movie::~Movie() = default;

EngineResult Movie::open(std::shared_ptr<FileSource> source, bool growing,
                         std::unique_ptr<Movie>& out) {
    int64_t size = source->size();
    if (size < 0) return EngineErrorFileNotFound;
    uint64_t file_size = static_cast<uint64_t>(size);
    uint64_t data_end = growing ? received_data_end(*source, file_size) : file_size;
    AtomScan scan = scan_movie_atoms(*source, data_end, file_size);
    if (scan.result != EngineOk) return scan.result;
    // Times are rescaled with the scale as a signed rational.
    if (scan.header.time_scale > INT_MAX) return EngineErrorNotAMovie;

    IoContextPtr io = make_io_context(source);
    if (!io) return EngineErrorOutOfMemory;
    FormatContextPtr format;
    if (EngineResult result = open_demuxer(io.get(), format)) return result;
    if (format->nb_streams > max_tracks) return EngineErrorNotAMovie;

    std::unique_ptr<Movie> movie(new Movie(std::move(source), scan.header));
    movie->m_growing = growing;
    if (EngineResult result = movie->read_tracks(*format, scan.track_sizes)) return result;
    out = std::move(movie);
    return EngineOk;
}

EngineResult Movie::read_tracks(AVFormatContext& format,
                                const std::vector<TrackPictureSize>& sizes) {
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        const AVStream& stream = *format.streams[i];
        if (stream.time_base.num <= 0 || stream.time_base.den <= 0) return EngineErrorNotAMovie;
        MovieTrack track{static_cast<int>(i), stream.codecpar->codec_type, stream.time_base,
                         SampleTable(stream)};
        auto [width, height] = picture_size(stream, sizes);
        if (track.type == AVMEDIA_TYPE_VIDEO && !video_track() && width > 0 && height > 0 &&
            width <= max_picture_side && height <= max_picture_side) {
            m_natural_box = RECT{0, 0, width, height};
        }
        m_tracks.push_back(std::move(track));
    }
    m_box = m_natural_box;
    return EngineOk;
}

uint32_t Movie::duration() const {
    return static_cast<uint32_t>(std::min<uint64_t>(m_header.duration, UINT32_MAX));
}

const MovieTrack* Movie::video_track() const {
    if (m_natural_box.right == 0) return nullptr;
    for (const MovieTrack& track : m_tracks)
        if (track.type == AVMEDIA_TYPE_VIDEO && !track.samples.empty()) return &track;
    return nullptr;
}

int64_t Movie::to_track_time(uint64_t movie_time, const MovieTrack& track) const {
    return av_rescale_q(static_cast<int64_t>(movie_time),
                        AVRational{1, static_cast<int>(m_header.time_scale)}, track.time_base);
}

uint64_t Movie::data_needed_before(uint64_t time) const {
    // Nothing starts before the movie's start: the first span from 0 measures the whole
    // prefix its samples need, priming samples with negative times included.
    if (time == 0) return 0;
    uint64_t needed = 0;
    for (const MovieTrack& track : m_tracks) {
        // Rounded up, so a sample that starts inside the last unit before `time` counts.
        int64_t limit = av_rescale_q_rnd(static_cast<int64_t>(time),
                                         AVRational{1, static_cast<int>(m_header.time_scale)},
                                         track.time_base, AV_ROUND_UP);
        needed = std::max(needed, track.samples.prefix_end_before(limit));
    }
    return needed;
}

uint64_t Movie::span_data_size(uint64_t start, uint64_t length) const {
    return data_needed_before(start + length) - data_needed_before(start);
}

uint32_t Movie::now() const {
    return GetTickCount();
}

void Movie::set_active(bool active) {
    m_active = active;
    m_clock.set_frozen(!active, now());
}

uint32_t Movie::current_time() {
    return static_cast<uint32_t>(m_clock.time(now()));
}

int32_t Movie::current_rate() {
    return m_clock.rate(now());
}

void Movie::set_time(uint32_t time) {
    m_clock.set_time(time, now());
}

void Movie::set_rate(int32_t rate) {
    m_clock.set_rate(rate, now());
}

AudioPlayer* Movie::audio() {
    if (m_audio || m_audio_failed) return m_audio.get();
    for (const MovieTrack& track : m_tracks) {
        if (track.type != AVMEDIA_TYPE_AUDIO || track.samples.empty()) continue;
        if (AudioPlayer::open(m_source, track.stream_index, m_audio) == EngineOk) break;
    }
    m_audio_failed = !m_audio;
    return m_audio.get();
}

const AVFrame* Movie::decoded_frame(uint32_t time) {
    const MovieTrack* track = video_track();
    if (!track || m_video_failed) return nullptr;
    if (!m_video &&
        VideoDecoder::open(m_source, track->stream_index, track->samples, m_video) != EngineOk) {
        m_video_failed = true;
        return nullptr;
    }
    return m_video->frame_at(to_track_time(time, *track), track->samples);
}

int64_t Movie::frame_start_at(uint32_t time) {
    return decoded_frame(time) ? m_video->current_time() : AV_NOPTS_VALUE;
}

std::optional<uint32_t> Movie::ms_to_next_frame() {
    const MovieTrack* track = video_track();
    if (!track || !m_video) return std::nullopt;
    int64_t next = m_video->next_time();
    int32_t rate = current_rate();
    if (next == AV_NOPTS_VALUE || rate <= 0) return std::nullopt;
    int64_t next_units = av_rescale_q_rnd(
        next, track->time_base, AVRational{1, static_cast<int>(m_header.time_scale)}, AV_ROUND_UP);
    int64_t ahead = next_units - static_cast<int64_t>(current_time());
    if (ahead <= 0) return 0;
    // Units to milliseconds at the rate (16.16), rounded up so the wake finds the frame due.
    int64_t ms =
        av_rescale_rnd(ahead, 1000 * 0x10000, int64_t{m_header.time_scale} * rate, AV_ROUND_UP);
    // The rescale answers INT64_MIN when the result would not fit.
    return ms < 0 || ms > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(ms);
}

bool Movie::render_frame(uint32_t time, int width, int height, Picture& picture) {
    if (width <= 0 || height <= 0 || width > max_picture_side || height > max_picture_side)
        return false;
    const AVFrame* frame = decoded_frame(time);
    return frame && m_converter.convert(*frame, width, height, picture);
}

} // namespace lanternix::media
