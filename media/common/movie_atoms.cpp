#include "common/movie_atoms.h"

#include "common/engine_error.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>

namespace lanternix::media {

namespace {

// More top-level atoms than this is not a movie but a way to keep the engine busy.
constexpr int max_top_level_atoms = 1 << 16;
constexpr int max_nesting = 16;

uint32_t fourcc(const char (&text)[5]) {
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
           uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

uint32_t read_be32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 |
           uint32_t(bytes[3]);
}

uint64_t read_be64(const uint8_t* bytes) {
    return uint64_t(read_be32(bytes)) << 32 | read_be32(bytes + 4);
}

struct Atom {
    uint64_t offset = 0;
    uint64_t size = 0; // header included
    uint32_t header_size = 8;
    uint32_t type = 0;
};

// Reads the atom header at `offset`; `limit` is where its parent (or the file) ends. False
// when the header does not fit, or the atom is smaller than its header or overruns `limit`.
bool read_atom(FileSource& source, uint64_t offset, uint64_t limit, Atom& atom) {
    if (limit < offset || limit - offset < 8) return false;
    uint8_t header[16];
    if (source.read_at(offset, header, 8) != 8) return false;
    atom.offset = offset;
    atom.type = read_be32(header + 4);
    atom.size = read_be32(header);
    atom.header_size = 8;
    if (atom.size == 1) {
        if (limit - offset < 16 || source.read_at(offset + 8, header + 8, 8) != 8) return false;
        atom.size = read_be64(header + 8);
        atom.header_size = 16;
    } else if (atom.size == 0) {
        atom.size = limit - offset; // extends to the end of its parent
    }
    return atom.size >= atom.header_size && atom.size <= limit - offset;
}

bool is_container(uint32_t type) {
    static const std::array<uint32_t, 7> containers = {
        fourcc("trak"), fourcc("mdia"), fourcc("minf"), fourcc("stbl"),
        fourcc("edts"), fourcc("dinf"), fourcc("moov")};
    return std::find(containers.begin(), containers.end(), type) != containers.end();
}

// Checks that the children of a container tile it exactly. Placeholder zeros inside a movie
// atom read as atoms of type 0, which are refused. A four-byte zero terminator at the end is
// allowed, as old writers put it.
bool check_container(FileSource& source, const Atom& parent, int depth) {
    if (depth > max_nesting) return false;
    uint64_t end = parent.offset + parent.size;
    uint64_t offset = parent.offset + parent.header_size;
    while (end - offset >= 8) {
        Atom child;
        if (!read_atom(source, offset, end, child) || child.type == 0) return false;
        if (is_container(child.type) && !check_container(source, child, depth + 1)) return false;
        offset += child.size;
    }
    return end == offset || end - offset == 4;
}

// Finds the movie header among the movie atom's children and reads it.
bool read_movie_header(FileSource& source, const Atom& movie, MovieHeader& header) {
    uint64_t end = movie.offset + movie.size;
    for (uint64_t offset = movie.offset + movie.header_size; end - offset >= 8;) {
        Atom child;
        if (!read_atom(source, offset, end, child)) return false;
        if (child.type == fourcc("mvhd")) {
            uint8_t body[32] = {};
            uint64_t body_size = std::min<uint64_t>(child.size - child.header_size, sizeof body);
            if (source.read_at(offset + child.header_size, body, body_size) !=
                static_cast<int64_t>(body_size))
                return false;
            bool wide = body[0] == 1;
            if (body_size < (wide ? 32u : 20u)) return false;
            header.time_scale = read_be32(body + (wide ? 20 : 12));
            header.duration = wide ? read_be64(body + 24) : read_be32(body + 16);
            return true;
        }
        offset += child.size;
    }
    return false;
}

// Finds the first child of `parent` of type `type`.
bool find_child(FileSource& source, const Atom& parent, uint32_t type, Atom& found) {
    uint64_t end = parent.offset + parent.size;
    for (uint64_t offset = parent.offset + parent.header_size; end - offset >= 8;) {
        if (!read_atom(source, offset, end, found)) return false;
        if (found.type == type) return true;
        offset += found.size;
    }
    return false;
}

// Finds the atom at the end of a path of types below `parent`.
bool find_path(FileSource& source, const Atom& parent, std::initializer_list<uint32_t> path,
               Atom& found) {
    Atom current = parent;
    for (uint32_t type : path) {
        if (!find_child(source, current, type, found)) return false;
        current = found;
    }
    return true;
}

// Reads the start of an atom's body into `body`; the count of bytes read.
size_t read_body(FileSource& source, const Atom& atom, uint8_t* body, size_t size) {
    size_t wanted = static_cast<size_t>(std::min<uint64_t>(atom.size - atom.header_size, size));
    int64_t got = source.read_at(atom.offset + atom.header_size, body, wanted);
    return got < 0 ? 0 : static_cast<size_t>(got);
}

uint16_t read_be16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
}

// The track's id (its header's) and the picture size its first sample description declares.
// A sound or text track's description reads as some size too; only video tracks use it.
TrackPictureSize read_track_size(FileSource& source, const Atom& track) {
    TrackPictureSize size;
    Atom atom;
    uint8_t body[44] = {};
    if (find_child(source, track, fourcc("tkhd"), atom)) {
        size_t got = read_body(source, atom, body, 24);
        bool wide = got > 0 && body[0] == 1;
        if (got >= (wide ? 24u : 16u)) size.track_id = read_be32(body + (wide ? 20 : 12));
    }
    // The description table: version and flags, the entry count, then the first entry: its
    // size and format, six reserved bytes, the data reference, version, revision, vendor,
    // temporal and spatial quality, and then width and height.
    if (find_path(source, track, {fourcc("mdia"), fourcc("minf"), fourcc("stbl"), fourcc("stsd")},
                  atom) &&
        read_body(source, atom, body, sizeof body) == sizeof body && read_be32(body + 4) > 0 &&
        read_be32(body + 8) >= 36) {
        size.width = read_be16(body + 40);
        size.height = read_be16(body + 42);
    }
    return size;
}

void read_track_sizes(FileSource& source, const Atom& movie, std::vector<TrackPictureSize>& out) {
    uint64_t end = movie.offset + movie.size;
    for (uint64_t offset = movie.offset + movie.header_size; end - offset >= 8;) {
        Atom child;
        if (!read_atom(source, offset, end, child)) return;
        if (child.type == fourcc("trak")) out.push_back(read_track_size(source, child));
        offset += child.size;
    }
}

} // namespace

