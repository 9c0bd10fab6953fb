// The named engine operations: each calls its library's slot with its index and arguments.
#include "engine/engine_operations.h"

#include "engine/engine_slots.h"

#include <engine_signatures.h>

#include <type_traits>

namespace {

// Calls the movie library's slot for `Operation`. The argument types must be exactly the
// operation's signature, so the entry reads with va_arg what was passed.
template <MovieOperation Operation, typename... Args>
ULONG CallMovieLibrary(Args... args) {
    static_assert(
        std::is_same_v<EngineArguments<Args...>, typename MovieSignature<Operation>::type>,
        "arguments differ from the operation's signature");
    return MovieLibrary.Slot(static_cast<int32_t>(Operation), args...);
}

// As CallMovieLibrary, for the component library, with the constant beside the index.
template <ComponentOperation Operation, typename... Args>
ULONG CallComponentLibrary(Args... args) {
    static_assert(
        std::is_same_v<EngineArguments<Args...>, typename ComponentSignature<Operation>::type>,
        "arguments differ from the operation's signature");
    return ComponentLibrary.Slot(static_cast<int32_t>(Operation), EngineComponentCall, args...);
}

} // namespace

// ---- Movie library --------------------------------------------------------------------------

ULONG EngineInitializeMovies() {
    return CallMovieLibrary<MovieOperation::InitializeMovies>();
}

ULONG EngineStartSession() {
    return CallMovieLibrary<MovieOperation::StartSession>();
}

ULONG EngineEndSession() {
    return CallMovieLibrary<MovieOperation::EndSession>();
}

ULONG EngineOpenMovieFile(LPCSTR path, ULONG* fileRef, ULONG permission) {
    return CallMovieLibrary<MovieOperation::OpenMovieFile>(path, fileRef, permission);
}

ULONG EngineNewMovieFromFile(ULONG* movie, ULONG fileRef, ULONG reserved1, ULONG reserved2,
                             ULONG reserved3, ULONG reserved4) {
    return CallMovieLibrary<MovieOperation::NewMovieFromFile>(movie, fileRef, reserved1, reserved2,
                                                              reserved3, reserved4);
}

ULONG EngineNewMovieFromOpenFile(ULONG* movie, HFILE file, ULONG reserved1, ULONG reserved2) {
    return CallMovieLibrary<MovieOperation::NewMovieFromOpenFile>(movie, file, reserved1,
                                                                  reserved2);
}

ULONG EngineGetLastError() {
    return CallMovieLibrary<MovieOperation::GetLastError>();
}

ULONG EngineCloseMovieFile(ULONG fileRef) {
    return CallMovieLibrary<MovieOperation::CloseMovieFile>(fileRef);
}

ULONG EngineGetMovieDuration(ULONG movie) {
    return CallMovieLibrary<MovieOperation::GetMovieDuration>(movie);
}

ULONG EngineGetMovieTimeScale(ULONG movie) {
    return CallMovieLibrary<MovieOperation::GetMovieTimeScale>(movie);
}

ULONG EngineGetTrackCount(ULONG movie) {
    return CallMovieLibrary<MovieOperation::GetTrackCount>(movie);
}

ULONG EngineGetTrackByIndex(ULONG movie, ULONG index) {
    return CallMovieLibrary<MovieOperation::GetTrackByIndex>(movie, index);
}

ULONG EngineGetTrackMedia(ULONG track) {
    return CallMovieLibrary<MovieOperation::GetTrackMedia>(track);
}

ULONG EngineGetSampleLocation(ULONG media, ULONG* offset, ULONG* size, ULONG time,
                              ULONG* sampleTime, ULONG* sampleDuration, ULONG* description,
                              ULONG* descriptionIndex, ULONG maxSamples, ULONG* sampleCount,
                              ULONG* sampleFlags) {
    return CallMovieLibrary<MovieOperation::GetSampleLocation>(
        media, offset, size, time, sampleTime, sampleDuration, description, descriptionIndex,
        maxSamples, sampleCount, sampleFlags);
}

