#include "viewer_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace browser {

namespace {

bool parse_unsigned(const std::string& text, uint64_t& value) {
    if (text.empty() || text[0] == '-') return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long number = std::strtoull(text.c_str(), &end, 10);
    if (errno || *end) return false;
    value = number;
    return true;
}

bool parse_size(const std::string& text, int& width, int& height) {
    size_t x = text.find('x');
    uint64_t w = 0, h = 0;
    if (x == std::string::npos || !parse_unsigned(text.substr(0, x), w) ||
        !parse_unsigned(text.substr(x + 1), h))
        return false;
    if (w < 64 || h < 64 || w > 8192 || h > 8192) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool parse_seconds(const std::string& text, double& seconds) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || !std::isfinite(value) || value < 0 || value > 86400) return false;
    seconds = value;
    return true;
}

// "X,Y@SECONDS".
bool parse_click(const std::string& text, ViewerOptions::Click& click) {
    size_t comma = text.find(',');
    size_t at = text.find('@');
    uint64_t x = 0, y = 0;
    if (comma == std::string::npos || at == std::string::npos || at < comma) return false;
    if (!parse_unsigned(text.substr(0, comma), x) ||
        !parse_unsigned(text.substr(comma + 1, at - comma - 1), y) || x > 8192 || y > 8192)
        return false;
    click.x = static_cast<int>(x);
    click.y = static_cast<int>(y);
    return parse_seconds(text.substr(at + 1), click.at_seconds);
}

// "KEY@SECONDS", the key one of the names below.
bool parse_key(const std::string& text, ViewerOptions::Click& press) {
    static const struct {
        const char* name;
        unsigned key;
    } kKeys[] = {{"up", 0x26},   {"down", 0x28}, {"pageup", 0x21}, {"pagedown", 0x22},
                 {"home", 0x24}, {"end", 0x23},  {"space", 0x20}};
    size_t at = text.find('@');
    if (at == std::string::npos) return false;
    std::string name = text.substr(0, at);
    for (const auto& entry : kKeys) {
        if (name != entry.name) continue;
        press.key = entry.key;
        return parse_seconds(text.substr(at + 1), press.at_seconds);
    }
    return false;
}

// Takes the value of an option that needs one; false when it is missing.
bool take_value(const std::vector<std::string>& args, size_t& i, std::string& value) {
    if (i + 1 >= args.size()) return false;
    value = args[++i];
    return true;
}

bool apply_option(const std::string& name, const std::string& value, ViewerOptions& options) {
    if (name == "--plugins") {
        options.plugin_folders.push_back(value);
        return true;
    }
    if (name == "--rate") return parse_unsigned(value, options.rate);
    if (name == "--max-stream")
        return parse_unsigned(value, options.max_stream) && options.max_stream > 0;
    if (name == "--size") return parse_size(value, options.width, options.height);
    if (name == "--at") return parse_seconds(value, options.at_seconds);
    if (name == "--click") {
        ViewerOptions::Click click{};
        if (!parse_click(value, click)) return false;
        options.clicks.push_back(click);
        return true;
    }
    if (name == "--key") {
        ViewerOptions::Click press{};
        if (!parse_key(value, press)) return false;
        options.clicks.push_back(press);
        return true;
    }
    if (name == "--screenshot") {
        options.screenshot = value;
        return !value.empty();
    }
    return false;
}

} // namespace

std::optional<ViewerOptions> parse_options(const std::vector<std::string>& args,
                                           std::string& error) {
    ViewerOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--real-clock") {
            options.real_clock = true;
        } else if (arg == "--plugins" || arg == "--rate" || arg == "--size" || arg == "--at" ||
                   arg == "--screenshot" || arg == "--click" || arg == "--max-stream" ||
                   arg == "--key") {
            std::string value;
            if (!take_value(args, i, value)) {
                error = arg + " needs a value";
                return std::nullopt;
            }
            if (!apply_option(arg, value, options)) {
                error = "bad value for " + arg + ": '" + value + "'";
                return std::nullopt;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return std::nullopt;
        } else if (options.address.empty()) {
            options.address = arg;
        } else {
            error = "more than one page given ('" + options.address + "' and '" + arg + "')";
            return std::nullopt;
        }
    }
    if (options.help) return options;
    if (options.address.empty()) {
        error = "no page given";
        return std::nullopt;
    }
    if (!options.headless &&
        (!options.screenshot.empty() || options.real_clock || !options.clicks.empty())) {
        error = "--screenshot, --click, --key and --real-clock go with --headless";
        return std::nullopt;
    }
    return options;
}

const char* usage_text() {
    return "Usage: lanternix-view [options] PAGE|URL\n"
           "Shows a page (a file, a file: URL or an http: URL) and the plug-ins it embeds.\n"
           "\n"
           "  --plugins DIR      look for plug-ins in DIR (may be given more than once);\n"
           "                     default: the program's folder, then ../lib beside it\n"
           "  --rate BYTES       deliver at most BYTES bytes per second to plug-ins\n"
           "  --max-stream BYTES end a download that grows beyond BYTES as a network\n"
           "                     error; default: 4 GB, or the free space of the temporary\n"
           "                     folder less 64 MB when that is less\n"
           "  --size WxH         size of the page window (default 800x600)\n"
           "  --headless         run without a display, on a manual clock that moves in\n"
           "                     10 ms steps, and print status bar texts as they change\n"
           "  --at SECONDS       with --headless: how long the page runs (default 5)\n"
           "  --screenshot FILE  with --headless: write a PNG of the page window at the end\n"
           "  --real-clock       with --headless: let real time pass instead\n"
           "  --click X,Y@SEC    with --headless: a left click at X,Y of the page window\n"
           "                     SEC seconds into the run (may be given more than once)\n"
           "  --key KEY@SEC      with --headless: a key pressed SEC seconds into the run;\n"
           "                     KEY is up, down, pageup, pagedown, home, end or space\n"
           "  --help             show this text\n"
           "\n"
           "Exit status: 0 success, 1 the page could not be opened or the screenshot not\n"
           "written, 2 a bad command line or no display, 3 the page needs a plug-in that\n"
           "is not installed (the page is shown with an empty box in its place).\n";
}

std::vector<std::string> default_plugin_folders() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {"."};
    std::filesystem::path folder = program.parent_path();
    return {folder.string(), (folder / ".." / "lib").lexically_normal().string()};
}

} // namespace browser
