#include "media/engine_client.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

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

EnginePicture engine_picture(ULONG movie, double seconds) {
    const EngineClient& engine = EngineClient::get();
    ULONG scale = engine.movie(MovieOperation::GetMovieTimeScale, movie);
    ULONG picture = engine.movie(MovieOperation::GetFramePicture, movie,
                                 static_cast<ULONG>(seconds * scale + 0.5));
    EnginePicture result;
    if (!picture) return result;
    auto block = reinterpret_cast<HGLOBAL>(
        static_cast<uintptr_t>(engine.movie(MovieOperation::MakeDibFromPicture, picture)));
    engine.movie(MovieOperation::FreePicture, picture);
    if (!block) return result;
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);
    size_t row = size_t(header.biWidth) * 4;
    int height = std::abs(header.biHeight);
    result.width = header.biWidth;
    result.height = height;
    result.top_down.resize(row * height);
    const uint8_t* bits = bytes + header.biSize;
    for (int y = 0; y < height; ++y) {
        int source = header.biHeight > 0 ? height - 1 - y : y;
        std::memcpy(result.top_down.data() + row * y, bits + row * source, row);
    }
    GlobalUnlock(block);
    GlobalFree(block);
    return result;
}

} // namespace media_test
