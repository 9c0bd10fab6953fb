// The on-screen display, on a real X display: the one in DISPLAY, else an Xvfb server the
// test starts itself. Without either the tests are skipped, saying so.
#include "sdl/sdl_display.h"

#include "display/virtual_display.h"

#include <windows.h>
#include <winapi/desktop.h>

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <mmsystem.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace desktop = winapi::desktop;

namespace {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};
std::vector<Seen> g_seen;

LRESULT CALLBACK recording_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_LBUTTONDOWN || message == WM_KEYDOWN || message == WM_CLOSE ||
        message == WM_RBUTTONUP)
        g_seen.push_back(Seen{hwnd, message, wparam, lparam});
    if (message == WM_CLOSE) return 0;
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &paint.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &paint);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

class SdlDisplayTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test_support::ensure_x_display(); }
    static void TearDownTestSuite() { test_support::stop_x_display(); }

    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) GTEST_SKIP() << "no X display and no Xvfb to start one";
        ASSERT_TRUE(desktop::set_display(desktop::DisplayKind::Sdl)) << SDL_GetError();
        g_seen.clear();
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = recording_proc;
        window_class.lpszClassName = "SdlTestWindow";
        RegisterClassA(&window_class);
    }

    void TearDown() override {
        desktop::reset();
        desktop::set_display(desktop::DisplayKind::Headless);
    }

    HWND make_window(const char* title, int x, int y) {
        HWND hwnd = CreateWindowExA(0, "SdlTestWindow", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x,
                                    y, 120, 80, nullptr, nullptr, nullptr, nullptr);
        UpdateWindow(hwnd);
        return hwnd;
    }

    // Lets the display show what was drawn: it does so at most once per refresh, when the
    // message loop looks for input or waits.
    static void wait_for_screen() { MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT); }

    // The colour on screen at a point of an SDL window.
    static COLORREF screen_pixel(SDL_Window* window, int x, int y) {
        SDL_Surface* shown = SDL_GetWindowSurface(window);
        if (!shown || SDL_LockSurface(shown) != 0) return CLR_INVALID;
        Uint32 pixel = *reinterpret_cast<Uint32*>(static_cast<Uint8*>(shown->pixels) +
                                                  y * shown->pitch + x * 4);
        Uint8 r = 0, g = 0, b = 0;
        SDL_GetRGB(pixel, shown->format, &r, &g, &b);
        SDL_UnlockSurface(shown);
        return RGB(r, g, b);
    }

    // The SDL window with this title.
    static SDL_Window* sdl_window(const char* title) {
        for (Uint32 id = 1; id < 64; ++id) {
            SDL_Window* window = SDL_GetWindowFromID(id);
            if (window && std::string(SDL_GetWindowTitle(window)) == title) return window;
        }
        return nullptr;
    }

    static void push_button(SDL_Window* window, Uint8 button, bool down, int x, int y) {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.windowID = SDL_GetWindowID(window);
        event.button.button = button;
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.button.x = x;
        event.button.y = y;
        SDL_PushEvent(&event);
    }
};

TEST_F(SdlDisplayTest, TopLevelWindowsBecomeScreenWindowsShowingTheirPixels) {
    make_window("first", 10, 10);
    desktop::pump_messages();
    wait_for_screen();
    SDL_Window* window = sdl_window("first");
    ASSERT_NE(window, nullptr);
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    EXPECT_EQ(width, 120);
    EXPECT_EQ(height, 80);
    EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN);
    EXPECT_EQ(screen_pixel(window, 60, 40), RGB(255, 0, 0));
}

TEST_F(SdlDisplayTest, OnlyWhatWasDrawnReachesTheScreenAndNotBeforeTheLoopLooks) {
    HWND hwnd = make_window("dirty", 0, 0);
    // A movie draws into a window of its own: what reaches the screen is that window's part.
    HWND movie = CreateWindowExA(0, "SdlTestWindow", "", WS_CHILD | WS_VISIBLE, 10, 10, 10, 10,
                                 hwnd, nullptr, nullptr, nullptr);
    desktop::pump_messages();
    wait_for_screen();
    SDL_Window* window = sdl_window("dirty");
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(screen_pixel(window, 5, 5), RGB(255, 0, 0));
    // Paint the screen's copy green behind the display's back: whatever the display uploads
    // again turns red or blue, what it leaves alone stays green.
    SDL_Surface* shown = SDL_GetWindowSurface(window);
    SDL_FillRect(shown, nullptr, SDL_MapRGB(shown->format, 0, 255, 0));

    HDC dc = GetDC(movie);
    RECT whole{0, 0, 10, 10};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &whole, blue);
    DeleteObject(blue);
    ReleaseDC(movie, dc);
    wait_for_screen();

    EXPECT_EQ(screen_pixel(window, 15, 15), RGB(0, 0, 255)) << "the drawn window is shown";
    EXPECT_EQ(screen_pixel(window, 5, 5), RGB(0, 255, 0)) << "the rest was not uploaded again";
    EXPECT_EQ(screen_pixel(window, 100, 60), RGB(0, 255, 0));
}

