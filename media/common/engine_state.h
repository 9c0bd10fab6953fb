// Everything the two engine libraries share: the objects behind the handles they give out,
// and the result of the last movie-library operation.
#pragma once

#include "common/handle_registry.h"

#include <engine_abi.h>

#include <string>

namespace lanternix::media {

class Movie;
class Controller;
struct Picture;

struct FileReference {
    std::string path;
};

// A track, or its media: the movie's handle and the track's place in it.
struct TrackReference {
    uint32_t movie = 0;
    size_t index = 0;
};

struct EngineState {
    HandleRegistry<FileReference> files;
    HandleRegistry<Movie> movies;
    HandleRegistry<TrackReference> tracks;
    HandleRegistry<TrackReference> media;
    HandleRegistry<Picture> pictures;
    HandleRegistry<Controller> controllers;
    EngineResult last_error = 0;
};

// The engine's state; both libraries run on the thread of the user interface.
EngineState& engine_state();

// Disposes of a movie with its track and media handles. Controllers over it let go of it
// first.
void dispose_movie(uint32_t movie);

} // namespace lanternix::media
