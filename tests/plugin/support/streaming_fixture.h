// A fixture that plays a browser streaming a movie into one embedded instance: NPLant32 with
// the recording engine, a page with one embed window, the manual desktop clock, and the
// stream's three host calls. Helpers read what the user and the engine see: the cache
// folder's files, the engine's calls by name, the instance's status line.
#pragma once

#include "support/plugin_fixture.h"

#include "engine/recording_engine.h"

#include <npapi.h>

#include <cstdint>
#include <string>
#include <vector>

class MovieInstance;

namespace plugin_test {

// Movie-file bytes: an atom header of `atom_size` and `type`, then a counting pattern, so
// that every offset holds a known byte.
std::string movie_bytes(size_t total, uint32_t atom_size, const char* type);

class StreamingFixture : public PluginFixture {
  protected:
    // The clock at the start of every test: 4200 ms, the tick count whose cache file is
    // "LX000042.mov".
    static constexpr uint64_t kStartTick = 4200;
    static constexpr const char* kAddress = "http://example.invalid/movies/clip.mov";

    void SetUp() override;
    void TearDown() override;

    // Sets a preference key in the profile; call before open_instance.
    void set_preference(const char* key, const char* value);
    // Starts the library, makes the page and an instance with `attributes` (SRC first, as a
    // page gives it) and gives it a window record of width x height; the engine's record is
    // cleared afterwards. A width of 0 gives no window record at all.
    void open_instance(const Attributes& attributes, int width = 320, int height = 240);
    // Streams all of `movie` (announced) in one block and ends the stream as finished.
    void stream_whole(const std::string& movie);
    // NPP_NewStream with the announced length (0: unknown).
    void begin_stream(uint32_t announced_length);
    // NPP_Write of bytes [from, from + count) of `movie`; the plug-in's answer.
    int32 write(const std::string& movie, size_t from, size_t count);
    // Writes `movie` from `from` up to `to` in blocks of `block` bytes, advancing the clock by
    // `step_ms` before each block.
    void write_blocks(const std::string& movie, size_t from, size_t to, size_t block,
                      uint64_t step_ms = 0);
    NPError end_stream(NPReason reason);
    NPError destroy();
    // Destroys the instance and the page and shuts the library down, so that the next
    // open_instance starts afresh.
    void close_page();

    // The names of the files in the cache folder (the scratch temporary folder), sorted.
    std::vector<std::string> cache_files() const;
    std::string read_file(const std::string& name) const;
    void write_file(const std::string& name, const std::string& contents) const;

    // The engine's calls since the last clear, as "Operation" or "ControllerAction <code>".
    std::vector<std::string> engine_calls() const;
    // How many calls of that name the engine has had.
    size_t engine_count(const std::string& name) const;
    void clear_engine_calls();

    // The library's instance object, to read its fields: the same class, compiled once more
    // into the test, so the layout is the same.
    const MovieInstance* instance() const;
    // The instance's status line as it is now drawn ("" when none).
    std::string status_line() const;

    NPP_t npp{};
    NPStream stream{};
    HWND page = nullptr;
    HWND embed = nullptr;
    NPWindow window_record{};

  private:
    bool m_live = false;
    size_t m_calls_seen = 0;
};

} // namespace plugin_test
