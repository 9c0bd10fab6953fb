// The engine operations the plug-in uses, by name. Each calls its library's dispatch slot
// with the operation's index (and, for the component library, the constant 1) and its own
// arguments, and returns the slot's 32-bit result unchanged.
//
// When a library is not loaded its slot holds a not-available handler: before any start of
// the engine has been attempted, that handler starts the engine and passes the call on;
// afterwards every operation of that library answers EngineNotAvailable (0x80008001),
// operations that answer a handle, a time or a size included. Results are 0 for success
// wherever an operation reports success. Handles are 32-bit ids, 0 meaning none; times are
// unsigned movie units; rates 16.16 fixed point. Arguments documented as 0 are reserved:
// callers pass 0.
#pragma once

#include <windows.h>

#include <engine_abi.h>

// ---- Movie library --------------------------------------------------------------------------

// Readies the library for movies; 0 when ready.
ULONG EngineInitializeMovies();
// Begin and end a session with the library; called by the loader only.
ULONG EngineStartSession();
ULONG EngineEndSession();

// Opens a movie file; on success (0) *fileRef is its file reference.
ULONG EngineOpenMovieFile(LPCSTR path, ULONG* fileRef, ULONG permission);
// Makes a movie from an opened movie file into *movie; EngineGetLastError tells whether it
// worked.
ULONG EngineNewMovieFromFile(ULONG* movie, ULONG fileRef, ULONG reserved1, ULONG reserved2,
                             ULONG reserved3, ULONG reserved4);
// Makes a movie from a file handle open for reading into *movie; EngineGetLastError tells
// whether it worked. The handle may be closed afterwards.
ULONG EngineNewMovieFromOpenFile(ULONG* movie, HFILE file, ULONG reserved1, ULONG reserved2);
// 0 when the library's last operation succeeded.
ULONG EngineGetLastError();
// Closes a file reference from EngineOpenMovieFile.
ULONG EngineCloseMovieFile(ULONG fileRef);

// The movie's length in movie units, and its time scale in units per second.
ULONG EngineGetMovieDuration(ULONG movie);
ULONG EngineGetMovieTimeScale(ULONG movie);
// The number of tracks, in the low 16 bits of the result (read it as a signed 16-bit count).
ULONG EngineGetTrackCount(ULONG movie);
// The track at `index`, counted from 1.
ULONG EngineGetTrackByIndex(ULONG movie, ULONG index);
// The media of a track.
ULONG EngineGetTrackMedia(ULONG track);
// Where the sample at media time `time` lies in the movie file: *offset and *size bytes;
// 0 on success. The further outputs may be null.
ULONG EngineGetSampleLocation(ULONG media, ULONG* offset, ULONG* size, ULONG time,
                              ULONG* sampleTime, ULONG* sampleDuration, ULONG* description,
                              ULONG* descriptionIndex, ULONG maxSamples, ULONG* sampleCount,
                              ULONG* sampleFlags);
// Makes a controller for the movie in `bounds` of `window`, with creation flags; returns it.
ULONG EngineNewController(ULONG movie, const RECT* bounds, ULONG flags, HWND window);

// Disposes of a movie, and of a controller.
ULONG EngineDisposeMovie(ULONG movie);
ULONG EngineDisposeController(ULONG controller);
// The movie's current time; also written into *time (value, scale and time base) unless null.
ULONG EngineGetMovieTime(ULONG movie, EngineTimeRecord* time);
// The movie's box in its window, read and set.
ULONG EngineGetMovieBox(ULONG movie, RECT* box);
ULONG EngineSetMovieBox(ULONG movie, const RECT* box);
// Nonzero while the movie is active; and making it active (1).
ULONG EngineIsMovieActive(ULONG movie);
ULONG EngineSetMovieActive(ULONG movie, ULONG active);
// The file bytes that the span [start, start + length) of movie time needs.
ULONG EngineGetSpanDataSize(ULONG movie, ULONG start, ULONG length);
// A picture of the frame at `time`.
ULONG EngineGetFramePicture(ULONG movie, ULONG time);
// A packed device-independent bitmap of the picture, as a global memory handle the caller
// owns (the engine answers the handle in its 32-bit result; see engine_signatures.h).
HGLOBAL EngineMakeDibFromPicture(ULONG picture);
// Frees a picture.
ULONG EngineFreePicture(ULONG picture);

// ---- Component library (the movie controller) -------------------------------------------------

// Activates (1) or deactivates (0) the controller as its window gains or loses activation.
ULONG EngineActivateController(ULONG controller, HWND window, ULONG activate);
// Draws the controller into its window.
ULONG EngineDrawController(ULONG controller, HWND window);
// Gives the controller time to play.
ULONG EngineIdleController(ULONG controller);
// The controller's bounds into *bounds; 0 on success.
ULONG EngineGetControllerBounds(ULONG controller, RECT* bounds);
// Offers a window message to the controller; nonzero when it handled it.
ULONG EngineControllerEvent(ULONG controller, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam);
// Carries out a controller action (EngineActionCode) with its parameter; 0 on success. The
// installed action filter sees the action first.
ULONG EngineControllerAction(ULONG controller, ULONG action, void* parameter);
// Makes the controller let go of its movie before the movie is disposed of.
ULONG EngineDetachMovie(ULONG controller);
// Gives the controller a movie shown in `window` at (left, top).
ULONG EngineControllerSetMovie(ULONG controller, ULONG movie, HWND window, LONG left, LONG top);
// Tells the controller that its movie has changed.
ULONG EngineControllerMovieChanged(ULONG controller, ULONG movie);
// Installs the filter every action of the controller passes first; `instance` is handed back
// to the filter.
ULONG EngineSetActionFilter(ULONG controller, EngineActionFilterProc filter, void* instance);
