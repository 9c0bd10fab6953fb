// MovieInstance: the instance object NPP_New makes for every embedded movie. It owns one
// movie from the moment its stream arrives until the page goes away: the cache file the
// stream is written into, the engine movie opened from that file with the controller laid
// over it, and the playback state that the window's messages drive.
//
// Like every instance it lives in host memory (PluginInstance's allocation operators).
#pragma once

#include "instance/plugin_instance.h"

class MovieInstance : public PluginInstance {
  public:
    // Runs the base constructor, then gives every field below its start value; the base's
    // WindowHandle is null.
    MovieInstance();
    // Teardown: detaches and disposes of the controller's movie, disposes of the controller,
    // closes the cache file, and then runs the base teardown.
    ~MovieInstance() override;

    // ---- Virtual operations, in the order of their slots ----

    // Refuses with NPERR_GENERIC_ERROR, after telling the user in a message box, when the
    // media engine has not started (the instance is then Failed for its whole life and the
    // base New does not run). Otherwise runs the base New, reads the movie attributes and
    // applies the loop limit of the preferences; NPERR_NO_ERROR.
    NPError New(NPMIMEType pluginType, NPP instance, unsigned short mode, short argc, char* argn[],
                char* argv[], NPSavedData* saved) override;
    // For now the base versions: the cache file and the opening of the movie (NewStream,
    // Write, DestroyStream), the movie's printing, messages, menu and drawing come with the
    // download and playback code.
    NPError NewStream(NPMIMEType type, NPStream* stream, NPBool seekable,
                      unsigned short* stype) override;
    int32 Write(NPStream* stream, int32 offset, int32 len, void* buffer) override;
    NPError DestroyStream(NPStream* stream, NPError reason) override;
    void Print(NPPrint* platformPrint) override;
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void TrackContextMenu(int x, int y) override;
    void DoMenuCommand(short command) override;
    void Draw(const RECT& updateRect) override;

    // ---- Fields, in declaration order ----
    // Booleans hold 0 or 1; times are in the movie's own units unless a unit is named.

    ULONG Movie;              // engine movie opened from the cache file; 0 until opened
    ULONG Controller;         // engine controller made for Movie; 0 until made
    char CacheFilePath[256];  // full path of the cache file; empty until the stream begins
    BOOL WasActive;           // window-active state last told to the controller
    ULONG MeasuredTime;       // movie time up to which the needed data was last measured
    LONG MeasuredBytes;       // bytes of movie data needed up to MeasuredTime
    short CacheFile;          // open cache file (a 16-bit file handle); 0 when closed
    ULONG StreamStartTick;    // tick count, in milliseconds, when the stream began
    LONG BytesWritten;        // stream bytes in the cache file so far; the write position
    LONG SuspendedRate;       // 16.16 rate the movie played at when playback suspended it
    BOOL Suspended;           // playback stopped the movie and has not restarted it yet
    LONG FirstSamplesEnd;     // file offset by which every track's first sample has arrived
    ULONG Duration;           // the movie's duration, set when it is opened
    ULONG TimeScale;          // movie units per second, set when it is opened
    BOOL Loop;                // LOOP: the movie loops
    BOOL Palindrome;          // LOOP=PALINDROME: the movie loops back and forth
    BOOL AutoPlay;            // AUTOPLAY: starts by itself once enough has arrived
    BOOL TopLeftMovie;        // MCTOPLEFTMOVIE
    BOOL ScaleMovieToFit;     // MCSCALEMOVIETOFIT
    BOOL WithBadge;           // MCWITHBADGE, or CONTROLLER=BADGE
    BOOL ControllerHidden;    // MCNOTVISIBLE; CONTROLLER writes it too
    BOOL PlayRateGiven;       // a valid PLAYRATE was given
    LONG PlayRate;            // 16.16 rate to play at while PlayRateGiven (65536: normal)
    LONG LoopsLeft;           // wraps still allowed before playback stops; 0 or less: no limit
    double LeadTime;          // seconds of movie that must be loaded ahead of the play position
    double MovieByteRate;     // stream length per second of movie, in bytes
    LONG OpenThresholdBase;   // first part of the early-open threshold, in bytes
    LONG OpenThresholdMargin; // second part of the early-open threshold, in bytes
    BOOL HeaderExamined;      // the first 8 bytes of the cache file have been examined
    ULONG LastLoopTime;       // movie time at the previous loop check, to count wraps
    ULONG LoadedTime;         // movie time up to which the data has arrived
    LONG LoadedBytes;         // bytes needed for LoadedTime

    // Attributes that are recognised and kept, though nothing gives them an effect.
    BOOL WithFrame;      // MCWITHFRAME
    BOOL PlayEveryFrame; // PLAYEVERYFRAME
    BOOL VolumeGiven;    // a valid VOLUME was given
    int Volume;          // VOLUME, while VolumeGiven

  private:
    // Reads the movie attributes of the EMBED element, first to last; a later attribute
    // overrides an earlier one that writes the same field.
    void ReadMovieAttributes(short argc, char* argn[], char* argv[]);
    // One attribute. A name or value the movie attributes do not list changes nothing.
    void ReadMovieAttribute(const char* name, const char* value);
    // Applies the preferences' loop limit to a looping movie.
    void ApplyLoopLimit();
};
