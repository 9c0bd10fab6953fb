#include "common/engine_error.h"

extern "C" {
#include <libavutil/error.h>
}

#include <cerrno>

namespace lanternix::media {

EngineResult result_from_av_error(int av_error) {
    if (av_error >= 0) return EngineOk;
    switch (av_error) {
    case AVERROR(ENOMEM):
        return EngineErrorOutOfMemory;
    case AVERROR(ENOENT):
    case AVERROR(EACCES):
        return EngineErrorFileNotFound;
    case AVERROR_EOF:
        return EngineErrorNoSample;
    case AVERROR_INVALIDDATA:
    case AVERROR_DEMUXER_NOT_FOUND:
    case AVERROR_STREAM_NOT_FOUND:
        return EngineErrorNotAMovie;
    case AVERROR_DECODER_NOT_FOUND:
    case AVERROR_PATCHWELCOME:
        return EngineErrorDecode;
    default:
        return EngineErrorDecode;
    }
}

DecodeStatus decode_status_from_av_error(int av_error) {
    if (av_error >= 0) return DecodeStatus::Ok;
    switch (av_error) {
    case AVERROR(EAGAIN):
        return DecodeStatus::NeedsMoreData;
    case AVERROR_EOF:
        return DecodeStatus::EndOfStream;
    // Decoders answer a malformed sample with either of these.
    case AVERROR_INVALIDDATA:
    case AVERROR(EINVAL):
        return DecodeStatus::Corrupted;
    default:
        return DecodeStatus::Failed;
    }
}

} // namespace lanternix::media
