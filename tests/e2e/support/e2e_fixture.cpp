#include "support/e2e_fixture.h"

#include "media/command_output.h"

#include "host_services.h"
#include "viewer.h"

#include <winapi/desktop.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace e2e_test {

namespace desktop = winapi::desktop;

namespace {

// The test whose run is going on: the actions' timer reaches it.
EndToEndTest* g_running = nullptr;

// How often the actions' timer looks at the clock.
constexpr UINT kActionPeriodMs = 10;

int channel_difference(COLORREF a, COLORREF b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

} // namespace

HWND top_level(HWND hwnd) {
    while (hwnd && GetParent(hwnd))
        hwnd = GetParent(hwnd);
    return hwnd;
}

std::vector<HWND> embed_windows_of(HWND page) {
    std::vector<HWND> found;
    RECT client{};
    GetClientRect(page, &client);
    // The page's own children under each point, above the status bar.
    for (int y = 0; y < client.bottom - browser::kStatusBarHeight; y += 4) {
        for (int x = 0; x < client.right; x += 4) {
            POINT point{x, y};
            ClientToScreen(page, &point);
            HWND hwnd = WindowFromPoint(point);
            while (hwnd && GetParent(hwnd) && GetParent(hwnd) != page)
                hwnd = GetParent(hwnd);
            if (hwnd && hwnd != page && std::find(found.begin(), found.end(), hwnd) == found.end())
                found.push_back(hwnd);
        }
    }
    return found;
}

Picture window_picture(HWND hwnd, RECT area) {
    Picture picture;
    picture.width = std::max<int>(area.right - area.left, 0);
    picture.height = std::max<int>(area.bottom - area.top, 0);
    picture.pixels.reserve(static_cast<size_t>(picture.width) * picture.height);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            picture.pixels.push_back(desktop::window_pixel(hwnd, x, y));
    return picture;
}

Picture window_picture(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return window_picture(hwnd, client);
}

int differing_pixels(const Picture& a, const Picture& b, int tolerance) {
    if (a.pixels.size() != b.pixels.size()) return -1;
    int count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        count += channel_difference(a.pixels[i], b.pixels[i]) > tolerance;
    return count;
}

int colourful_pixels(const Picture& picture) {
    int count = 0;
    for (COLORREF colour : picture.pixels) {
        int high = std::max({GetRValue(colour), GetGValue(colour), GetBValue(colour)});
        int low = std::min({GetRValue(colour), GetGValue(colour), GetBValue(colour)});
        count += colour != CLR_INVALID && high - low > 80;
    }
    return count;
}

int pixels_of_colour(const Picture& picture, COLORREF colour) {
    return static_cast<int>(std::count(picture.pixels.begin(), picture.pixels.end(), colour));
}

double mean_difference(const Picture& a, const Picture& b) {
    if (a.pixels.empty() || a.pixels.size() != b.pixels.size()) return 255;
    double total = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        total += std::abs(GetRValue(a.pixels[i]) - GetRValue(b.pixels[i])) +
                 std::abs(GetGValue(a.pixels[i]) - GetGValue(b.pixels[i])) +
                 std::abs(GetBValue(a.pixels[i]) - GetBValue(b.pixels[i]));
    return total / (3.0 * a.pixels.size());
}

Picture ffmpeg_frame(const std::string& movie, double seconds, int width, int height) {
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", seconds);
    // Decoded from the start and picked by time, so no seek imprecision enters the reference.
    std::string command = "ffmpeg -v error -i '" + movie + "' -vf \"select='gte(t," + time +
                          ")',scale=" + std::to_string(width) + ":" + std::to_string(height) +
                          "\" -frames:v 1 -f rawvideo -pix_fmt rgb24 - 2>/dev/null";
    std::string rgb = test_support::run_command(command);
    Picture picture;
    if (rgb.size() != static_cast<size_t>(width) * height * 3) return picture;
    picture.width = width;
    picture.height = height;
    for (size_t i = 0; i < rgb.size(); i += 3)
        picture.pixels.push_back(RGB(static_cast<uint8_t>(rgb[i]), static_cast<uint8_t>(rgb[i + 1]),
                                     static_cast<uint8_t>(rgb[i + 2])));
    return picture;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string movie_atom_first(const std::string& bytes) {
    auto atom_size = [&](size_t at) {
        if (at + 8 > bytes.size()) return size_t(0);
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        return size_t(b[0]) << 24 | size_t(b[1]) << 16 | size_t(b[2]) << 8 | size_t(b[3]);
    };
    size_t type_size = atom_size(0);
    if (type_size < 8 || bytes.compare(4, 4, "ftyp") != 0) return {};
    size_t movie_size = atom_size(type_size);
    if (movie_size < 8 || bytes.compare(type_size + 4, 4, "moov") != 0 ||
        type_size + movie_size > bytes.size())
        return {};
    std::string free_space = bytes.substr(0, type_size);
    free_space.replace(4, 4, "free");
    return bytes.substr(type_size, movie_size) + free_space + bytes.substr(type_size + movie_size);
}

std::vector<std::string> folder_files(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void EndToEndTest::SetUp() {
    m_scratch = std::make_unique<plugin_test::ScratchFolders>();
    m_movie = LXTEST_E2E_MOVIE;
    ASSERT_TRUE(std::filesystem::exists(m_movie)) << "no test movie at " << m_movie;
    ASSERT_EQ(movie_bytes().compare(4, 4, "moov"), 0)
        << "the test movie has no movie atom after its type";
}

void EndToEndTest::TearDown() {
    desktop::reset();
    // Every host block the plug-in or the viewer handed out came back by the end of a run.
    EXPECT_EQ(browser::host_blocks_outstanding(), 0u);
    m_scratch.reset();
}

std::string EndToEndTest::write(const std::string& name, const std::string& content) {
    std::ofstream(page_path(name), std::ios::binary) << content;
    return page_path(name);
}

void EndToEndTest::at(double seconds, std::function<void()> action) {
    m_actions.push_back(Action{static_cast<uint64_t>(seconds * 1000 + 0.5), std::move(action)});
}

void CALLBACK EndToEndTest::action_timer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_running) g_running->run_due_actions();
}

void EndToEndTest::run_due_actions() {
    uint64_t now = desktop::clock_now();
    // An action may open a modal loop in which this timer fires again: each action is taken
    // out of the list before it runs.
    for (size_t i = 0; i < m_actions.size();) {
        if (m_actions[i].at_ms > now) {
            ++i;
            continue;
        }
        std::function<void()> action = std::move(m_actions[i].action);
        m_actions.erase(m_actions.begin() + static_cast<long>(i));
        action();
    }
}

ViewerRun EndToEndTest::run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--headless", "--plugins", LXTEST_REAL_PLUGIN_DIR, "--size",
                               std::to_string(kPageWidth) + "x" + std::to_string(kPageHeight)});
    // The viewer starts the manual clock at 0 as well; the actions' timer counts from there.
    desktop::use_manual_clock(0);
    g_running = this;
    UINT_PTR timer = SetTimer(nullptr, 0, kActionPeriodMs, action_timer);
    std::ostringstream out, err;
    ViewerRun result;
    result.code = browser::run_viewer(args, out, err);
    KillTimer(nullptr, timer);
    g_running = nullptr;
    result.out = out.str();
    result.err = err.str();
    EXPECT_TRUE(m_actions.empty()) << m_actions.size() << " actions never fell due";
    m_actions.clear();
    return result;
}

HWND EndToEndTest::page_window() const {
    // The first page window sits at the top left of the screen.
    return top_level(WindowFromPoint(POINT{kPageWidth / 2, 2}));
}

std::vector<HWND> EndToEndTest::embed_windows() const {
    return embed_windows_of(page_window());
}

std::string EndToEndTest::window_text(HWND hwnd) const {
    char text[512] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

std::string EndToEndTest::clipboard_text(UINT format) const {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(format)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace e2e_test
