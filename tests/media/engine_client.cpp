#include "engine_client.h"

#include <windows.h>

#include <cstdlib>

namespace media_test {

EngineClient::EngineClient() {
    setenv("LANTERNIX_LIBRARY_PATH", LXTEST_ENGINE_LIBRARY_DIR, 1);
    HMODULE movie = LoadLibraryA(ENGINE_MOVIE_LIBRARY);
    HMODULE component = LoadLibraryA(ENGINE_COMPONENT_LIBRARY);
    if (!movie || !component) return;
    m_movie = reinterpret_cast<EngineMovieEntry>(
        reinterpret_cast<void*>(GetProcAddress(movie, ENGINE_ENTRY_NAME)));
    m_component = reinterpret_cast<EngineComponentEntry>(
        reinterpret_cast<void*>(GetProcAddress(component, ENGINE_ENTRY_NAME)));
    auto initialize = reinterpret_cast<EngineComponentInitialize>(
        reinterpret_cast<void*>(GetProcAddress(component, ENGINE_INITIALIZE_NAME)));
    if (!initialize || initialize() != 0) m_component = nullptr;
    if (m_movie) m_movie(static_cast<int32_t>(MovieOperation::InitializeMovies));
}

EngineClient& EngineClient::get() {
    static EngineClient client;
    return client;
}

ULONG EngineClient::open_path(const std::string& path, EngineResult* error) const {
    ULONG reference = 0, movie_handle = 0;
    if (movie(MovieOperation::OpenMovieFile, path.c_str(), &reference, ULONG(0)) == 0) {
        movie(MovieOperation::NewMovieFromFile, &movie_handle, reference, ULONG(0), ULONG(0),
              ULONG(0), ULONG(0));
        movie(MovieOperation::CloseMovieFile, reference);
    }
    EngineResult last = movie(MovieOperation::GetLastError);
    if (error) *error = last;
    return last == 0 ? movie_handle : 0;
}

ULONG EngineClient::open_handle(const std::string& path, EngineResult* error) const {
    ULONG movie_handle = 0;
    HFILE file = _lopen(path.c_str(), OF_READ);
    movie(MovieOperation::NewMovieFromOpenFile, &movie_handle, file, ULONG(0), ULONG(0));
    EngineResult last = movie(MovieOperation::GetLastError);
    if (file != HFILE_ERROR) _lclose(file);
    if (error) *error = last;
    return last == 0 ? movie_handle : 0;
}

void EngineClient::dispose(ULONG movie_handle) const {
    movie(MovieOperation::DisposeMovie, movie_handle);
}

} // namespace media_test
