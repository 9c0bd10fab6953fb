// The host's runs. Each one loads the plug-in afresh in this process and runs its cases in
// order; later cases build on what the earlier ones did, as the steps of one page visit do.
#pragma once

#include <string>

namespace winhost {

struct HostOptions {
    std::string plugin_folder;  // the folder the browser found NPLant32.dll in
    std::string movie_file;     // the movie the page embeds
    std::string reference_file; // its first frame as decoded by the reference decoder, BGRA
    int movie_width = 0;        // the movie's natural size
    int movie_height = 0;
};

// Version information, the exported entry points and their table and version checks, the
// refusal of other data types, and a second start of the library.
void run_entry_point_cases(const HostOptions& options);

// One page with one movie: the poster, the movie streamed in blocks and its first frame on the
// screen, the context menu's copy of the movie's address, and the end of the page and of the
// library (profile written, cache file gone, all host memory given back).
void run_movie_cases(const HostOptions& options);

// The plug-in found without the movie engine beside it.
void run_missing_engine_cases(const HostOptions& options);

} // namespace winhost
