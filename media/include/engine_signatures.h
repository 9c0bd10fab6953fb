// The argument list of every engine operation, as C++ types in call order.
//
// A caller passes exactly these types after the index (and, for the component library, after
// EngineComponentCall); an entry reads them with va_arg using exactly these types. None is
// narrower than int, so no argument is promoted on its way through the variadic call. The
// binding checks its wrappers against these lists at compile time; engines and the binding's
// not-available handler use visit() to read or forward the arguments of an index.
//
// Operations, their arguments and results:
//
// Movie library
//   InitializeMovies()                      0 when the library is ready
//   StartSession(), EndSession()            bracket the library's use; results ignored
//   OpenMovieFile(path, ULONG* fileRef, permission 0)     0 on success, *fileRef set
//   NewMovieFromFile(ULONG* movie, fileRef, 0, 0, 0, 0)   *movie set; see GetLastError
//   NewMovieFromOpenFile(ULONG* movie, HFILE file, 0, 0)  *movie set; see GetLastError
//   GetLastError()                          0 when the last operation succeeded
//   CloseMovieFile(fileRef)
//   GetMovieDuration(movie), GetMovieTimeScale(movie)     units; units per second
//   GetTrackCount(movie)                    the track count in the low 16 bits
//   GetTrackByIndex(movie, index from 1)    a track
//   GetTrackMedia(track)                    its media
//   GetSampleLocation(media, ULONG* offset, ULONG* size, time, ULONG* sampleTime,
//       ULONG* sampleDuration, ULONG* description, ULONG* descriptionIndex, maxSamples,
//       ULONG* sampleCount, ULONG* sampleFlags)
//                                           0 when the sample at `time` lies in the file at
//                                           *offset, *size bytes; null outputs are skipped
//   NewController(movie, const RECT* bounds, flags, HWND window)  a controller
//   DisposeMovie(movie), DisposeController(controller)
//   GetMovieTime(movie, EngineTimeRecord* time or null)   the current time (and the record)
//   GetMovieBox(movie, RECT* box), SetMovieBox(movie, const RECT* box)
//   IsMovieActive(movie)                    nonzero while active
//   SetMovieActive(movie, active)
//   GetSpanDataSize(movie, start, length)   file bytes the span needs (a prefix measure)
//   GetFramePicture(movie, time)            a picture
//   MakeDibFromPicture(picture)             a packed DIB in a GMEM_MOVEABLE global memory
//                                           block, whose handle the result carries (moveable
//                                           handles of this platform fit in 32 bits); the
//                                           caller owns the block
//   FreePicture(picture)
//
// Component library
//   ActivateController(controller, HWND window, activate 1 or 0)
//   ControllerAction(controller, action, void* parameter)   0 on success (EngineActionCode)
//   DrawController(controller, HWND window)
//   GetControllerBounds(controller, RECT* bounds)           0 on success
//   IdleController(controller)
//   ControllerEvent(controller, HWND window, UINT message, WPARAM, LPARAM)  nonzero: handled
//   DetachMovie(controller)                  before the controller's movie is disposed of
//   SetActionFilter(controller, EngineActionFilterProc filter, void* instance)
//   ControllerSetMovie(controller, movie, HWND window, LONG left, LONG top)
//   ControllerMovieChanged(controller, movie)
#pragma once

#include "engine_abi.h"

#include <stdarg.h>
#include <stdint.h>

#include <tuple>

template <typename... Args>
struct EngineArguments {};

// The next argument of a variadic call, read as T.
template <typename T>
T read_engine_argument(va_list& arguments) {
    return va_arg(arguments, T);
}

// Reads the arguments of a signature from a variadic call, in order.
template <typename... Args>
std::tuple<Args...> read_engine_arguments(va_list& arguments, EngineArguments<Args...>) {
    // Braced initialisation evaluates its elements left to right.
    return std::tuple<Args...>{read_engine_argument<Args>(arguments)...};
}

// The argument list of one operation; defined for every operation the enums name.
template <MovieOperation Operation>
struct MovieSignature;
template <ComponentOperation Operation>
struct ComponentSignature;

#define ENGINE_MOVIE_SIGNATURE(operation, ...)                                                     \
    template <>                                                                                    \
    struct MovieSignature<MovieOperation::operation> {                                             \
        using type = EngineArguments<__VA_ARGS__>;                                                 \
    }
#define ENGINE_COMPONENT_SIGNATURE(operation, ...)                                                 \
    template <>                                                                                    \
    struct ComponentSignature<ComponentOperation::operation> {                                     \
        using type = EngineArguments<__VA_ARGS__>;                                                 \
    }

