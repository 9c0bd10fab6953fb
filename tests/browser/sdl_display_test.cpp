// The on-screen display, on a real X display: the one in DISPLAY, else an Xvfb server the
// test starts itself. Without either the tests are skipped, saying so.
#include "sdl/sdl_display.h"

#include <windows.h>
#include <winapi/desktop.h>

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
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
    static void SetUpTestSuite() {
        const char* display = std::getenv("DISPLAY");
        if (display && *display) return;
        if (!std::filesystem::exists("/usr/bin/Xvfb")) return;
        std::string number = std::to_string(50 + getpid() % 400);
        s_server = fork();
        if (s_server == 0) {
            execl("/usr/bin/Xvfb", "Xvfb", (":" + number).c_str(), "-screen", "0", "1024x768x24",
                  "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        std::string socket = "/tmp/.X11-unix/X" + number;
        for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (std::filesystem::exists(socket)) setenv("DISPLAY", (":" + number).c_str(), 1);
    }

    static void TearDownTestSuite() {
        if (s_server <= 0) return;
        kill(s_server, SIGTERM);
        waitpid(s_server, nullptr, 0);
        unsetenv("DISPLAY");
        s_server = 0;
    }

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

    static pid_t s_server;
};

pid_t SdlDisplayTest::s_server = 0;

TEST_F(SdlDisplayTest, TopLevelWindowsBecomeScreenWindowsShowingTheirPixels) {
    make_window("first", 10, 10);
    desktop::pump_messages();
    SDL_Window* window = sdl_window("first");
    ASSERT_NE(window, nullptr);
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    EXPECT_EQ(width, 120);
    EXPECT_EQ(height, 80);
    EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN);
    SDL_Surface* shown = SDL_GetWindowSurface(window);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(SDL_LockSurface(shown), 0);
    Uint32 pixel =
        *reinterpret_cast<Uint32*>(static_cast<Uint8*>(shown->pixels) + 40 * shown->pitch + 60 * 4);
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(pixel, shown->format, &r, &g, &b);
    SDL_UnlockSurface(shown);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
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
