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

// What a decoding loop makes of the answer to a read, send or receive call. "Needs more data"
// and "end of stream" are the normal outcomes of the send-receive-drain loop; a corrupted
// sample is skipped and decoding goes on; a failure stops the track.
enum class DecodeStatus {
    Ok,            // a packet read or taken, a frame received
    NeedsMoreData, // the decoder wants another packet before it gives a frame
    EndOfStream,   // everything has been read, or the decoder is drained
    Corrupted,     // this sample could not be decoded
    Failed,        // out of memory, an I/O error or an unsupported stream
};

DecodeStatus decode_status_from_av_error(int av_error);

} // namespace lanternix::media