ULONG EngineNewController(ULONG movie, const RECT* bounds, ULONG flags, HWND window) {
    return CallMovieLibrary<MovieOperation::NewController>(movie, bounds, flags, window);
}

ULONG EngineDisposeMovie(ULONG movie) {
    return CallMovieLibrary<MovieOperation::DisposeMovie>(movie);
}

ULONG EngineDisposeController(ULONG controller) {
    return CallMovieLibrary<MovieOperation::DisposeController>(controller);
}

ULONG EngineGetMovieTime(ULONG movie, EngineTimeRecord* time) {
    return CallMovieLibrary<MovieOperation::GetMovieTime>(movie, time);
}

ULONG EngineGetMovieBox(ULONG movie, RECT* box) {
    return CallMovieLibrary<MovieOperation::GetMovieBox>(movie, box);
}

ULONG EngineSetMovieBox(ULONG movie, const RECT* box) {
    return CallMovieLibrary<MovieOperation::SetMovieBox>(movie, box);
}

ULONG EngineIsMovieActive(ULONG movie) {
    return CallMovieLibrary<MovieOperation::IsMovieActive>(movie);
}

ULONG EngineSetMovieActive(ULONG movie, ULONG active) {
    return CallMovieLibrary<MovieOperation::SetMovieActive>(movie, active);
}

ULONG EngineGetSpanDataSize(ULONG movie, ULONG start, ULONG length) {
    return CallMovieLibrary<MovieOperation::GetSpanDataSize>(movie, start, length);
}

ULONG EngineGetFramePicture(ULONG movie, ULONG time) {
    return CallMovieLibrary<MovieOperation::GetFramePicture>(movie, time);
}

HGLOBAL EngineMakeDibFromPicture(ULONG picture) {
    // The engine's 32-bit result carries the handle of a moveable block; widened back, it is
    // the handle itself. EngineNotAvailable widens to a value that is no live block.
    ULONG handle = CallMovieLibrary<MovieOperation::MakeDibFromPicture>(picture);
    return reinterpret_cast<HGLOBAL>(static_cast<ULONG_PTR>(handle));
}

ULONG EngineFreePicture(ULONG picture) {
    return CallMovieLibrary<MovieOperation::FreePicture>(picture);
}

// ---- Component library ----------------------------------------------------------------------

ULONG EngineActivateController(ULONG controller, HWND window, ULONG activate) {
    return CallComponentLibrary<ComponentOperation::ActivateController>(controller, window,
                                                                        activate);
}

ULONG EngineDrawController(ULONG controller, HWND window) {
    return CallComponentLibrary<ComponentOperation::DrawController>(controller, window);
}

ULONG EngineIdleController(ULONG controller) {
    return CallComponentLibrary<ComponentOperation::IdleController>(controller);
}

ULONG EngineGetControllerBounds(ULONG controller, RECT* bounds) {
    return CallComponentLibrary<ComponentOperation::GetControllerBounds>(controller, bounds);
}

ULONG EngineControllerEvent(ULONG controller, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    return CallComponentLibrary<ComponentOperation::ControllerEvent>(controller, window, message,
                                                                     wParam, lParam);
}

ULONG EngineControllerAction(ULONG controller, ULONG action, void* parameter) {
    return CallComponentLibrary<ComponentOperation::ControllerAction>(controller, action,
                                                                      parameter);
}

ULONG EngineDetachMovie(ULONG controller) {
    return CallComponentLibrary<ComponentOperation::DetachMovie>(controller);
}

ULONG EngineControllerSetMovie(ULONG controller, ULONG movie, HWND window, LONG left, LONG top) {
    return CallComponentLibrary<ComponentOperation::ControllerSetMovie>(controller, movie, window,
                                                                        left, top);
}

ULONG EngineControllerMovieChanged(ULONG controller, ULONG movie) {
    return CallComponentLibrary<ComponentOperation::ControllerMovieChanged>(controller, movie);
}

ULONG EngineSetActionFilter(ULONG controller, EngineActionFilterProc filter, void* instance) {
    return CallComponentLibrary<ComponentOperation::SetActionFilter>(controller, filter, instance);
}
