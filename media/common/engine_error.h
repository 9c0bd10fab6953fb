// The engine's failure results, and the one place where FFmpeg's error codes become them.
#pragma once

#include <engine_abi.h>

namespace lanternix::media {

// Every failure is nonzero and distinct from EngineNotAvailable, so a caller can tell an
// engine that refused from an engine that is missing.
enum EngineError : EngineResult {
    EngineOk = 0,
    EngineErrorBadHandle = 0x80010001u,    // not a handle this engine gave out
    EngineErrorBadParameter = 0x80010002u, // a null output, an unknown action or index
    EngineErrorFileNotFound = 0x80010003u, // the path cannot be opened for reading
    EngineErrorNotAMovie = 0x80010004u,    // no readable movie structure in the file
    EngineErrorIncomplete = 0x80010005u,   // the movie structure has not fully arrived
    EngineErrorNoSample = 0x80010006u,     // no sample at that time
    EngineErrorDecode = 0x80010007u,       // the decoder could not produce a picture
    EngineErrorOutOfMemory = 0x80010008u,
    EngineErrorNoVideo = 0x80010009u, // a picture was asked of a movie without video
};

// The engine result that stands for an FFmpeg error code (a negative AVERROR value).
EngineResult result_from_av_error(int av_error);

} // namespace lanternix::media
