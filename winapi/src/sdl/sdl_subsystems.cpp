#include "sdl/sdl_subsystems.h"

#include <SDL.h>

#include <map>

namespace winapi::sdl {

namespace {

std::map<uint32_t, int>& counts() {
    static std::map<uint32_t, int> started;
    return started;
}

int total() {
    int sum = 0;
    for (const auto& [subsystem, count] : counts())
        sum += count;
    return sum;
}

} // namespace

bool start_subsystem(uint32_t subsystem) {
    if (SDL_InitSubSystem(subsystem) != 0) return false;
    ++counts()[subsystem];
    return true;
}

void stop_subsystem(uint32_t subsystem) {
    auto it = counts().find(subsystem);
    if (it == counts().end() || it->second == 0) return;
    --it->second;
    SDL_QuitSubSystem(subsystem);
    if (total() == 0) SDL_Quit();
}

} // namespace winapi::sdl
