#include "sdl/sdl_display.h"

#include "resource/cursor.h"
#include "sdl/sdl_sound_output.h"
#include "sdl/sdl_subsystems.h"
#include "window/display.h"
#include "window/input_router.h"
#include "window/window_manager.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>

namespace winapi::sdl {

namespace {

int width_of(const RECT& rect) {
    return std::max<int>(1, rect.right - rect.left);
}

int height_of(const RECT& rect) {
    return std::max<int>(1, rect.bottom - rect.top);
}

// The surface's pixels as an SDL surface, without copying: 0xAARRGGBB words are SDL's
// ARGB8888. The caller frees the wrapper, not the pixels.
SDL_Surface* wrap(Surface& surface) {
    return SDL_CreateRGBSurfaceWithFormatFrom(surface.pixels.data(), surface.width, surface.height,
                                              32, surface.width * 4, SDL_PIXELFORMAT_ARGB8888);
}

RECT clip_to(const RECT& rect, int width, int height) {
    return RECT{std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0),
                std::min<LONG>(rect.right, width), std::min<LONG>(rect.bottom, height)};
}

RECT clip_to(const RECT& rect, const Surface& surface) {
    return clip_to(rect, surface.width, surface.height);
}

bool touch(const RECT& a, const RECT& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

RECT bounding(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// Adds a changed rectangle to a window's list. Rectangles that touch are merged, and a list
// grown long becomes one rectangle round them all: a few larger uploads cost less than many
// small ones.
void add_dirty(std::vector<RECT>& dirty, RECT area) {
    constexpr size_t max_rects = 16;
    for (auto it = dirty.begin(); it != dirty.end();) {
        if (touch(*it, area)) {
            area = bounding(area, *it);
            it = dirty.erase(it);
        } else {
            ++it;
        }
    }
    dirty.push_back(area);
    if (dirty.size() <= max_rects) return;
    RECT all = dirty.front();
    for (const RECT& each : dirty)
        all = bounding(all, each);
    dirty.assign(1, all);
}

SDL_Cursor* make_cursor(const resource::Cursor& cursor) {
    std::vector<uint32_t> pixels = cursor.pixels;
    SDL_Surface* image = SDL_CreateRGBSurfaceWithFormatFrom(
        pixels.data(), cursor.width, cursor.height, 32, cursor.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!image) return nullptr;
    SDL_Cursor* made = SDL_CreateColorCursor(image, cursor.hot_spot.x, cursor.hot_spot.y);
    SDL_FreeSurface(image);
    return made;
}

// SDL is the layer's on-screen display: offered to the desktop when the library loads.
[[maybe_unused]] const bool g_offered =
    (window::provide_on_screen_display(
         []() -> std::unique_ptr<window::DisplayDriver> { return SdlDisplay::create(); }),
     true);

} // namespace

std::unique_ptr<SdlDisplay> SdlDisplay::create() {
    // Only a real display counts: SDL would otherwise settle for an off-screen driver, and
    // windows nobody can see are what the headless display is for.
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(x11 && *x11) && !(wayland && *wayland)) return nullptr;
    // A window surface in the X server's own memory: SDL would otherwise put it behind an
    // OpenGL texture and, without a graphics card, have software GL draw the whole window
    // for every rectangle shown.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (!start_subsystem(SDL_INIT_VIDEO)) return nullptr;
    std::unique_ptr<SdlDisplay> display(new SdlDisplay);
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate >= 24 &&
        mode.refresh_rate <= 500)
        display->m_refresh_ms = static_cast<uint32_t>(1000 / mode.refresh_rate);
    sound::set_sound_output_factory(&make_sdl_sound_output);
    return display;
}

SdlDisplay::~SdlDisplay() {
    // Devices opened before keep their output; new ones are headless again.
    sound::set_sound_output_factory(nullptr);
    for (auto& [hwnd, screen] : m_windows)
        SDL_DestroyWindow(screen.window);
    for (auto& [handle, cursor] : m_cursors)
        SDL_FreeCursor(cursor);
    stop_subsystem(SDL_INIT_VIDEO);
}

