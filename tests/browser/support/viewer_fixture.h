// What the viewer's end-to-end tests share: a fresh folder for pages and data, the test
// plug-in's record, a run of the viewer inside the test process, and the pixels of the
// screenshot it wrote.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace browser_test {

// A PNG read back: 32-bit pixels, COLORREF order (red in the low byte).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

bool read_png(const std::string& path, Picture& picture);

// Bytes 0, 1, 2, ... 255, 0, 1, ...: data whose every block shows where it came from.
std::string counting_bytes(size_t size);

struct ViewerRun {
    int code = -1;
    std::string out;
    std::string err;
};

class ViewerTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file in the test's folder; returns its path.
    std::string write(const std::string& name, const std::string& content);
    std::string path(const std::string& name) const { return m_folder + "/" + name; }

    // Runs the viewer headless with the test plug-in's folder and the given arguments.
    ViewerRun run(std::vector<std::string> args);
    // The same, with --at and --screenshot (written to shot.png in the folder).
    ViewerRun run_shot(const std::string& page, double at, std::vector<std::string> more = {});
    Picture shot();

    // The plug-in's record: every line, or the lines of one instance (without the prefix),
    // optionally only those whose first word is `kind`.
    std::vector<std::string> log() const;
    std::vector<std::string> lines(const std::string& name, const std::string& kind = "") const;

    std::string m_folder;
};

// "key=value" taken from a record line; empty when absent.
std::string field(const std::string& line, const std::string& key);
long number_field(const std::string& line, const std::string& key);

} // namespace browser_test
