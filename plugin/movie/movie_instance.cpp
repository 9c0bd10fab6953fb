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
      PlayEveryFrame(FALSE), VolumeGiven(FALSE), Volume(0), StreamComplete(FALSE) {
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
    DisposeCacheFile();
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

void MovieInstance::Print(NPPrint* platformPrint) {
    if (Failed || !platformPrint) return;
    if (platformPrint->mode == NP_FULL) {
        // The host prints the page itself.
        platformPrint->print.fullPrint.pluginPrinted = FALSE;
        return;
    }
    RECT bounds;
    if (!Movie || EngineGetControllerBounds(Controller, &bounds) != 0) return;
    // Only the frame of the embed area goes to paper, not the movie's picture.
    const NPWindow& area = platformPrint->print.embedPrint.window;
    HDC dc = static_cast<HDC>(platformPrint->print.embedPrint.platformPrint);
    LOGBRUSH colour = {BS_SOLID,
                       RGB(ForeColor.Red & 0xff, ForeColor.Green & 0xff, ForeColor.Blue & 0xff), 0};
    HPEN pen = ExtCreatePen(PS_COSMETIC | PS_SOLID, 1, &colour, 0, nullptr);
    HGDIOBJ previous = SelectObject(dc, pen);
    LONG x = static_cast<LONG>(area.x), y = static_cast<LONG>(area.y);
    Rectangle(dc, x, y, x + static_cast<LONG>(area.width), y + static_cast<LONG>(area.height));
    SelectObject(dc, previous);
    DeleteObject(pen);
}

void MovieInstance::Draw(const RECT& updateRect) {
    PluginInstance::Draw(updateRect);
    if (!Failed && Controller) EngineDrawController(Controller, WindowHandle);
}