TEST_F(SdlDisplayTest, MouseAndKeysBecomeWindowMessagesAndAClickActivates) {
    HWND first = make_window("first", 0, 0);
    HWND second = make_window("second", 300, 0);
    desktop::pump_messages();
    SetActiveWindow(first);
    ASSERT_EQ(GetActiveWindow(), first);
    push_button(sdl_window("second"), SDL_BUTTON_LEFT, true, 15, 25);
    push_button(sdl_window("second"), SDL_BUTTON_LEFT, false, 15, 25);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_a;
    SDL_PushEvent(&key);
    desktop::pump_messages();
    EXPECT_EQ(GetActiveWindow(), second);
    ASSERT_GE(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].hwnd, second);
    EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(GET_X_LPARAM(g_seen[0].lparam), 15);
    EXPECT_EQ(GET_Y_LPARAM(g_seen[0].lparam), 25);
    EXPECT_EQ(g_seen[1].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(g_seen[1].wparam, static_cast<WPARAM>('A'));
}

TEST_F(SdlDisplayTest, ClosingTheScreenWindowSendsClose) {
    HWND hwnd = make_window("closing", 0, 0);
    desktop::pump_messages();
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = SDL_GetWindowID(sdl_window("closing"));
    SDL_PushEvent(&event);
    desktop::pump_messages();
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].hwnd, hwnd);
    EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_CLOSE));
}

TEST_F(SdlDisplayTest, CursorFollowsSetCursor) {
    make_window("cursor", 0, 0);
    desktop::pump_messages();
    SDL_Cursor* before = SDL_GetCursor();
    SetCursor(LoadCursorA(nullptr, IDC_HAND));
    SDL_Cursor* hand = SDL_GetCursor();
    EXPECT_NE(hand, before);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_NE(SDL_GetCursor(), hand);
    SetCursor(nullptr);
    EXPECT_EQ(SDL_GetCursor(), SDL_GetDefaultCursor());
}

TEST_F(SdlDisplayTest, ModuleCursorsAreShownToo) {
    make_window("module cursor", 0, 0);
    desktop::pump_messages();
    HMODULE module = LoadLibraryA(LXTEST_RES_MODULE);
    ASSERT_NE(module, nullptr);
    // Cursor 128, as a plug-in's link cursor is numbered, and one known by name.
    HCURSOR pointer = LoadCursorA(module, MAKEINTRESOURCEA(128));
    HCURSOR glow = LoadCursorA(module, "glow");
    ASSERT_NE(pointer, nullptr);
    ASSERT_NE(glow, nullptr);
    SetCursor(pointer);
    SDL_Cursor* first = SDL_GetCursor();
    EXPECT_NE(first, SDL_GetDefaultCursor());
    SetCursor(glow);
    EXPECT_NE(SDL_GetCursor(), first);
    EXPECT_NE(SDL_GetCursor(), SDL_GetDefaultCursor());
    // The same handle again shows the same screen cursor, made once.
    SetCursor(pointer);
    EXPECT_EQ(SDL_GetCursor(), first);
    SetCursor(nullptr);
    FreeLibrary(module);
}

TEST(SdlKeys, VirtualKeysOfCommonKeys) {
    EXPECT_EQ(winapi::sdl::virtual_key(SDLK_z), static_cast<UINT>('Z'));
    EXPECT_EQ(winapi::sdl::virtual_key(SDLK_5), static_cast<UINT>('5'));
    EXPECT_EQ(winapi::sdl::virtual_key(SDLK_F3), static_cast<UINT>(VK_F3));
    EXPECT_EQ(winapi::sdl::virtual_key(SDLK_SPACE), static_cast<UINT>(VK_SPACE));
    EXPECT_EQ(winapi::sdl::virtual_key(SDLK_RSHIFT), static_cast<UINT>(VK_SHIFT));
    EXPECT_EQ(winapi::sdl::virtual_key(SDLK_CAPSLOCK), 0u);
}

} // namespace

// Sound on the display goes to SDL's audio: here its file-writing driver, which takes sound
// at the pace of a real device and writes 16-bit stereo at 48 kHz.
class SdlSoundTest : public SdlDisplayTest {
  protected:
    void SetUp() override {
        m_file = std::filesystem::temp_directory_path() /
                 ("lx-sound-" + std::to_string(getpid()) + ".raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", m_file.c_str(), 1);
        SdlDisplayTest::SetUp();
    }

    void TearDown() override {
        SdlDisplayTest::TearDown();
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        std::filesystem::remove(m_file);
    }

