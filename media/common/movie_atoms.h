// The movie file's atom structure, read before the demuxer sees the file.
//
// The demuxer opens a movie atom that has only partly arrived without complaint and builds a
// truncated or garbage sample table from the placeholder bytes. So the top-level atoms are
// walked first, and the movie is refused unless its whole movie atom lies in received data
// and its container atoms are well formed. The movie header's time scale and duration are
// read here as well: the demuxer only offers a duration rounded to microseconds.
#pragma once

#include "common/file_source.h"

#include <engine_abi.h>

#include <cstdint>
#include <vector>

namespace lanternix::media {

struct MovieHeader {
    uint32_t time_scale = 0;
    uint64_t duration = 0;
};

// What a track's atoms say of its pictures. The demuxer leaves the size of MPEG-4 part 2,
// H.263 and H.261 tracks unset, to be filled in by a decoder during the stream information
// pass the engine never runs; the engine takes it from here instead.
struct TrackPictureSize {
    uint32_t track_id = 0;
    int width = 0; // of the first sample description, as its writer declared them
    int height = 0;
};

struct AtomScan {
    EngineResult result = 0; // 0, or why the movie cannot be opened (yet)
    uint64_t movie_offset = 0;
    uint64_t movie_size = 0;
    MovieHeader header;
    std::vector<TrackPictureSize> track_sizes; // tracks in file order
};

// Walks the top-level atoms of the first `data_end` bytes (the bytes that hold real data;
// `file_size` is the file's whole length) and checks the movie atom.
AtomScan scan_movie_atoms(FileSource& source, uint64_t data_end, uint64_t file_size);

// The end of the received data of a file that may still be arriving. The plug-in grows such
// a file to its announced length at once and keeps the count of bytes still to come in its
// last four bytes (little endian), with nothing but zeros between the received data and that
// count. A file whose tail does not look like that is taken as complete.
uint64_t received_data_end(FileSource& source, uint64_t file_size);

} // namespace lanternix::media