void SdlDisplay::window_created(HWND hwnd, const RECT& rect) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    // Pop-ups (menus, tool tips) have no frame of their own on screen either.
    const window::Window* win = window::find_window(hwnd);
    if (win && (win->style & WS_POPUP)) flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
    ScreenWindow& screen = m_windows[hwnd];
    screen.rect = rect;
    screen.surface.resize(width_of(rect), height_of(rect));
    screen.window = SDL_CreateWindow(win ? win->text.c_str() : "", rect.left, rect.top,
                                     width_of(rect), height_of(rect), flags);
}

void SdlDisplay::window_destroyed(HWND hwnd) {
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end()) return;
    if (it->second.window) SDL_DestroyWindow(it->second.window);
    m_windows.erase(it);
}

void SdlDisplay::window_moved(HWND hwnd, const RECT& rect) {
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end()) return;
    ScreenWindow& screen = it->second;
    screen.rect = rect;
    int width = width_of(rect), height = height_of(rect);
    if (width != screen.surface.width || height != screen.surface.height) {
        // Keep the part both sizes share, as the headless display does.
        Surface resized;
        resized.resize(width, height);
        for (int y = 0; y < std::min(height, screen.surface.height); ++y)
            std::copy_n(screen.surface.row(y), std::min(width, screen.surface.width),
                        resized.row(y));
        screen.surface = std::move(resized);
        if (screen.window) SDL_SetWindowSize(screen.window, width, height);
    }
    if (screen.window) SDL_SetWindowPosition(screen.window, rect.left, rect.top);
}

void SdlDisplay::window_shown(HWND hwnd, bool visible) {
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end() || !it->second.window) return;
    if (!visible) {
        SDL_HideWindow(it->second.window);
        return;
    }
    SDL_ShowWindow(it->second.window);
    show_all(hwnd);
}

void SdlDisplay::window_text_changed(HWND hwnd, const char* text) {
    auto it = m_windows.find(hwnd);
    if (it != m_windows.end() && it->second.window) SDL_SetWindowTitle(it->second.window, text);
}

Surface* SdlDisplay::surface(HWND hwnd) {
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : &it->second.surface;
}

void SdlDisplay::present(HWND hwnd, const RECT& dirty) {
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end() || !it->second.window) return;
    ScreenWindow& screen = it->second;
    RECT area = clip_to(dirty, screen.surface);
    if (area.right <= area.left || area.bottom <= area.top) return;
    add_dirty(screen.dirty, area);
    m_dirty = true;
}

int SdlDisplay::ms_until_flush() const {
    if (!m_dirty) return -1;
    uint64_t since = SDL_GetTicks64() - m_last_flush;
    return since >= m_refresh_ms ? 0 : static_cast<int>(m_refresh_ms - since);
}

void SdlDisplay::flush_presents() {
    m_dirty = false;
    m_last_flush = SDL_GetTicks64();
    std::vector<SDL_Rect> rects;
    for (auto& [hwnd, screen] : m_windows) {
        if (screen.dirty.empty() || !screen.window) continue;
        SDL_Surface* target = SDL_GetWindowSurface(screen.window);
        SDL_Surface* source = wrap(screen.surface);
        rects.clear();
        for (const RECT& area : screen.dirty) {
            // The window surface may be smaller for a moment after a resize.
            RECT shown = target ? clip_to(area, target->w, target->h) : RECT{};
            if (shown.right <= shown.left || shown.bottom <= shown.top) continue;
            SDL_Rect rect{static_cast<int>(shown.left), static_cast<int>(shown.top),
                          static_cast<int>(shown.right - shown.left),
                          static_cast<int>(shown.bottom - shown.top)};
            SDL_Rect to = rect;
            if (source) SDL_BlitSurface(source, &rect, target, &to);
            rects.push_back(rect);
        }
        SDL_FreeSurface(source);
        screen.dirty.clear();
        if (target && !rects.empty())
            SDL_UpdateWindowSurfaceRects(screen.window, rects.data(),
                                         static_cast<int>(rects.size()));
    }
}

