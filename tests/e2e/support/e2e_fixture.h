// What the end-to-end tests share: scratch folders for the plug-in's profile and cache files,
// the test movie, a run of the viewer inside the test process with the real plug-in and
// engine, and looks at the run while it goes on (pixels of windows, the status bar, the
// clipboard, files) through actions that fall due on the viewer's manual clock.
#pragma once

#include <windows.h>

#include "support/scratch_folders.h"
#include "support/viewer_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e_test {

using browser_test::Picture;
using browser_test::ViewerRun;

// The pixels of a window's client area (or of part of it), read as a person sees them.
Picture window_picture(HWND hwnd, RECT area);
Picture window_picture(HWND hwnd);
// How many pixels of two pictures of the same size differ by more than `tolerance` in any
// channel.
int differing_pixels(const Picture& a, const Picture& b, int tolerance = 24);
// Pixels that are not grey: the test pattern is colourful, the poster, page and bar are not.
int colourful_pixels(const Picture& picture);
int pixels_of_colour(const Picture& picture, COLORREF colour);
// The movie's frame at `seconds` as ffmpeg itself decodes it, as a picture.
Picture ffmpeg_frame(const std::string& movie, double seconds, int width, int height);
// Mean difference per channel between two pictures of the same size.
double mean_difference(const Picture& a, const Picture& b);

std::string read_file(const std::string& path);

// The top-level window a window belongs to.
HWND top_level(HWND hwnd);
// The embeds' windows of a page window, top to bottom and left to right.
std::vector<HWND> embed_windows_of(HWND page);

// ffmpeg's fast-start movies begin with a small file-type atom and only then the movie atom.
// The plug-in looks at the first atom alone, so the tests move the movie atom to the front
// and turn the file-type atom into free space behind it: every atom after the two keeps its
// offset, so the sample offsets stay right. Empty when the file does not start that way.
std::string movie_atom_first(const std::string& bytes);
// The names of the files in a folder.
std::vector<std::string> folder_files(const std::string& folder);

class EndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // An action carried out inside the run when the manual clock reaches `seconds`.
    void at(double seconds, std::function<void()> action);
    // Runs the viewer headless on the manual clock with the real plug-in and the given
    // arguments (options, then the address); the actions fall due as the run goes on.
    ViewerRun run(std::vector<std::string> args);

    // Inside a run: the page window (the first top-level window) and its embeds' windows,
    // top to bottom and left to right.
    HWND page_window() const;
    std::vector<HWND> embed_windows() const;
    std::string window_text(HWND hwnd) const;
    // The text on the clipboard in `format`; empty when there is none.
    std::string clipboard_text(UINT format) const;

    // The test movie as ffmpeg made it, and the bytes the tests serve: the same movie with its
    // movie atom at the very start of the file.
    const std::string& movie() const { return m_movie; }
    std::string movie_bytes() const { return movie_atom_first(read_file(m_movie)); }
    // Where the plug-in's cache files and kept copies go ($TMPDIR).
    std::string temp_folder() const { return m_scratch->temp_directory(); }
    std::string page_path(const std::string& name) const { return m_scratch->path(name); }
    std::string write(const std::string& name, const std::string& content);

    static constexpr int kPageWidth = 480;
    static constexpr int kPageHeight = 360;

  private:
    struct Action {
        uint64_t at_ms;
        std::function<void()> action;
    };
    static void CALLBACK action_timer(HWND, UINT, UINT_PTR, DWORD);
    void run_due_actions();

    std::unique_ptr<plugin_test::ScratchFolders> m_scratch;
    std::string m_movie;
    std::vector<Action> m_actions;
};

} // namespace e2e_test
