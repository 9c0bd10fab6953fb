// MovieInstance: the playback rules. They run for every message that reaches the movie's
// window and for every half second of movie that arrives: no timer of the plug-in's own
// drives them. Each run is a flat list of small steps, read top to bottom.
#include "movie/movie_instance.h"

#include "engine/engine_operations.h"
#include "host/plugin_globals.h"

#include <stdint.h>

namespace {

// More than this share of the stream, in percent, must be in before an automatic start.
const float AutoStartPercent = 10.0f;
// Safety factors of the download estimate: starting, and resuming.
const float StartFactor = 1.3f;
const float ResumeFactor = 1.2f;
// Seconds of data needed ahead of a playing movie.
const double PlayingLookAhead = 1.5;
// The lead-time factor while stopped.
const float StoppedLeadFactor = 5.0f;
// Normal speed, 16.16.
const ULONG NormalRate = 0x10000;

ULONG CurrentRate(ULONG controller, ULONG* rate) {
    *rate = 0;
    return EngineControllerAction(controller, EngineActionGetRate, rate);
}

BOOL PreferenceSet(DWORD flag) {
    return PluginPreferences && (PluginPreferences->Flags & flag);
}

} // namespace

BOOL IsWindowActive(HWND hwnd) {
    HWND active = GetActiveWindow();
    if (!active) return FALSE;
    for (HWND window = hwnd; window; window = GetParent(window)) {
        if (window == active) return TRUE;
    }
    return FALSE;
}

LRESULT MovieInstance::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Mouse movement gives the controller a turn at once, as its tick would, so what it shows
    // follows the pointer without waiting for its timer.
    if (message == WM_MOUSEMOVE && Controller) EngineIdleController(Controller);
    LRESULT result = PluginInstance::WindowProc(hwnd, message, wParam, lParam);
    if (Controller && PlaybackTask(WindowHandle, message, wParam, lParam)) return 0;
    return result;
}

LRESULT MovieInstance::PlaybackTask(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)hwnd; // the rules always work on WindowHandle
    if (!Movie || !Controller) return 0;
    BOOL active = EngineIsMovieActive(Movie) != 0;
    // A half-loaded movie becomes active once every track's first sample is in.
    if (StreamLength > BytesWritten && BytesWritten > FirstSamplesEnd && !active) {
        EngineSetMovieActive(Movie, 1);
        // Three turns, as the plug-in has always given a newly active movie (the playback
        // tests expect exactly three): the first draws the first frame at once,
        // the others find nothing new to draw.
        for (int i = 0; i < 3; ++i)
            EngineIdleController(Controller);
        return 0;
    }
    if (!active) return 0;
    if (AutoPlay) StartAutomatically();
    ULONG now = EngineGetMovieTime(Movie, nullptr);
    ULONG rate = 0;
    CurrentRate(Controller, &rate);
    BOOL ok;
    float factor;
    if (rate) {
        ok = CheckDataAhead(static_cast<ULONG>(now + PlayingLookAhead * TimeScale), FALSE);
        // A playing movie gets a turn on every run of the rules as well as on its own ticks.
        EngineIdleController(Controller);
        factor = PlayingLeadFactor;
    } else {
        ok = CheckDataAhead(now, TRUE);
        factor = StoppedLeadFactor;
    }
    UpdateLeadTime(factor);
    BOOL windowActive = IsWindowActive(WindowHandle);
    if (ok && (!PreferenceSet(Preferences::PauseInBackground) || windowActive))
        ResumePlayback();
    else
        SuspendPlayback();
    if (LoopsLeft > 0) CountLoops();
    if (windowActive != WasActive) {
        EngineActivateController(Controller, WindowHandle, windowActive);
        WasActive = windowActive;
    }
    return EngineControllerEvent(Controller, WindowHandle, message, wParam, lParam);
}

void MovieInstance::StartAutomatically() {
    float percent = 0;
    BOOL fastEnough = DownloadFastEnough(StartFactor, &percent);
    if (!(percent > AutoStartPercent) || !(fastEnough || PreferenceSet(Preferences::StartSooner)))
        return;
    EngineControllerAction(Controller, EngineActionPlay,
                           EngineActionValue(PlayRateGiven ? PlayRate : NormalRate));
    // The action filter refuses a start while too little lies ahead of the position, and a
    // play that reaches it ends the automatic start. A refused automatic start is tried
    // again on a later run, or the movie would never start by itself.
    ULONG rate = 0;
    CurrentRate(Controller, &rate);
    AutoPlay = rate == 0;
    if (rate) UpdateLeadTime(PlayingLeadFactor);
}

void MovieInstance::CountLoops() {
    ULONG now = EngineGetMovieTime(Movie, nullptr);
    // Every run that finds the time lower than the run before counts as one loop.
    if (LastLoopTime > now && EngineIsMovieActive(Movie)) --LoopsLeft;
    LastLoopTime = now;
    if (LoopsLeft == 0) EngineControllerAction(Controller, EngineActionPlay, EngineActionValue(0));
}

void MovieInstance::SuspendPlayback() {
    ULONG rate = 0;
    if (CurrentRate(Controller, &rate) != 0 || rate == 0) return;
    EngineControllerAction(Controller, EngineActionPlay, EngineActionValue(0));
    Suspended = TRUE;
    SuspendedRate = static_cast<LONG>(rate);
}

void MovieInstance::ResumePlayback() {
    if (!Suspended) return;
    if (!DownloadFastEnough(ResumeFactor) && !PreferenceSet(Preferences::StartSooner)) return;
    EngineControllerAction(Controller, EngineActionPlay,
                           EngineActionValue(static_cast<ULONG>(SuspendedRate)));
    ULONG rate = 0;
    CurrentRate(Controller, &rate);
    // The filter may have refused the play: then a later run tries again.
    if (rate) Suspended = FALSE;
}

LONG MovieInstance::ControllerActionFilter(ULONG controller, ULONG action, void* parameter,
                                           void* instance) {
    (void)controller;
    MovieInstance* movie = static_cast<MovieInstance*>(instance);
    if (!movie) return 0;
    const EngineTimeRecord* record = static_cast<const EngineTimeRecord*>(parameter);
    switch (action) {
    case EngineActionPlay: {
        // A stop always passes; any play ends the automatic start, allowed or not.
        if (!parameter) return 0;
        movie->AutoPlay = FALSE;
        movie->UpdateLeadTime(PlayingLeadFactor);
        double target =
            EngineGetMovieTime(movie->Movie, nullptr) + PlayingLookAhead * movie->TimeScale;
        return movie->CheckDataAhead(static_cast<ULONG>(target), FALSE) ? 0 : 1;
    }
    case EngineActionGoToTime:
        if (!record) return 1;
        return movie->CheckDataAhead(record->ValueLow, FALSE) ? 0 : 1;
    case EngineActionSetSelectionStart:
        return record && record->ValueLow == 0 ? 0 : 1;
    case EngineActionSetSelectionLength:
        return record && record->ValueLow == movie->LoadedTime ? 0 : 1;
    default:
        return 0;
    }
}
