#include "window/window_manager.h"

#include "window/rect_util.h"

#include <algorithm>

namespace winapi::window {

DesktopState& desktop_state() {
    static DesktopState state;
    return state;
}

Window* find_window(HWND hwnd) {
    if (!hwnd) return nullptr;
    return desktop_state().windows.find(hwnd);
}

Window* checked_window(HWND hwnd) {
    Window* window = find_window(hwnd);
    if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

LRESULT send_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* window = find_window(hwnd);
    if (!window || !window->proc) return 0;
    // The procedure is read at the moment of the call: a window subclassed while messages
    // were pending gets them in its new procedure.
    WNDPROC proc = window->proc;
    return proc(hwnd, message, wparam, lparam);
}

HWND top_level_of(HWND hwnd) {
    Window* window = find_window(hwnd);
    while (window && window->is_child()) {
        Window* parent = find_window(window->parent);
        if (!parent) break;
        window = parent;
    }
    return window ? window->handle : nullptr;
}

bool is_self_or_descendant(HWND ancestor, HWND hwnd) {
    for (Window* window = find_window(hwnd); window; window = find_window(window->parent)) {
        if (window->handle == ancestor) return true;
        if (!window->is_child()) break;
    }
    return false;
}

bool is_visible(const Window& window) {
    const Window* current = &window;
    while (current) {
        if (!(current->style & WS_VISIBLE)) return false;
        if (!current->is_child()) return true;
        current = find_window(current->parent);
    }
    return false;
}

POINT screen_origin(const Window& window) {
    POINT origin{window.rect.left, window.rect.top};
    const Window* current = &window;
    while (current->is_child()) {
        current = find_window(current->parent);
        if (!current) break;
        origin.x += current->rect.left;
        origin.y += current->rect.top;
    }
    return origin;
}

RECT screen_rect(const Window& window) {
    POINT origin = screen_origin(window);
    return RECT{origin.x, origin.y, origin.x + window.width(), origin.y + window.height()};
}

POINT surface_origin(const Window& window) {
    // The top-level window's surface starts at its own client origin.
    if (!window.is_child()) return POINT{0, 0};
    POINT origin = screen_origin(window);
    Window* top = find_window(top_level_of(window.handle));
    if (top) {
        origin.x -= top->rect.left;
        origin.y -= top->rect.top;
    }
    return origin;
}

RECT visible_surface_rect(const Window& window) {
    if (!is_visible(window)) return RECT{};
    POINT origin = surface_origin(window);
    RECT visible{origin.x, origin.y, origin.x + window.width(), origin.y + window.height()};
    const Window* current = &window;
    while (current->is_child()) {
        current = find_window(current->parent);
        if (!current) break;
        POINT parent_origin = surface_origin(*current);
        RECT parent_rect{parent_origin.x, parent_origin.y, parent_origin.x + current->width(),
                         parent_origin.y + current->height()};
        visible = rect_intersect(visible, parent_rect);
    }
    return visible;
}

static void collect_subtree(HWND hwnd, std::vector<HWND>& out) {
    Window* window = find_window(hwnd);
    if (!window) return;
    out.push_back(hwnd);
    std::vector<HWND> children = window->children; // copy: callers may change the tree
    for (HWND child : children)
        collect_subtree(child, out);
}

std::vector<HWND> window_subtree(HWND hwnd) {
    std::vector<HWND> out;
    collect_subtree(hwnd, out);
    return out;
}

std::vector<HWND> all_windows() {
    std::vector<HWND> out;
    std::vector<HWND> tops = desktop_state().top_levels;
    for (HWND top : tops)
        collect_subtree(top, out);
    return out;
}

static std::vector<HWND>* sibling_list(Window& window) {
    if (!window.is_child()) return &desktop_state().top_levels;
    Window* parent = find_window(window.parent);
    return parent ? &parent->children : nullptr;
}

void unlink_window(Window& window) {
    std::vector<HWND>* list = sibling_list(window);
    if (!list) return;
    list->erase(std::remove(list->begin(), list->end(), window.handle), list->end());
}

void link_window(Window& window, HWND insert_after) {
    std::vector<HWND>* list = sibling_list(window);
    if (!list) return;
    if (insert_after == HWND_TOP || insert_after == HWND_TOPMOST ||
        insert_after == HWND_NOTOPMOST) {
        list->insert(list->begin(), window.handle);
        return;
    }
    auto it = std::find(list->begin(), list->end(), insert_after);
    if (insert_after == HWND_BOTTOM || it == list->end()) {
        list->push_back(window.handle);
        return;
    }
    list->insert(it + 1, window.handle);
}

} // namespace winapi::window
