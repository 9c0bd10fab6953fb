// MovieInstance: opening the cache file as an engine movie, complete or still arriving, and
// the first layout of the movie and its controller in the window.
#include "movie/movie_instance.h"

#include "engine/engine_operations.h"
#include "resource.h"

#include <limits.h>
#include <stdint.h>

namespace {

// The size of the buffers LoadStringResource fills, zero included.
const int StringBufferSize = 256;

} // namespace

BOOL MovieInstance::GrowCacheFile() {
    // The placeholder is the count of bytes still to come, little-endian, in the bytes that
    // end at the announced length. With fewer than 4 bytes to come only those bytes are
    // written, so no received byte is ever overwritten.
    ULONG remaining = static_cast<ULONG>(StreamLength - BytesWritten);
    unsigned char placeholder[4] = {
        static_cast<unsigned char>(remaining), static_cast<unsigned char>(remaining >> 8),
        static_cast<unsigned char>(remaining >> 16), static_cast<unsigned char>(remaining >> 24)};
    LONG count = remaining < sizeof placeholder ? static_cast<LONG>(remaining) : 4;
    if (_llseek(CacheFile, StreamLength - count, FILE_BEGIN) == HFILE_ERROR) return FALSE;
    return _hwrite(CacheFile, reinterpret_cast<LPCCH>(placeholder), count) == count;
}

ULONG MovieInstance::OpenMovie(const char* path) {
    ULONG movie = 0;
    ULONG error = 0;
    if (StreamLength > BytesWritten) {
        // The file is still arriving: give it its full length first, which also makes sure
        // the disk has room for the whole movie.
        if (!GrowCacheFile()) {
            char message[StringBufferSize];
            LoadStringResource(message, IDS_STATUS_BASE, IDS_OUT_OF_DISK_SPACE - IDS_STATUS_BASE);
            Failed = TRUE;
            MessageBoxA(nullptr, message, "Error", MB_OK);
            return 0;
        }
        HFILE file = _lopen(path, OF_READ);
        if (file == HFILE_ERROR) return 0;
        EngineNewMovieFromOpenFile(&movie, file, 0, 0);
        error = EngineGetLastError();
        _lclose(file);
    } else {
        ULONG fileReference = 0;
        if (EngineOpenMovieFile(path, &fileReference, 0) == 0) {
            EngineNewMovieFromFile(&movie, fileReference, 0, 0, 0, 0);
            EngineCloseMovieFile(fileReference);
        }
        error = EngineGetLastError();
    }
    // An engine that reports an error yet made a movie gets it back; one that made none
    // without an error has not opened anything either.
    if (error != 0 && movie) EngineDisposeMovie(movie);
    if (error != 0 || !movie) return 0;
    Duration = EngineGetMovieDuration(movie);
    TimeScale = EngineGetMovieTimeScale(movie);
    LONG start = 0, span = 0;
    MeasureFirstSamples(movie, &start, &span);
    if (start > 0 && span > 0) {
        int64_t end = int64_t(start) + span;
        FirstSamplesEnd = end > LONG_MAX ? LONG_MAX : static_cast<LONG>(end);
    }
    return movie;
}

void MovieInstance::MeasureFirstSamples(ULONG movie, LONG* start, LONG* span) {
    SHORT count = static_cast<SHORT>(EngineGetTrackCount(movie));
    ULONG lowest = 0xFFFFFFFFu, highest = 0;
    for (SHORT index = 1; index <= count && index > 0; ++index) {
        ULONG track = EngineGetTrackByIndex(movie, static_cast<ULONG>(index));
        ULONG media = EngineGetTrackMedia(track);
        ULONG offset = 0, size = 0, sampleTime = 0, sampleDuration = 0, sampleCount = 0;
        if (EngineGetSampleLocation(media, &offset, &size, 0, &sampleTime, &sampleDuration, nullptr,
                                    nullptr, 1, &sampleCount, nullptr) != 0) {
            *start = -1;
            *span = -1;
            return;
        }
        if (offset < lowest) lowest = offset;
        if (offset + size > highest) highest = offset + size;
    }
    *start = static_cast<LONG>(lowest);
    *span = static_cast<LONG>(highest - lowest);
}

int MovieInstance::LayOutMovie() {
    RECT box = {};
    EngineGetMovieBox(Movie, &box);
    OffsetRect(&box, -box.left, -box.top);
    // Without a window record yet, the movie keeps its natural size and the controller is
    // laid out around it, as if the window had been made to measure.
    RECT window = {0, 0, box.right,
                   box.bottom + (ControllerHidden ? 0 : EngineControllerBarHeight)};
    if (WindowRecord) {
        window.right = static_cast<LONG>(WindowRecord->width);
        window.bottom = static_cast<LONG>(WindowRecord->height);
    }
    RECT area = window;
    if (!ControllerHidden)
        area.bottom =
            area.bottom > EngineControllerBarHeight ? area.bottom - EngineControllerBarHeight : 0;
    if (!ScaleMovieToFit && box.bottom <= area.bottom && box.right <= area.right)
        EngineSetMovieBox(Movie, &box);
    else
        EngineSetMovieBox(Movie, &area);
    // A movie without a length or a time scale has no byte rate; 0 stands for "unknown".
    MovieByteRate = Duration && TimeScale ? StreamLength / (double(Duration) / TimeScale) : 0.0;
    UpdateLeadTime(PlayingLeadFactor);
    ULONG flags = 0;
    if (TopLeftMovie) flags |= EngineControllerTopLeft;
    if (ScaleMovieToFit) flags |= EngineControllerScaleToFit;
    if (WithBadge) flags |= EngineControllerBadge;
    if (ControllerHidden) flags |= EngineControllerHidden;
    Controller = EngineNewController(Movie, &window, flags, WindowHandle);
    if (Controller) {
        EngineSetActionFilter(Controller, ControllerActionFilter, this);
        RECT noResizing = {};
        EngineControllerAction(Controller, EngineActionSetResizeBounds, &noResizing);
        ULONG on = 1;
        if (Loop) {
            EngineControllerAction(Controller, EngineActionSetLooping, &on);
            if (Palindrome) EngineControllerAction(Controller, EngineActionSetPalindrome, &on);
        }
        EngineControllerAction(Controller, EngineActionEnableKeys, EngineActionValue(1));
    }
    // A movie still streaming stays inactive until its first samples have arrived.
    if (BytesWritten >= StreamLength) EngineSetMovieActive(Movie, 1);
    return 0;
}
