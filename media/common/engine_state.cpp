#include "common/engine_state.h"

#include "controller/controller.h"
#include "movie/movie.h"

namespace lanternix::media {

uint32_t next_engine_handle() {
    // Handles start well away from small numbers that callers use as flags or counts.
    static uint32_t next = 0x10000;
    return next++;
}

EngineState& engine_state() {
    // Never destroyed: the libraries may be unloaded in any order at process exit.
    static auto* state = new EngineState;
    return *state;
}

void dispose_movie(uint32_t movie) {
    EngineState& state = engine_state();
    state.controllers.for_each([&](uint32_t, Controller& controller) {
        if (controller.movie_handle() == movie) controller.detach_movie();
    });
    for (auto* registry : {&state.tracks, &state.media}) {
        while (uint32_t id = registry->find_id(
                   [&](const TrackReference& track) { return track.movie == movie; }))
            registry->remove(id);
    }
    state.movies.remove(movie);
}

} // namespace lanternix::media
