#include "media/movie_file.h"

#include "media/command_output.h"

#include <filesystem>
#include <unistd.h>

namespace test_support {

bool make_movie_file(const std::string& path, const std::string& arguments, std::string* errors) {
    if (std::filesystem::exists(path)) return true;
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder);
    std::string partial = path + "." + std::to_string(getpid()) + ".tmp.mov";
    std::string said = run_command("ffmpeg -v error -y " + arguments + " '" + partial + "' 2>&1");
    if (!std::filesystem::exists(partial)) {
        if (errors) *errors = said;
        return false;
    }
    std::filesystem::rename(partial, path);
    return true;
}

} // namespace test_support