void SdlDisplay::show_all(HWND hwnd) {
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end()) return;
    present(hwnd, RECT{0, 0, it->second.surface.width, it->second.surface.height});
}

void SdlDisplay::cursor_changed(HCURSOR cursor) {
    const resource::Cursor* image = resource::find_cursor(cursor);
    if (!image) {
        SDL_SetCursor(SDL_GetDefaultCursor());
        return;
    }
    auto it = m_cursors.find(cursor);
    if (it == m_cursors.end()) it = m_cursors.emplace(cursor, make_cursor(*image)).first;
    SDL_SetCursor(it->second ? it->second : SDL_GetDefaultCursor());
}

// Beeps are recorded by the message box code; making them heard belongs to the sound code.
void SdlDisplay::beep(UINT) {}

HWND SdlDisplay::window_of(unsigned sdl_id) const {
    SDL_Window* window = SDL_GetWindowFromID(sdl_id);
    for (const auto& [hwnd, screen] : m_windows)
        if (screen.window == window) return hwnd;
    return nullptr;
}

POINT SdlDisplay::to_screen(HWND hwnd, int x, int y) const {
    const RECT& rect = m_windows.at(hwnd).rect;
    return POINT{rect.left + x, rect.top + y};
}

void SdlDisplay::handle_window_event(const SDL_Event& event) {
    HWND hwnd = window_of(event.window.windowID);
    if (!hwnd) return;
    switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE:
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        show_all(hwnd);
        break;
    default:
        break;
    }
}

void SdlDisplay::handle(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        handle_window_event(event);
        break;
    case SDL_QUIT:
        // An interrupt or a termination signal: the program ends as if asked to.
        PostQuitMessage(0);
        break;
    case SDL_MOUSEMOTION:
        if (HWND hwnd = window_of(event.motion.windowID))
            window::input_mouse_move(to_screen(hwnd, event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        HWND hwnd = window_of(event.button.windowID);
        if (!hwnd ||
            (event.button.button != SDL_BUTTON_LEFT && event.button.button != SDL_BUTTON_RIGHT))
            break;
        auto button = event.button.button == SDL_BUTTON_LEFT ? window::MouseButton::Left
                                                             : window::MouseButton::Right;
        window::input_mouse_button(button, event.type == SDL_MOUSEBUTTONDOWN,
                                   to_screen(hwnd, event.button.x, event.button.y));
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (UINT vk = virtual_key(event.key.keysym.sym))
            window::input_key(vk, event.type == SDL_KEYDOWN);
        break;
    default:
        break;
    }
}

void SdlDisplay::poll_input() {
    SDL_Event event;
    while (SDL_PollEvent(&event))
        handle(event);
    if (ms_until_flush() == 0) flush_presents();
}

bool SdlDisplay::wait_for_input(int timeout_ms) {
    // What was drawn is shown before the wait, or the wait ends when it falls due.
    int flush_in = ms_until_flush();
    if (flush_in == 0) {
        flush_presents();
    } else if (flush_in > 0 && (timeout_ms < 0 || flush_in < timeout_ms)) {
        timeout_ms = flush_in;
    }
    SDL_Event event;
    bool got = timeout_ms < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeout_ms);
    if (got) handle(event);
    poll_input();
    return true;
}

UINT virtual_key(int key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<UINT>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<UINT>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<UINT>(VK_F1 + (key - SDLK_F1));
    switch (key) {
    case SDLK_RETURN:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    default:
        return 0;
    }
}

} // namespace winapi::sdl
