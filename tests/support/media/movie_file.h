// Movies made by the ffmpeg tool for tests and benchmarks, from its synthetic sources.
#pragma once

#include <string>

namespace test_support {

// Makes the movie `path` with `ffmpeg -v error -y ARGUMENTS PATH` (inputs and codec options),
// unless it exists already; its folder is made as needed. The movie is written under a
// temporary name and renamed, so an interrupted run, or programs running side by side, never
// leave or see a half-written movie. False when ffmpeg made nothing, with what it said in
// `errors`.
bool make_movie_file(const std::string& path, const std::string& arguments,
                     std::string* errors = nullptr);

} // namespace test_support
