// Opens arbitrary bytes as a movie and measures and decodes what opens: no input may crash
// the engine, hang it or make it read outside the file.
#include "common/file_source.h"
#include "movie/movie.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <unistd.h>

using lanternix::media::FileSource;
using lanternix::media::Movie;
using lanternix::media::Picture;

namespace {

std::string scratch_file() {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/lanternix-fuzz-" +
           std::to_string(getpid()) + ".mov";
}

void exercise(Movie& movie) {
    uint32_t duration = movie.duration();
    uint64_t total = 0;
    for (int part = 0; part < 8; ++part) {
        uint64_t start = uint64_t(duration) * part / 8;
        uint64_t end = uint64_t(duration) * (part + 1) / 8;
        total += movie.span_data_size(start, end - start);
    }
    // The spans telescope: their sum is the whole span.
    if (total != movie.span_data_size(0, duration)) __builtin_trap();
    for (const auto& track : movie.tracks()) {
        if (track.samples.empty()) continue;
        const auto* sample = track.samples.sample_at_media_time(0);
        if (!sample) __builtin_trap();
        (void)track.samples.duration_of(*sample);
    }
    RECT box = movie.natural_box();
    int width = box.right - box.left, height = box.bottom - box.top;
    // Large frames are scaled down: the point is to decode, not to allocate.
    if (int64_t(width) * height > 1 << 20) width = height = 64;
    Picture picture;
    for (uint32_t time : {0u, duration / 2, duration, duration / 4})
        movie.render_frame(time, width, height, picture);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = scratch_file();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    for (bool growing : {false, true}) {
        std::shared_ptr<FileSource> source = FileSource::open_path(path);
        if (!source) return 0;
        std::unique_ptr<Movie> movie;
        if (Movie::open(source, growing, movie) == 0) exercise(*movie);
    }
    return 0;
}
