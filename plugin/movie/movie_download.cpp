// MovieInstance: the download. Every block of the stream goes into the cache file at once;
// the first atom header decides how early the movie may be opened from the part that has
// arrived, and the stream's end opens it from the whole file.
#include "movie/movie_instance.h"

#include "engine/engine_operations.h"
#include "resource.h"

#include <stdint.h>
#include <string.h>

namespace {

// No early open before the stream has run this long, in milliseconds.
const ULONG EarlyOpenDelay = 120;

// A movie whose movie atom comes first opens once more than this many bytes are in.
const LONG MovieFirstMargin = 8000;
// Any other movie opens once its first atom and more than this many further bytes are in.
const LONG MovieLaterMargin = 32768;

// The first atom header: a big-endian size, then the type.
const int AtomHeaderSize = 8;

ULONG BigEndian32(const unsigned char* bytes) {
    return (ULONG(bytes[0]) << 24) | (ULONG(bytes[1]) << 16) | (ULONG(bytes[2]) << 8) |
           ULONG(bytes[3]);
}

} // namespace

NPError MovieInstance::NewStream(NPMIMEType type, NPStream* stream, NPBool seekable,
                                 unsigned short* stype) {
    PluginInstance::NewStream(type, stream, seekable, stype);
    ShowStatusMessage(IDS_STATUS_BASE, IDS_EXAMINING_MOVIE - IDS_STATUS_BASE, FALSE);
    // One cache file per instance: a second stream does not replace the file (and the handle)
    // of the first.
    if (CacheFilePath[0]) return NPERR_NO_ERROR;
    StreamStartTick = GetTickCount();
    if (!CreateCacheFile()) {
        ShowPicture(IDB_POSTER, IDB_POSTER, TRUE);
        ShowStatusMessage(IDS_STATUS_BASE, IDS_CANNOT_CREATE_FILE - IDS_STATUS_BASE, FALSE);
        Failed = TRUE;
    }
    return NPERR_NO_ERROR;
}

int32 MovieInstance::Write(NPStream* stream, int32 offset, int32 len, void* buffer) {
    (void)offset; // blocks are appended in the order they come
    if (Failed) return 0;
    // Without an open cache file there is nowhere to put the block: the host ends the stream.
    if (!CacheFile) return -1;
    StreamLength = stream ? static_cast<LONG>(stream->end) : 0;
    ULONG now = GetTickCount();
    if (!Movie) OpenEarly(now);
    _llseek(CacheFile, BytesWritten, FILE_BEGIN);
    LONG written = _hwrite(CacheFile, static_cast<LPCCH>(buffer), len);
    // A failed write counts nothing: the file keeps what it had and the host ends the stream.
    if (written > 0) BytesWritten += written;
    ExamineHeader();
    ReportProgress();
    return written;
}

void MovieInstance::ReportProgress() {
    if (ControllerHidden || !Controller || !Movie) return;
    // Each half second of movie that has arrived moves the loaded part on and gives the
    // playback rules one more step. A time scale below 2 has no half second to step by.
    ULONG half = TimeScale / 2;
    if (!half) return;
    for (uint64_t position = uint64_t(LoadedTime) + half; position < Duration; position += half) {
        if (!CheckDataAhead(static_cast<ULONG>(position), FALSE)) break;
        PlaybackTask(WindowHandle, WM_USER, 0, 0);
    }
}

void MovieInstance::OpenEarly(ULONG now) {
    // Every count here is from before the block being written.
    BOOL allAnnounced = static_cast<ULONG>(BytesWritten) >= static_cast<ULONG>(StreamLength);
    BOOL longEnough = StreamStartTick + EarlyOpenDelay < now;
    BOOL enoughData = int64_t(OpenThresholdBase) + OpenThresholdMargin < BytesWritten;
    if (!allAnnounced && !(longEnough && enoughData)) return;
    ShowPicture(-1, -1, FALSE);
    ShowStatusMessage(-1, -1, FALSE);
    // A movie that does not open yet is tried again with the next block, without a word.
    Movie = OpenMovie(CacheFilePath);
    if (Movie) LayOutMovie();
}

