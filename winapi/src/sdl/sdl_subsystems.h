// SDL's start-up, shared by the parts of the layer that use SDL (the display here, sound in
// its own folder): each part starts the subsystem it needs, and SDL itself is shut down
// when the last one is stopped.
#pragma once

#include <cstdint>

namespace winapi::sdl {

// SDL_InitSubSystem for `subsystem` (SDL_INIT_VIDEO, SDL_INIT_AUDIO ...), counted. False
// when it cannot start; SDL_GetError says why.
bool start_subsystem(uint32_t subsystem);
void stop_subsystem(uint32_t subsystem);

} // namespace winapi::sdl
