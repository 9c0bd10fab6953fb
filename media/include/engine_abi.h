// The movie engine's binary interface: what the plug-in's binding, the engine libraries and
// the test engines agree on.
//
// The engine is two shared libraries, the movie library (QTIM32) and the component library
// (CMGR32). Each exports one variadic entry, "_EntryPoint", that carries out an operation
// chosen by its index; the component library also exports "_CMgrInitialize", which the
// binding calls once after loading it. Every argument after the index (and, for the component
// library, after the constant 1) belongs to the operation; engine_signatures.h lists their
// exact types in call order, and an entry reads them with va_arg using exactly those types.
//
// Values: engine handles (movies, controllers, tracks, media, pictures, file references) are
// opaque 32-bit ids, never addresses, and 0 is no handle. Movie times are unsigned 32-bit
// counts of movie units with a time scale of units per second. Rates are 16.16 fixed point
// (0x10000 normal speed, 0 stopped). Results are 32 bits: 0 is success wherever an operation
// reports success, and an operation that answers a handle, a time or a size answers it as its
// result.
#pragma once

#include <lx_export.h>
#include <windows.h>

#include <stdint.h>

// What the engine's libraries export, the entries above and the engine's own functions that
// one engine library calls in the other, carry LX_EXPORT (lx_export.h).

// Library names as the binding passes them to LoadLibraryA, and the names of their exports.
#define ENGINE_MOVIE_LIBRARY "QTIM32.DLL"
#define ENGINE_COMPONENT_LIBRARY "CMGR32.DLL"
#define ENGINE_ENTRY_NAME "_EntryPoint"
#define ENGINE_INITIALIZE_NAME "_CMgrInitialize"

// An operation's result: 32 bits, whatever the platform's word size.
typedef ULONG EngineResult;
static_assert(sizeof(EngineResult) == 4, "engine results are 32 bits");

// What an operation answers when its library is not loaded. Its low 16 bits are 0x8001, so a
// caller that keeps only 16 bits (a track count) sees a negative number.
constexpr EngineResult EngineNotAvailable = 0x80008001u;

// The constant every component-library call passes beside the operation index.
constexpr int32_t EngineComponentCall = 1;

// The movie library's entry: `index` is a MovieOperation; the operation's arguments follow.
typedef EngineResult (*EngineMovieEntry)(int32_t index, ...);
// The component library's entry: `index` is a ComponentOperation, `one` is
// EngineComponentCall; the operation's arguments follow.
typedef EngineResult (*EngineComponentEntry)(int32_t index, int32_t one, ...);
// The component library's start, called with no arguments once it is loaded; 0 when ready.
// Nothing ever balances it.
typedef EngineResult (*EngineComponentInitialize)(void);

// A time record: a 64-bit time value split into halves, low half first, then the time scale
// (units per second) and the time base the value is measured against (an engine handle).
typedef struct EngineTimeRecord {
    ULONG ValueLow;
    ULONG ValueHigh;
    LONG Scale;
    ULONG Base;
} EngineTimeRecord;
static_assert(sizeof(EngineTimeRecord) == 16, "a time record is 16 bytes");

// The action filter a controller calls before it carries out an action (installed with
// ComponentOperation::SetActionFilter): the controller, the action code, the action's
// parameter exactly as the action received it, and the instance value given at installation.
// A nonzero result suppresses the action.
typedef LONG (*EngineActionFilterProc)(ULONG controller, ULONG action, void* parameter,
                                       void* instance);