ENGINE_MOVIE_SIGNATURE(CloseMovieFile, ULONG);
ENGINE_MOVIE_SIGNATURE(DisposeMovie, ULONG);
ENGINE_MOVIE_SIGNATURE(InitializeMovies);
ENGINE_MOVIE_SIGNATURE(IsMovieActive, ULONG);
ENGINE_MOVIE_SIGNATURE(GetMovieBox, ULONG, RECT*);
ENGINE_MOVIE_SIGNATURE(GetSpanDataSize, ULONG, ULONG, ULONG);
ENGINE_MOVIE_SIGNATURE(GetMovieDuration, ULONG);
ENGINE_MOVIE_SIGNATURE(GetFramePicture, ULONG, ULONG);
ENGINE_MOVIE_SIGNATURE(GetMovieTimeScale, ULONG);
ENGINE_MOVIE_SIGNATURE(FreePicture, ULONG);
ENGINE_MOVIE_SIGNATURE(NewMovieFromOpenFile, ULONG*, HFILE, ULONG, ULONG);
ENGINE_MOVIE_SIGNATURE(NewMovieFromFile, ULONG*, ULONG, ULONG, ULONG, ULONG, ULONG);
ENGINE_MOVIE_SIGNATURE(OpenMovieFile, LPCSTR, ULONG*, ULONG);
ENGINE_MOVIE_SIGNATURE(MakeDibFromPicture, ULONG);
ENGINE_MOVIE_SIGNATURE(SetMovieActive, ULONG, ULONG);
ENGINE_MOVIE_SIGNATURE(SetMovieBox, ULONG, const RECT*);
ENGINE_MOVIE_SIGNATURE(GetMovieTime, ULONG, EngineTimeRecord*);
ENGINE_MOVIE_SIGNATURE(DisposeController, ULONG);
ENGINE_MOVIE_SIGNATURE(NewController, ULONG, const RECT*, ULONG, HWND);
ENGINE_MOVIE_SIGNATURE(StartSession);
ENGINE_MOVIE_SIGNATURE(EndSession);
ENGINE_MOVIE_SIGNATURE(GetTrackByIndex, ULONG, ULONG);
ENGINE_MOVIE_SIGNATURE(GetTrackCount, ULONG);
ENGINE_MOVIE_SIGNATURE(GetTrackMedia, ULONG);
ENGINE_MOVIE_SIGNATURE(GetLastError);
ENGINE_MOVIE_SIGNATURE(GetSampleLocation, ULONG, ULONG*, ULONG*, ULONG, ULONG*, ULONG*, ULONG*,
                       ULONG*, ULONG, ULONG*, ULONG*);

ENGINE_COMPONENT_SIGNATURE(ActivateController, ULONG, HWND, ULONG);
ENGINE_COMPONENT_SIGNATURE(ControllerAction, ULONG, ULONG, void*);
ENGINE_COMPONENT_SIGNATURE(DrawController, ULONG, HWND);
ENGINE_COMPONENT_SIGNATURE(GetControllerBounds, ULONG, RECT*);
ENGINE_COMPONENT_SIGNATURE(IdleController, ULONG);
ENGINE_COMPONENT_SIGNATURE(ControllerEvent, ULONG, HWND, UINT, WPARAM, LPARAM);
ENGINE_COMPONENT_SIGNATURE(DetachMovie, ULONG);
ENGINE_COMPONENT_SIGNATURE(SetActionFilter, ULONG, EngineActionFilterProc, void*);
ENGINE_COMPONENT_SIGNATURE(ControllerSetMovie, ULONG, ULONG, HWND, LONG, LONG);
ENGINE_COMPONENT_SIGNATURE(ControllerMovieChanged, ULONG, ULONG);

#undef ENGINE_MOVIE_SIGNATURE
#undef ENGINE_COMPONENT_SIGNATURE

// A list of operations of one library. visit() finds the operation with a given index and
// calls `visitor.template operator()<Operation>()` for it, so the visitor sees the operation
// (and with it its signature) as a compile-time constant. False when no listed operation has
// that index.
template <auto... Operations>
struct EngineOperationList {
    template <typename Visitor>
    static bool visit(int32_t index, Visitor&& visitor) {
        return ((static_cast<int32_t>(Operations) == index &&
                 (visitor.template operator()<Operations>(), true)) ||
                ...);
    }
};

using MovieOperations = EngineOperationList<
    MovieOperation::CloseMovieFile, MovieOperation::DisposeMovie, MovieOperation::InitializeMovies,
    MovieOperation::IsMovieActive, MovieOperation::GetMovieBox, MovieOperation::GetSpanDataSize,
    MovieOperation::GetMovieDuration, MovieOperation::GetFramePicture,
    MovieOperation::GetMovieTimeScale, MovieOperation::FreePicture,
    MovieOperation::NewMovieFromOpenFile, MovieOperation::NewMovieFromFile,
    MovieOperation::OpenMovieFile, MovieOperation::MakeDibFromPicture,
    MovieOperation::SetMovieActive, MovieOperation::SetMovieBox, MovieOperation::GetMovieTime,
    MovieOperation::DisposeController, MovieOperation::NewController, MovieOperation::StartSession,
    MovieOperation::EndSession, MovieOperation::GetTrackByIndex, MovieOperation::GetTrackCount,
    MovieOperation::GetTrackMedia, MovieOperation::GetLastError, MovieOperation::GetSampleLocation>;

using ComponentOperations =
    EngineOperationList<ComponentOperation::ActivateController,
                        ComponentOperation::ControllerAction, ComponentOperation::DrawController,
                        ComponentOperation::GetControllerBounds, ComponentOperation::IdleController,
                        ComponentOperation::ControllerEvent, ComponentOperation::DetachMovie,
                        ComponentOperation::SetActionFilter, ComponentOperation::ControllerSetMovie,
                        ComponentOperation::ControllerMovieChanged>;
