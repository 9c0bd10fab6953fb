#include "support/viewer_fixture.h"

#include "host_services.h"
#include "viewer.h"

#include <winapi/desktop.h>

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace browser_test {

bool read_png(const std::string& path, Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) return false;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = RGB(rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2]);
    return true;
}

std::string counting_bytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i & 0xFF);
    return bytes;
}

void ViewerTest::SetUp() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string base = std::filesystem::temp_directory_path().string() + "/lxview_" +
                       info->test_suite_name() + "_" + info->name() + "_" +
                       std::to_string(::getpid());
    std::filesystem::remove_all(base);
    std::filesystem::create_directories(base);
    m_folder = base;
    setenv("LXTEST_PLUGIN_LOG", path("plugin.log").c_str(), 1);
}

void ViewerTest::TearDown() {
    unsetenv("LXTEST_PLUGIN_LOG");
    winapi::desktop::reset();
    // Every host block the plug-in or the viewer handed out came back by the end of a run.
    EXPECT_EQ(browser::host_blocks_outstanding(), 0u);
    if (!HasFailure()) std::filesystem::remove_all(m_folder);
}

std::string ViewerTest::write(const std::string& name, const std::string& content) {
    std::filesystem::create_directories(std::filesystem::path(path(name)).parent_path());
    std::ofstream(path(name), std::ios::binary) << content;
    return path(name);
}

ViewerRun ViewerTest::run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--headless", "--plugins", LXTEST_PLUGIN_DIR});
    std::ostringstream out, err;
    ViewerRun result;
    result.code = browser::run_viewer(args, out, err);
    result.out = out.str();
    result.err = err.str();
    winapi::desktop::reset();
    return result;
}

ViewerRun ViewerTest::run_shot(const std::string& page, double at, std::vector<std::string> more) {
    std::vector<std::string> args{"--at", std::to_string(at), "--screenshot", path("shot.png")};
    args.insert(args.end(), more.begin(), more.end());
    args.push_back(page);
    return run(args);
}

Picture ViewerTest::shot() {
    Picture picture;
    EXPECT_TRUE(read_png(path("shot.png"), picture)) << "no screenshot at " << path("shot.png");
    return picture;
}

std::vector<std::string> ViewerTest::log() const {
    std::vector<std::string> result;
    std::ifstream file(path("plugin.log"));
    for (std::string line; std::getline(file, line);)
        result.push_back(line);
    return result;
}

std::vector<std::string> ViewerTest::lines(const std::string& name, const std::string& kind) const {
    std::vector<std::string> result;
    std::string prefix = "[" + name + "] ";
    for (const std::string& line : log()) {
        if (line.compare(0, prefix.size(), prefix) != 0) continue;
        std::string rest = line.substr(prefix.size());
        if (kind.empty() || rest.substr(0, rest.find(' ')) == kind) result.push_back(rest);
    }
    return result;
}

std::string field(const std::string& line, const std::string& key) {
    std::string wanted = key + "=";
    size_t at = 0;
    while ((at = line.find(wanted, at)) != std::string::npos) {
        if (at == 0 || line[at - 1] == ' ') break;
        at += wanted.size();
    }
    if (at == std::string::npos) return {};
    size_t start = at + wanted.size();
    return line.substr(start, line.find(' ', start) - start);
}

long number_field(const std::string& line, const std::string& key) {
    std::string value = field(line, key);
    return value.empty() ? -1 : std::strtol(value.c_str(), nullptr, 10);
}

} // namespace browser_test