    // A 440 Hz tone, mono 16-bit at 44.1 kHz, at amplitude 16000.
    static std::vector<int16_t> tone(double seconds) {
        std::vector<int16_t> samples(static_cast<size_t>(44100 * seconds));
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<int16_t>(16000 * std::sin(2 * M_PI * 440 * i / 44100.0));
        return samples;
    }

    static DWORD position(HWAVEOUT device) {
        MMTIME time{};
        time.wType = TIME_BYTES;
        waveOutGetPosition(device, &time, sizeof time);
        return time.u.cb;
    }

    // Waits, at most 3 s, until the device has played `bytes`.
    static void play_until(HWAVEOUT device, DWORD bytes) {
        for (int i = 0; i < 300 && position(device) < bytes; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    // The left channel of what the device took.
    std::vector<int16_t> left_channel() const {
        std::vector<int16_t> left;
        FILE* file = std::fopen(m_file.c_str(), "rb");
        int16_t frame[2];
        while (file && std::fread(frame, sizeof frame, 1, file) == 1)
            left.push_back(frame[0]);
        if (file) std::fclose(file);
        return left;
    }

    std::filesystem::path m_file;
};

int loudest(const std::vector<int16_t>& samples, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from; i < std::min(to, samples.size()); ++i)
        peak = std::max(peak, std::abs(int(samples[i])));
    return peak;
}

TEST_F(SdlSoundTest, BuffersPlayAtTheirVolumeAndAResetSilencesThem) {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
    HWAVEOUT device = nullptr;
    ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    std::vector<int16_t> first = tone(0.5), second = tone(0.5), third = tone(1.0);
    WAVEHDR headers[3] = {};
    std::vector<int16_t>* data[3] = {&first, &second, &third};
    for (int i = 0; i < 3; ++i) {
        headers[i].lpData = reinterpret_cast<LPSTR>(data[i]->data());
        headers[i].dwBufferLength = static_cast<DWORD>(data[i]->size() * 2);
        waveOutPrepareHeader(device, &headers[i], sizeof headers[i]);
    }

    // Full volume, then half: the device plays in real time, and the position says so.
    auto started = std::chrono::steady_clock::now();
    waveOutWrite(device, &headers[0], sizeof headers[0]);
    waveOutWrite(device, &headers[1], sizeof headers[1]);
    play_until(device, headers[0].dwBufferLength);
    waveOutSetVolume(device, 0x80008000);
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_GT(took, 0.4) << "half a second of sound played in " << took << " s";
    EXPECT_LT(took, 1.0) << "half a second of sound played in " << took << " s";
    EXPECT_TRUE(headers[0].dwFlags & WHDR_DONE);
    play_until(device, 2 * headers[0].dwBufferLength);
    EXPECT_TRUE(headers[1].dwFlags & WHDR_DONE) << "the last buffer is played to its end";

    // A second of sound, reset after about 0.2 s: the rest is never heard.
    waveOutSetVolume(device, 0xFFFFFFFF);
    waveOutWrite(device, &headers[2], sizeof headers[2]);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    EXPECT_EQ(position(device), 0u) << "a reset starts the position again";
    EXPECT_TRUE(headers[2].dwFlags & WHDR_DONE);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (WAVEHDR& header : headers)
        waveOutUnprepareHeader(device, &header, sizeof header);
    ASSERT_EQ(waveOutClose(device), MMSYSERR_NOERROR);

    std::vector<int16_t> left = left_channel();
    size_t onset = 0;
    while (onset < left.size() && std::abs(left[onset]) < 1000)
        ++onset;
    ASSERT_LT(onset, left.size()) << "nothing reached the device";
    const size_t second_of = 48000;
    int full = loudest(left, onset + second_of / 10, onset + second_of * 4 / 10);
    int half = loudest(left, onset + second_of * 6 / 10, onset + second_of * 9 / 10);
    EXPECT_NEAR(full, 16000, 800);
    EXPECT_NEAR(double(half) / full, 0.5, 0.05);
    // The pitch survives the change of rate: 880 zero crossings a second.
    int crossings = 0;
    for (size_t i = onset + 1; i < onset + second_of / 2; ++i)
        if ((left[i - 1] < 0) != (left[i] < 0)) ++crossings;
    EXPECT_NEAR(crossings, 440, 6);
    // After the two halves, the third buffer sounds for about 0.2 s and no longer.
    size_t last_loud = left.size();
    while (last_loud > 0 && std::abs(left[last_loud - 1]) < 1000)
        --last_loud;
    size_t third_onset = onset + second_of;
    while (third_onset < left.size() && std::abs(left[third_onset]) >= 1000)
        ++third_onset; // past the end of the second buffer
    while (third_onset < left.size() && std::abs(left[third_onset]) < 1000)
        ++third_onset; // past the pause before the third
    double heard = double(last_loud - third_onset) / second_of;
    EXPECT_LT(heard, 0.35) << "the reset buffer sounded for " << heard << " s";
    EXPECT_GT(heard, 0.1);
}
