// The engine loader: StartEngine and the undoing of the movie library's load.
#include "engine/engine_loader.h"

#include "engine/engine_operations.h"
#include "engine/engine_slots.h"

#include <string.h>

EngineLibrary<EngineMovieEntry> MovieLibrary = {nullptr, MovieNotAvailable, 0};
EngineLibrary<EngineComponentEntry> ComponentLibrary = {nullptr, ComponentNotAvailable, 0};
BOOL EngineStartAttempted = FALSE;

namespace {

// StartEngine's results.
constexpr int EngineStarted = 0;
constexpr int EngineFileMissing = 1;
constexpr int EngineEntryMissing = 2;

// The size of the version record GetVersionExA is asked to fill.
constexpr DWORD VersionRecordSize = 148;
static_assert(sizeof(OSVERSIONINFOA) == VersionRecordSize);

// GetProcAddress answers a generic function pointer; going through void* says that the cast
// to the export's real type is meant.
template <typename Function>
Function ExportOf(HMODULE module, LPCSTR name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Loads an engine library by name, where the system looks for libraries; failing that, from
// the plug-in's own folder, where the engine is installed beside the plug-in. A browser's
// library search does not include its plug-in folder, so without the second step an engine
// shipped with the plug-in would never be found on Windows.
HMODULE LoadEngineLibrary(LPCSTR name) {
    HMODULE module = LoadLibraryA(name);
    if (module) return module;
    HMODULE plugin = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&LoadEngineLibrary), &plugin))
        return nullptr;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(plugin, path, sizeof path);
    if (length == 0 || length >= sizeof path) return nullptr;
    char* folderEnd = nullptr;
    for (char* c = path; *c; ++c)
        if (*c == '\\' || *c == '/') folderEnd = c + 1;
    if (!folderEnd || static_cast<size_t>(folderEnd - path) + strlen(name) >= sizeof path)
        return nullptr;
    strcpy(folderEnd, name);
    return LoadLibraryA(path);
}

// Marks a library not loaded. The library itself is not released here.
template <typename Entry>
void ForgetLibrary(EngineLibrary<Entry>& library, Entry notAvailable) {
    library.Module = nullptr;
    library.Slot = notAvailable;
}

// True when the system is of the NT family, the only one on which the movie library is
// released after a session; on the older family the plug-in has always left it mapped for
// the rest of the process. Every system this builds for reports NT (the Win32-compatible
// layer does, as do the Windows versions the DLL runs on), so in practice it is released.
bool ReleasesMovieLibrary() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = VersionRecordSize;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Takes back one start of the movie library. The last one ends the library's session (even
// when none was begun, on the failure path of the component library) and forgets the library.
void UndoMovieLibraryLoad() {
    if (MovieLibrary.LoadCount <= 0) return;
    if (--MovieLibrary.LoadCount > 0) return;
    EngineEndSession();
    if (ReleasesMovieLibrary()) FreeLibrary(MovieLibrary.Module);
    ForgetLibrary(MovieLibrary, MovieNotAvailable);
}

// Loads the movie library, or counts one more start of it when it is loaded already.
int LoadMovieLibrary() {
    if (!MovieLibrary.Module) {
        MovieLibrary.Module = LoadEngineLibrary(ENGINE_MOVIE_LIBRARY);
        if (!MovieLibrary.Module) {
            ForgetLibrary(MovieLibrary, MovieNotAvailable);
            return EngineFileMissing;
        }
        auto entry = ExportOf<EngineMovieEntry>(MovieLibrary.Module, ENGINE_ENTRY_NAME);
        if (!entry) {
            // The library stays mapped; only its handle is forgotten.
            ForgetLibrary(MovieLibrary, MovieNotAvailable);
            return EngineEntryMissing;
        }
        MovieLibrary.Slot = entry;
    }
    ++MovieLibrary.LoadCount;
    return EngineStarted;
}

// Loads and starts the component library, or counts one more start of it when it is loaded
// already. A library without its two exports, or whose start fails, is released again.
int LoadComponentLibrary() {
    if (!ComponentLibrary.Module) {
        ComponentLibrary.Module = LoadEngineLibrary(ENGINE_COMPONENT_LIBRARY);
        if (!ComponentLibrary.Module) {
            ForgetLibrary(ComponentLibrary, ComponentNotAvailable);
            return EngineFileMissing;
        }
        auto entry = ExportOf<EngineComponentEntry>(ComponentLibrary.Module, ENGINE_ENTRY_NAME);
        auto initialize =
            ExportOf<EngineComponentInitialize>(ComponentLibrary.Module, ENGINE_INITIALIZE_NAME);
        if (!entry || !initialize || initialize() != 0) {
            FreeLibrary(ComponentLibrary.Module);
            ForgetLibrary(ComponentLibrary, ComponentNotAvailable);
            return EngineEntryMissing;
        }
        ComponentLibrary.Slot = entry;
    }
    ++ComponentLibrary.LoadCount;
    return EngineStarted;
}

// The loads of StartEngine, with the error mode already set.
int LoadEngineLibraries() {
    int result = LoadMovieLibrary();
    if (result != EngineStarted) return result;
    result = LoadComponentLibrary();
    if (result != EngineStarted) {
        UndoMovieLibraryLoad();
        return result;
    }
    // Only the first start of the movie library begins a session.
    if (MovieLibrary.LoadCount == 1) EngineStartSession();
    return EngineStarted;
}

} // namespace

int StartEngine() {
    EngineStartAttempted = TRUE;
    // A missing library file must not bring up a system dialog while the engine starts.
    UINT previousMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    int result = LoadEngineLibraries();
    SetErrorMode(previousMode);
    return result;
}

void ResetEngineLoader() {
    if (MovieLibrary.Module) FreeLibrary(MovieLibrary.Module);
    if (ComponentLibrary.Module) FreeLibrary(ComponentLibrary.Module);
    MovieLibrary = {nullptr, MovieNotAvailable, 0};
    ComponentLibrary = {nullptr, ComponentNotAvailable, 0};
    EngineStartAttempted = FALSE;
}
