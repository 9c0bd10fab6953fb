// Decodes one video track to the frame shown at a given time.
//
// Decoding is sequential: a later time decodes on from where the decoder stands, and only a
// jump backwards or past the next key sample seeks (to the key sample before the target).
// One decoder serves the track for the movie's whole life, and the palette of 8-bit tracks,
// which the demuxer hands out only once, is kept and given again after every seek.
//
// Some writers mark every sample of a track as a key sample even when its codec predicts
// pictures from earlier ones. Such a track has no usable sync table: a jump forward decodes
// on, and a jump backward decodes from the track's start.
#pragma once

#include "movie/sample_table.h"
#include "movie/track_demuxer.h"

#include <memory>
#include <vector>

namespace lanternix::media {

class VideoDecoder {
  public:
    static EngineResult open(std::shared_ptr<FileSource> source, int stream_index,
                             const SampleTable& samples, std::unique_ptr<VideoDecoder>& out);

    // The frame shown at `time` (track time base): the last frame that starts at or before
    // it, or the first frame when none does. Null when nothing can be decoded.
    const AVFrame* frame_at(int64_t time, const SampleTable& samples);
    // The start of the frame frame_at last answered, or AV_NOPTS_VALUE.
    int64_t current_time() const { return m_have_frame ? m_frame_time : AV_NOPTS_VALUE; }
    // The start of the frame decoded after that one, when the decoder has it; else
    // AV_NOPTS_VALUE.
    int64_t next_time() const { return m_have_pending ? frame_time(*m_pending) : AV_NOPTS_VALUE; }

  private:
    VideoDecoder() = default;
    bool needs_seek(int64_t time, const SampleTable& samples) const;
    void seek(int64_t time);
    // Decodes until a frame starting after `time` is waiting; false at the end of the track.
    bool decode_past(int64_t time);
    bool send_next_packet();
    static int64_t frame_time(const AVFrame& frame);

    std::unique_ptr<TrackDemuxer> m_demuxer;
    CodecContextPtr m_codec;
    PacketPtr m_packet;
    FramePtr m_frame;   // the frame at the last time asked
    FramePtr m_pending; // the decoded frame after it, when there is one
    int64_t m_frame_time = 0;
    bool m_have_frame = false;
    bool m_have_pending = false;
    bool m_drained = false;
    bool m_after_seek = true;
    bool m_sync_usable = true; // whether key samples are what their marks say
    int64_t m_first_time = 0;  // the first sample's decode time
    std::vector<uint8_t> m_palette;
};

} // namespace lanternix::media
