// The viewer's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace browser {

struct ViewerOptions {
    std::string address;                     // PAGE or URL
    std::vector<std::string> plugin_folders; // empty: the default folders
    uint64_t rate = 0;                       // bytes per second; 0 unlimited
    uint64_t max_stream = 0;                 // bytes one stream may bring; 0: the default
    int width = 800;
    int height = 600;
    bool headless = false;
    bool real_clock = false;
    double at_seconds = 5.0;
    std::string screenshot;
    // Scripted left clicks and key presses of a headless run: page-window coordinates (or
    // the virtual key, when not 0) and when.
    struct Click {
        int x;
        int y;
        double at_seconds;
        unsigned key = 0;
    };
    std::vector<Click> clicks;
    bool help = false;
};

// Parses the arguments after the program name. nullopt with `error` set for a bad line.
std::optional<ViewerOptions> parse_options(const std::vector<std::string>& args,
                                           std::string& error);

// The text --help prints.
const char* usage_text();

// The folders searched when --plugins is not given: the program's own folder, then the
// installation's library folder beside it (../lib).
std::vector<std::string> default_plugin_folders();

} // namespace browser
