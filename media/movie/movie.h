// A movie: the file's tracks and where their samples lie, the movie's time, its box, and the
// decoders that turn its samples into pictures and sound.
#pragma once

#include "common/file_source.h"
#include "common/movie_atoms.h"
#include "movie/audio_player.h"
#include "movie/frame_converter.h"
#include "movie/movie_clock.h"
#include "movie/sample_table.h"
#include "movie/video_decoder.h"

#include <windef.h>

#include <memory>
#include <optional>
#include <vector>

namespace lanternix::media {

struct MovieTrack {
    int stream_index = 0;
    AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
    AVRational time_base{1, 1};
    SampleTable samples;
};

class Movie {
  public:
    // Opens the movie in `source`. `growing` says the file may still be arriving, so only
    // its received part counts as data.
    static EngineResult open(std::shared_ptr<FileSource> source, bool growing,
                             std::unique_ptr<Movie>& out);
    ~Movie();

    uint32_t duration() const; // in movie units, at most 32 bits
    uint32_t time_scale() const { return m_header.time_scale; }
    const std::vector<MovieTrack>& tracks() const { return m_tracks; }
    bool growing() const { return m_growing; }

    // File bytes the span needs: need(start + length) - need(start), where need(t) is the end
    // of the smallest file prefix that holds every sample of every track starting before t.
    uint64_t span_data_size(uint64_t start, uint64_t length) const;
    uint64_t data_needed_before(uint64_t time) const;

    RECT natural_box() const { return m_natural_box; }
    RECT box() const { return m_box; }
    void set_box(const RECT& box) { m_box = box; }

    bool active() const { return m_active; }
    void set_active(bool active);

    MovieClock& clock() { return m_clock; }
    uint32_t now() const; // the desktop clock's tick count
    uint32_t current_time();
    int32_t current_rate();
    void set_time(uint32_t time);
    void set_rate(int32_t rate);

    // The video frame at a movie time, converted to BGRA at `width` x `height` into
    // `picture`; false without video or when no frame can be decoded.
    bool render_frame(uint32_t time, int width, int height, Picture& picture);
    // The start (track time) of the video frame shown at a movie time, decoding up to it;
    // AV_NOPTS_VALUE without video or when nothing can be decoded. A caller that keeps a
    // converted frame converts again only when this changes.
    int64_t frame_start_at(uint32_t time);
    // Milliseconds of the desktop clock until the next video frame is due, while the movie
    // plays forward and that frame is decoded; nothing otherwise.
    std::optional<uint32_t> ms_to_next_frame();
    bool has_video() const { return video_track() != nullptr; }

    // The player of the first sound track, made on first use; null without sound.
    AudioPlayer* audio();
    const std::shared_ptr<FileSource>& source() const { return m_source; }

  private:
    Movie(std::shared_ptr<FileSource> source, const MovieHeader& header);
    const MovieTrack* video_track() const;
    // The decoded frame shown at a movie time, opening the decoder on first use.
    const AVFrame* decoded_frame(uint32_t time);
    EngineResult read_tracks(AVFormatContext& format, const std::vector<TrackPictureSize>& sizes);
    int64_t to_track_time(uint64_t movie_time, const MovieTrack& track) const;

    std::shared_ptr<FileSource> m_source;
    MovieHeader m_header;
    bool m_growing = false;
    std::vector<MovieTrack> m_tracks;
    RECT m_natural_box{};
    RECT m_box{};
    bool m_active = false;
    MovieClock m_clock;
    std::unique_ptr<VideoDecoder> m_video;
    bool m_video_failed = false;
    FrameConverter m_converter;
    std::unique_ptr<AudioPlayer> m_audio;
    bool m_audio_failed = false;
};

} // namespace lanternix::media
