// MovieInstance: how the download's pace compares with the movie's own, and whether the data
// a movie time needs has arrived. These estimates decide when playing may start, go on, or
// must wait for the download.
#include "movie/movie_instance.h"

#include "engine/engine_operations.h"

#include <math.h>
#include <stdint.h>

namespace {

const double ShortestLeadTime = 1.5;
const double LongestLeadTime = 5.0;
// Never ask for more than this share of the whole movie ahead.
const double LeadShareOfMovie = 0.2;
const double MillisecondsPerSecond = 1000.0;

} // namespace

void MovieInstance::UpdateLeadTime(float factor) {
    double elapsed = (double(GetTickCount()) - double(StreamStartTick)) / MillisecondsPerSecond;
    // How many times slower than real time the data arrives, scaled by the factor. Nothing
    // received yet makes it unbounded; no time passed yet makes the arrival instant.
    double raw;
    if (BytesWritten <= 0)
        raw = INFINITY;
    else if (elapsed <= 0.0)
        raw = 0.0;
    else
        raw = factor * MovieByteRate / (BytesWritten / elapsed);
    if (raw < ShortestLeadTime) {
        LeadTime = ShortestLeadTime;
    } else {
        double movieShare = TimeScale ? LeadShareOfMovie * Duration / TimeScale : INFINITY;
        LeadTime = movieShare < raw ? movieShare : raw;
    }
    if (LeadTime > LongestLeadTime) LeadTime = LongestLeadTime;
}

BOOL MovieInstance::DownloadFastEnough(float factor, float* percent) {
    // A stream of unknown length counts as all there: the share is unbounded and the
    // download time estimate 0.
    float received = StreamLength ? float(BytesWritten * 100.0 / StreamLength) : INFINITY;
    if (percent) *percent = received;
    ULONG elapsed = GetTickCount() - StreamStartTick;
    // A movie without a time scale has no seconds left to measure, and nothing received
    // gives no estimate at all: neither is fast enough.
    if (!TimeScale || !(received > 0.0f)) return FALSE;
    ULONG secondsLeft = (Duration - EngineGetMovieTime(Movie, nullptr)) / TimeScale;
    double total = elapsed * 100.0 / received;
    if (!(total < 9.0e15)) return FALSE;
    int64_t downloadLeft = (int64_t(total) - int64_t(elapsed)) / 1000;
    double product = trunc(double(downloadLeft) * factor);
    // A negative product is a huge number as an unsigned one: never fast enough.
    return product >= 0.0 && product < double(secondsLeft);
}

BOOL MovieInstance::CheckDataAhead(ULONG time, BOOL withLead) {
    if (!Movie) return FALSE;
    if (BytesWritten >= StreamLength) return TRUE;
    if (time > Duration) time = Duration;
    uint64_t target = time;
    if (withLead) target += uint64_t(TimeScale * LeadTime);
    // Near the end, look halfway to it instead.
    if (target >= Duration) target = time + ((Duration - time) >> 1) - 1;
    ULONG until = static_cast<ULONG>(target);
    LONG need;
    if (MeasuredTime && MeasuredTime < until)
        need = MeasuredBytes +
               static_cast<LONG>(EngineGetSpanDataSize(Movie, MeasuredTime, until - MeasuredTime));
    else
        need = static_cast<LONG>(EngineGetSpanDataSize(Movie, 0, until));
    MeasuredBytes = need;
    MeasuredTime = until;
    BOOL ok = BytesWritten > need;
    if (ok && until > LoadedTime) {
        LoadedBytes = need;
        LoadedTime = until;
        if (!ControllerHidden && Controller) {
            // The controller's selection shows the loaded part: from 0 to LoadedTime.
            EngineTimeRecord record = {};
            EngineControllerAction(Controller, EngineActionGetSelectionStart, &record);
            if (record.ValueLow || record.ValueHigh) {
                record.ValueLow = record.ValueHigh = 0;
                EngineControllerAction(Controller, EngineActionSetSelectionStart, &record);
            }
            record.ValueLow = LoadedTime;
            record.ValueHigh = 0;
            EngineControllerAction(Controller, EngineActionSetSelectionLength, &record);
        }
    }
    return ok;
}