AtomScan scan_movie_atoms(FileSource& source, uint64_t data_end, uint64_t file_size) {
    AtomScan scan;
    uint64_t offset = 0;
    for (int count = 0; count < max_top_level_atoms && offset < file_size; ++count) {
        Atom atom;
        if (offset >= data_end || data_end - offset < 8) {
            scan.result = EngineErrorIncomplete;
            return scan;
        }
        if (!read_atom(source, offset, file_size, atom)) break;
        if (atom.type == fourcc("moov")) {
            scan.movie_offset = atom.offset;
            scan.movie_size = atom.size;
            if (atom.offset + atom.size > data_end) {
                scan.result = EngineErrorIncomplete;
            } else if (!check_container(source, atom, 0) ||
                       !read_movie_header(source, atom, scan.header) ||
                       scan.header.time_scale == 0) {
                scan.result = EngineErrorNotAMovie;
            } else {
                read_track_sizes(source, atom, scan.track_sizes);
            }
            return scan;
        }
        offset += atom.size;
    }
    scan.result = EngineErrorNotAMovie;
    return scan;
}

uint64_t received_data_end(FileSource& source, uint64_t file_size) {
    uint8_t tail[4];
    if (file_size < 8 || source.read_at(file_size - 4, tail, 4) != 4) return file_size;
    uint64_t missing = uint32_t(tail[0]) | uint32_t(tail[1]) << 8 | uint32_t(tail[2]) << 16 |
                       uint32_t(tail[3]) << 24;
    if (missing < 4 || missing > file_size) return file_size;
    uint64_t end = file_size - missing;
    // The gap before the count holds nothing but zeros; a sample of it keeps a complete file
    // whose last bytes happen to look like a count from being cut short.
    uint8_t gap[256];
    uint64_t sample = std::min<uint64_t>(sizeof gap, missing - 4);
    if (sample > 0 && source.read_at(end, gap, sample) != static_cast<int64_t>(sample))
        return file_size;
    for (uint64_t i = 0; i < sample; ++i)
        if (gap[i] != 0) return file_size;
    return end;
}

} // namespace lanternix::media
