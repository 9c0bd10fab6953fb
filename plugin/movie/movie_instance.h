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
    // The download: NewStream creates the cache file, Write appends each block to it and
    // opens the movie as soon as enough of it has arrived, DestroyStream opens the movie from
    // the complete file (or re-opens an early-opened one). Each returns as the host expects
    // whatever happens; problems show in the window (poster, status line) instead.
    NPError NewStream(NPMIMEType type, NPStream* stream, NPBool seekable,
                      unsigned short* stype) override;
    int32 Write(NPStream* stream, int32 offset, int32 len, void* buffer) override;
    NPError DestroyStream(NPStream* stream, NPError reason) override;
    // Prints the frame of the embed area in FRCOLOR; a full-window instance leaves the page
    // to the host.
    void Print(NPPrint* platformPrint) override;
    // The base handling first (a mouse move idles the controller before it), then the
    // playback rules, which offer the message to the controller.
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Adds the movie's items (play or pause, open, save, copy frame, copy address) above the
    // base's menu, greyed as the movie's state says, and takes them away again afterwards.
    void TrackContextMenu(int x, int y) override;
    // The movie items' commands; the base's commands arrive shifted by 8 (13, 14, 15 are the
    // link items), 1 to 3 unchanged.
    void DoMenuCommand(short command) override;
    // The base drawing, then the controller's.
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

    // Set when the stream ended as the host's finished stream (NPRES_DONE) after at least one
    // block and with every announced byte in the file: only such a cache file is worth
    // keeping as a copy.
    BOOL StreamComplete;

    // ---- Opening and layout ----

    // Opens the cache file at `path` as an engine movie, growing a file that is still being
    // received to its announced length first. On success sets Duration, TimeScale and, when
    // it can be measured, FirstSamplesEnd, and returns the movie; 0 when the engine cannot
    // open the file or the disk has no room for the whole movie (then Failed is set too).
    ULONG OpenMovie(const char* path);
    // Where the first samples of all of the movie's tracks lie in the file: the lowest
    // offset into `start` and the bytes from there to the end of the last of them into
    // `span`; -1 and -1 when a track cannot say.
    void MeasureFirstSamples(ULONG movie, LONG* start, LONG* span);
    // Sizes Movie to the window, creates its controller with the flags the page asked for,
    // and applies looping. Always 0.
    int LayOutMovie();
    // Sets LeadTime from how fast the stream arrives compared with the movie's own pace,
    // scaled by `factor`, within 1.5 and 5 seconds (less for very short movies).
    void UpdateLeadTime(float factor);
    // The lead-time factor of a playing movie, and of a movie just laid out, which is
    // expected to play.
    static constexpr float PlayingLeadFactor = 1.5f;

    // ---- Playback ----

    // One run of the playback rules: activates a half-loaded movie once its first samples
    // are in, starts an AUTOPLAY movie when the download looks fast enough, suspends and
    // resumes playing as the data ahead and the window's activity allow, counts loops, and
    // tells the controller of the window's activity. Then offers the message to the
    // controller: nonzero when it handled it.
    LRESULT PlaybackTask(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // TRUE when the file holds the data up to movie time `time` (plus LeadTime with
    // `withLead`). Measures incrementally from the last target, and extends the loaded part
    // (and the controller's selection) as data arrives.
    BOOL CheckDataAhead(ULONG time, BOOL withLead);
    // Stops a playing movie, remembering its rate to resume it.
    void SuspendPlayback();
    // Plays a movie this code stopped again, at its old rate, once the download looks fast
    // enough (or the user prefers to start sooner).
    void ResumePlayback();
    // TRUE when, at the pace the stream has come so far, the rest of it will be in before
    // the movie, played from now on, ends; `factor` is the safety margin. The share received
    // in percent goes to `percent` when it is given.
    BOOL DownloadFastEnough(float factor, float* percent = nullptr);

    // Every controller action passes through here first; nonzero suppresses the action.
    static LONG ControllerActionFilter(ULONG controller, ULONG action, void* parameter,
                                       void* instance);

  private:
    // Reads the movie attributes of the EMBED element, first to last; a later attribute
    // overrides an earlier one that writes the same field.
    void ReadMovieAttributes(short argc, char* argn[], char* argv[]);
    // One attribute. A name or value the movie attributes do not list changes nothing.
    void ReadMovieAttribute(const char* name, const char* value);
    // Starts an AUTOPLAY movie once more than a tenth has arrived and the rest looks like it
    // will be in before the movie ends (or the user prefers to start sooner).
    void StartAutomatically();
    // Ticks the loop count down at every backward jump of the movie time, and stops the
    // movie when it runs out.
    void CountLoops();
    // Applies the preferences' loop limit to a looping movie.
    void ApplyLoopLimit();

    // ---- Menu commands ----

    // Puts the frame now shown on the clipboard as a device-independent bitmap.
    void CopyFrame();
    // Copies the cache file to a place the user picks; tells the user when that fails.
    void SaveMovie();
    // Shows the movie in the helper program, or lets the browser open its address.
    void OpenMovieElsewhere();
    // Stops a playing movie, or starts a stopped one at PLAYRATE or normal speed.
    void PlayOrPause();

    // ---- The cache file ----

    // Builds CacheFilePath in the preferences' cache directory from StreamStartTick and
    // creates the file there, new and empty, taking the next number while a name is taken;
    // FALSE when no file can be made (an empty cache directory among the reasons).
    BOOL CreateCacheFile();
    // Reads the first atom header of the cache file once more than 8 bytes are in, and sets
    // the early-open threshold and the status line from it.
    void ExamineHeader();
    // Opens the movie while the stream still runs, once the thresholds say enough is in.
    void OpenEarly(ULONG now);
    // Opens the movie from the complete file when the stream ends.
    void OpenAtEnd();
    // Lets the controller's loaded part and the playback rules follow each half second of
    // movie that has arrived.
    void ReportProgress();
    // Replaces an early-opened movie with one opened from the complete file, keeping the
    // controller, the time, the volume and the rate, so that the user sees no change.
    void ReopenMovie();
    // Gives the file room for the whole announced stream, without touching received bytes;
    // FALSE when the disk has no room.
    BOOL GrowCacheFile();
    // Deletes the closed cache file, or keeps it under the movie's own name in the cache
    // directory when the preferences ask for that and the whole stream arrived.
    void DisposeCacheFile();
    // Moves the closed cache file to the movie's own name in the cache directory, or to a
    // numbered form of it when that name is taken; never replaces a file. FALSE when no name
    // could be given.
    BOOL KeepCacheFile();
};

// Deletes the cache files in `directory` that no live instance holds open: files left by a
// process that ended without its teardown (killed during a download). A live instance, of
// this process or another, keeps its file open without sharing deletion, so its file stays.
void RemoveStaleCacheFiles(const char* directory);

// TRUE when `hwnd` or one of its ancestors is the active window.
BOOL IsWindowActive(HWND hwnd);
