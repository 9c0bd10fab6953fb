// The engine as the plug-in sees it: the two libraries loaded by name, and their operations
// called through the exported entries with exactly the argument types of the ABI.
#pragma once

#include <engine_signatures.h>

#include <string>
#include <vector>

namespace media_test {

class EngineClient {
  public:
    // Loads both libraries (once per process) and starts them as the loader does.
    static EngineClient& get();

    template <typename... Args>
    EngineResult movie(MovieOperation operation, Args... args) const {
        return m_movie(static_cast<int32_t>(operation), args...);
    }
    template <typename... Args>
    EngineResult component(ComponentOperation operation, Args... args) const {
        return m_component(static_cast<int32_t>(operation), EngineComponentCall, args...);
    }

    // Opens a movie from a path the way the plug-in does for a complete file; 0 on failure,
    // with the last error in `error`.
    ULONG open_path(const std::string& path, EngineResult* error = nullptr) const;
    // Opens a movie from an open file handle, as for a file still arriving.
    ULONG open_handle(const std::string& path, EngineResult* error = nullptr) const;
    void dispose(ULONG movie) const;

    bool loaded() const { return m_movie && m_component; }

  private:
    EngineClient();
    EngineMovieEntry m_movie = nullptr;
    EngineComponentEntry m_component = nullptr;
};

// A frame as the engine pictures it (GetFramePicture, then the packed DIB made of it): BGRA
// rows, top row first. Width and height are 0 when the engine gave no picture.
struct EnginePicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> top_down;
};
EnginePicture engine_picture(ULONG movie, double seconds);

// A movie opened for one test and disposed of at its end.
class OpenedMovie {
  public:
    explicit OpenedMovie(ULONG movie) : m_movie(movie) {}
    ~OpenedMovie() {
        if (m_movie) EngineClient::get().dispose(m_movie);
    }
    OpenedMovie(const OpenedMovie&) = delete;
    OpenedMovie& operator=(const OpenedMovie&) = delete;
    ULONG get() const { return m_movie; }

  private:
    ULONG m_movie;
};

} // namespace media_test
