#include "movie/track_demuxer.h"

#include "common/engine_error.h"

namespace lanternix::media {

EngineResult open_demuxer(AVIOContext* io, FormatContextPtr& out) {
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) return EngineErrorOutOfMemory;
    raw->pb = io;
    raw->flags |= AVFMT_FLAG_CUSTOM_IO;
    // Only the movie format: the engine's files are movies, and probing every format over a
    // growing file would read ahead for nothing.
    const AVInputFormat* format = av_find_input_format("mov");
    AVDictionary* options = nullptr;
    // Hostile files can declare huge numbers of streams and entries; the demuxer's own limits
    // apply, and it must not chase references to other files.
    av_dict_set(&options, "enable_drefs", "0", 0);
    int error = avformat_open_input(&raw, nullptr, format, &options);
    av_dict_free(&options);
    if (error < 0) return result_from_av_error(error); // raw was freed by the failed open
    out.reset(raw);
    return EngineOk;
}

EngineResult TrackDemuxer::open(std::shared_ptr<FileSource> source, int stream_index,
                                std::unique_ptr<TrackDemuxer>& out) {
    std::unique_ptr<TrackDemuxer> demuxer(new TrackDemuxer);
    demuxer->m_io = make_io_context(std::move(source));
    if (!demuxer->m_io) return EngineErrorOutOfMemory;
    if (EngineResult result = open_demuxer(demuxer->m_io.get(), demuxer->m_format)) return result;
    if (stream_index < 0 || stream_index >= static_cast<int>(demuxer->m_format->nb_streams))
        return EngineErrorBadParameter;
    for (unsigned i = 0; i < demuxer->m_format->nb_streams; ++i)
        demuxer->m_format->streams[i]->discard =
            static_cast<int>(i) == stream_index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    demuxer->m_stream_index = stream_index;
    out = std::move(demuxer);
    return EngineOk;
}

int TrackDemuxer::read(AVPacket* packet) {
    for (;;) {
        int error = av_read_frame(m_format.get(), packet);
        if (error < 0) return error;
        if (packet->stream_index == m_stream_index) return 0;
        av_packet_unref(packet);
    }
}

int TrackDemuxer::seek(int64_t time) {
    return av_seek_frame(m_format.get(), m_stream_index, time, AVSEEK_FLAG_BACKWARD);
}

} // namespace lanternix::media