// Operation indices of the movie library. Indices missing here exist in the library but are
// not used; an engine may answer them as it likes.
enum class MovieOperation : int32_t {
    CloseMovieFile = 2,
    DisposeMovie = 7,
    InitializeMovies = 11,
    IsMovieActive = 13,
    GetMovieBox = 15,
    GetSpanDataSize = 17,
    GetMovieDuration = 18,
    GetFramePicture = 20,
    GetMovieTimeScale = 28,
    FreePicture = 40,
    NewMovieFromOpenFile = 41,
    NewMovieFromFile = 42,
    OpenMovieFile = 44,
    MakeDibFromPicture = 46,
    SetMovieActive = 49,
    SetMovieBox = 50,
    GetMovieTime = 54,
    DisposeController = 55,
    NewController = 56,
    StartSession = 57,
    EndSession = 58,
    GetTrackByIndex = 61,
    GetTrackCount = 62,
    GetTrackMedia = 72,
    GetLastError = 94,
    GetSampleLocation = 102,
};

// Operation indices of the component library (the movie controller).
enum class ComponentOperation : int32_t {
    ActivateController = 0,
    ControllerAction = 1,
    DrawController = 2,
    GetControllerBounds = 4,
    IdleController = 9,
    ControllerEvent = 11,
    DetachMovie = 15,
    SetActionFilter = 16,
    ControllerSetMovie = 19,
    ControllerMovieChanged = 22,
};

// Controller actions (ComponentOperation::ControllerAction) and what their parameter is.
// "By value" means the parameter pointer itself carries the number.
enum EngineActionCode : ULONG {
    EngineActionPlay = 8,                // by value: the 16.16 rate to play at (0 stops)
    EngineActionGoToTime = 12,           // EngineTimeRecord*: go to its time
    EngineActionSetVolume = 14,          // by value: the 16-bit volume
    EngineActionGetVolume = 15,          // SHORT*: receives the 16-bit volume
    EngineActionSetLooping = 21,         // ULONG*: 1 loops, 0 does not
    EngineActionSetPalindrome = 23,      // ULONG*: 1 loops back and forth, 0 does not
    EngineActionSetResizeBounds = 25,    // RECT*: bounds for resizing; all zero allows none
    EngineActionSetSelectionStart = 29,  // EngineTimeRecord*: the selection's start
    EngineActionSetSelectionLength = 30, // EngineTimeRecord*: the selection's length
    EngineActionEnableKeys = 32,         // by value: 1 lets the controller take keys
    EngineActionGetRate = 42,            // ULONG*: receives the current 16.16 rate
    EngineActionGetSelectionStart = 53,  // EngineTimeRecord*: receives the selection's start
};

// The parameter of an action that takes its number by value: the pointer carries the number's
// 32 bits, zero-extended.
inline void* EngineActionValue(ULONG value) {
    return reinterpret_cast<void*>(static_cast<ULONG_PTR>(value));
}
// The number a by-value action's parameter carries: the pointer's low 32 bits.
inline LONG EngineActionNumber(void* parameter) {
    return static_cast<LONG>(reinterpret_cast<ULONG_PTR>(parameter));
}

// Creation flags of a controller (MovieOperation::NewController). The engine reads each bit
// on its own.
enum EngineControllerFlag : ULONG {
    EngineControllerTopLeft = 1, // the movie at the top left of the area, not centred
    EngineControllerStretch = 2, // the movie stretched over the area above the bar
    EngineControllerBadge = 4,   // with the bar hidden, a badge that shows it when clicked
    EngineControllerHidden = 8,  // the bar not shown
};

// What the plug-in sends for a movie scaled to fit: the stretch bit together with the top-left
// bit. A stretched movie fills the area, so it starts at the area's top left either way; the
// plug-in has always sent both, and the engine stretches by the stretch bit and places at the
// top left by either bit, so the pair and the stretch bit alone lay out alike.
constexpr ULONG EngineControllerScaleToFit = EngineControllerTopLeft | EngineControllerStretch;
static_assert(EngineControllerScaleToFit == 3, "the plug-in sends 3 for a movie scaled to fit");

// The height of the controller bar along the bottom of a controller's bounds, in pixels. The
// plug-in sizes a made-to-measure window with it and the engine lays out its bar with it, so
// the two agree on where the movie ends.
constexpr LONG EngineControllerBarHeight = 18;
