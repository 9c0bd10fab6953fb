// MovieInstance: construction, the engine check of New, and the teardown of the movie, its
// controller and the cache file.
#include "movie/movie_instance.h"

#include "engine/engine_operations.h"
#include "host/plugin_globals.h"
#include "resource.h"

namespace {

// How far ahead of the play position the movie must be loaded, in seconds, until the
// download has been going long enough for its speed to be measured.
const double InitialLeadTime = 1.5;

// The size of the buffers LoadStringResource fills, zero included.
const int StringBufferSize = 256;

} // namespace

MovieInstance::MovieInstance()
    : Movie(0), Controller(0), CacheFilePath(), WasActive(TRUE), MeasuredTime(0), MeasuredBytes(0),
      CacheFile(0), StreamStartTick(0), BytesWritten(0), SuspendedRate(0), Suspended(FALSE),
      FirstSamplesEnd(0), Duration(0), TimeScale(0), Loop(FALSE), Palindrome(FALSE),
      AutoPlay(FALSE), TopLeftMovie(FALSE), ScaleMovieToFit(FALSE), WithBadge(FALSE),
      ControllerHidden(FALSE), PlayRateGiven(FALSE), PlayRate(0), LoopsLeft(-1),
      LeadTime(InitialLeadTime), MovieByteRate(0.0), OpenThresholdBase(0), OpenThresholdMargin(0),
      HeaderExamined(FALSE), LastLoopTime(0), LoadedTime(0), LoadedBytes(0), WithFrame(FALSE),
      PlayEveryFrame(FALSE), VolumeGiven(FALSE), Volume(0) {
    // CacheFilePath and TimeScale get their real values from the stream and from the opened
    // movie before anything reads them; they start empty and 0 only so that nothing in the
    // object is left undefined.
    WindowHandle = nullptr;
}

MovieInstance::~MovieInstance() {
    // The controller lets go of its movie before the movie goes, and the movie goes before
    // the controller, so neither is ever left pointing at the other after it is gone.
    if (Controller) EngineDetachMovie(Controller);
    if (Movie) {
        EngineDisposeMovie(Movie);
        Movie = 0;
    }
    if (Controller) {
        EngineDisposeController(Controller);
        Controller = 0;
    }
    if (CacheFile) {
        _lclose(CacheFile);
        CacheFile = 0;
    }
    // Still to come with the download into the cache file: deleting the closed cache file,
    // or keeping it in the cache directory under the movie's own name when the preferences
    // ask for that and the whole stream arrived.
}

NPError MovieInstance::New(NPMIMEType pluginType, NPP instance, unsigned short mode, short argc,
                           char* argn[], char* argv[], NPSavedData* saved) {
    SavedData = saved;
    Next = nullptr;
    if (!EngineAvailable) {
        // Without an engine the instance can do nothing: it tells the user once and then
        // ignores its stream for the rest of its life.
        Failed = TRUE;
        char message[StringBufferSize];
        LoadStringResource(message, IDS_MENU_BASE, IDS_NO_ENGINE - IDS_MENU_BASE);
        MessageBoxA(nullptr, message, "Error", MB_OK);
        return NPERR_GENERIC_ERROR;
    }
    // The base reads the page attributes; what it reports does not change the outcome.
    PluginInstance::New(pluginType, instance, mode, argc, argn, argv, saved);
    ReadMovieAttributes(argc, argn, argv);
    ApplyLoopLimit();
    return NPERR_NO_ERROR;
}

// Still the base's: the cache file is not created yet.
NPError MovieInstance::NewStream(NPMIMEType type, NPStream* stream, NPBool seekable,
                                 unsigned short* stype) {
    return PluginInstance::NewStream(type, stream, seekable, stype);
}

// Still the base's: blocks are not yet written to the cache file, nor is the movie opened
// early or the download's progress reported.
int32 MovieInstance::Write(NPStream* stream, int32 offset, int32 len, void* buffer) {
    return PluginInstance::Write(stream, offset, len, buffer);
}

// Still the base's: the final opening, or re-opening, of the movie from the complete cache
// file is not done yet.
NPError MovieInstance::DestroyStream(NPStream* stream, NPError reason) {
    return PluginInstance::DestroyStream(stream, reason);
}

// Still the base's: the movie's frame is not printed yet.
void MovieInstance::Print(NPPrint* platformPrint) {
    PluginInstance::Print(platformPrint);
}

// Still the base's: the playback rules do not run yet and the controller is not offered
// the window's messages.
LRESULT MovieInstance::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return PluginInstance::WindowProc(hwnd, message, wParam, lParam);
}

// Still the base's: the movie's own items (play or pause, open, save, copy) are not added
// to the context menu yet.
void MovieInstance::TrackContextMenu(int x, int y) {
    PluginInstance::TrackContextMenu(x, y);
}

// Still the base's: the movie's own menu commands are not carried out yet.
void MovieInstance::DoMenuCommand(short command) {
    PluginInstance::DoMenuCommand(command);
}

// Still the base's: the controller and the movie do not draw themselves yet.
void MovieInstance::Draw(const RECT& updateRect) {
    PluginInstance::Draw(updateRect);
}
