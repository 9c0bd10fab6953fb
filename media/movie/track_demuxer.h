// A demuxer of its own for one track, over the movie's file.
//
// Each decoding track reads the file through its own demuxer with every other track
// discarded, so the demuxer skips their samples instead of reading them, and a seek in one
// track does not disturb another. The stream information pass is never run: the codec
// parameters are known once the movie atom has been read, and that pass reads and decodes
// ahead into data that may not have arrived.
#pragma once

#include "common/ffmpeg_types.h"
#include "common/file_source.h"

#include <engine_abi.h>

#include <memory>

namespace lanternix::media {

class TrackDemuxer {
  public:
    // Opens the movie in `source` and keeps only stream `stream_index`.
    static EngineResult open(std::shared_ptr<FileSource> source, int stream_index,
                             std::unique_ptr<TrackDemuxer>& out);

    AVStream* stream() const { return m_format->streams[m_stream_index]; }
    // The next sample of the track; an AVERROR code at the end or on failure.
    int read(AVPacket* packet);
    // Moves to the key sample at or before `time` (track time base).
    int seek(int64_t time);

  private:
    TrackDemuxer() = default;

    IoContextPtr m_io;
    FormatContextPtr m_format;
    int m_stream_index = 0;
};

// Opens the movie's demuxer over `io` without the stream information pass.
EngineResult open_demuxer(AVIOContext* io, FormatContextPtr& out);

} // namespace lanternix::media