void MovieInstance::ExamineHeader() {
    if (HeaderExamined || static_cast<ULONG>(BytesWritten) <= AtomHeaderSize) return;
    HeaderExamined = TRUE;
    unsigned char header[AtomHeaderSize] = {};
    HFILE file = _lopen(CacheFilePath, OF_READ);
    if (file != HFILE_ERROR) {
        _llseek(file, 0, FILE_BEGIN);
        _lread(file, header, AtomHeaderSize);
        _lclose(file);
    }
    if (memcmp(header + 4, "moov", 4) == 0) {
        OpenThresholdBase = 0;
        OpenThresholdMargin = MovieFirstMargin;
        ShowStatusMessage(IDS_STATUS_BASE, IDS_STREAMING - IDS_STATUS_BASE, FALSE);
    } else {
        // Whatever comes first (media data, free space) stands before the movie atom.
        OpenThresholdBase = static_cast<LONG>(BigEndian32(header));
        OpenThresholdMargin = MovieLaterMargin;
        ShowStatusMessage(IDS_STATUS_BASE, IDS_DOWNLOADING - IDS_STATUS_BASE, FALSE);
    }
}

NPError MovieInstance::DestroyStream(NPStream* stream, NPError reason) {
    (void)stream;
    if (Failed) return NPERR_NO_ERROR;
    if (CacheFile) {
        _lclose(CacheFile);
        CacheFile = 0;
    }
    // A stream that ended short leaves everything as it is: an early-opened movie plays as
    // far as its data goes, otherwise the poster and the last status line stay.
    if (StreamLength > BytesWritten || !CacheFilePath[0]) return NPERR_NO_ERROR;
    StreamComplete = reason == NPRES_DONE && BytesWritten > 0;
    if (Movie)
        ReopenMovie();
    else
        OpenAtEnd();
    return NPERR_NO_ERROR;
}

void MovieInstance::OpenAtEnd() {
    Movie = OpenMovie(CacheFilePath);
    if (!Movie) {
        ShowPicture(IDB_POSTER, IDB_POSTER, FALSE);
        return;
    }
    LayOutMovie();
    ShowPicture(-1, -1, TRUE);
    ShowStatusMessage(-1, -1, FALSE);
}

void MovieInstance::ReopenMovie() {
    SHORT volume = 0;
    ULONG rate = 0;
    EngineTimeRecord time = {};
    RECT box = {};
    EngineControllerAction(Controller, EngineActionGetVolume, &volume);
    EngineControllerAction(Controller, EngineActionGetRate, &rate);
    EngineControllerAction(Controller, EngineActionPlay, EngineActionValue(0));
    ULONG position = EngineGetMovieTime(Movie, &time);
    EngineGetMovieBox(Movie, &box);
    EngineDetachMovie(Controller);
    EngineDisposeMovie(Movie);
    Movie = OpenMovie(CacheFilePath);
    if (!Movie) return;
    EngineSetMovieBox(Movie, &box);
    EngineControllerSetMovie(Controller, Movie, WindowHandle, box.left, box.top);
    EngineControllerMovieChanged(Controller, Movie);
    time.ValueLow = position;
    time.ValueHigh = 0;
    EngineControllerAction(Controller, EngineActionGoToTime, &time);
    EngineControllerAction(Controller, EngineActionSetVolume,
                           EngineActionValue(static_cast<USHORT>(volume)));
    EngineControllerAction(Controller, EngineActionPlay, EngineActionValue(rate));
    // During the download the selection covered the loaded part; now it is the whole movie,
    // which is all loaded: the action filter lets a selection through only up to the loaded
    // time. Reading the selection start first gives the record the controller's scale and
    // base.
    LoadedTime = Duration;
    LoadedBytes = BytesWritten;
    EngineControllerAction(Controller, EngineActionGetSelectionStart, &time);
    time.ValueLow = 0;
    time.ValueHigh = 0;
    EngineControllerAction(Controller, EngineActionSetSelectionStart, &time);
    time.ValueLow = Duration;
    EngineControllerAction(Controller, EngineActionSetSelectionLength, &time);
    EngineSetMovieActive(Movie, 1);
    // The new movie shows the same picture as the old one: nothing needs repainting.
    ValidateRgn(WindowHandle, nullptr);
}
