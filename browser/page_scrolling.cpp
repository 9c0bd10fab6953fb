// BrowserWindow: a page taller than its window scrolls, with the keys, the mouse wheel and
// a scroll bar at the right; the instances' windows move with the page. A window that
// changes size lays its page out again for the new width.
#include "browser_window.h"

#include <algorithm>

namespace browser {

namespace {

constexpr COLORREF kTrackColor = RGB(232, 232, 232);
constexpr COLORREF kThumbColor = RGB(160, 160, 160);
// How far an arrow key scrolls; a page key scrolls a window's height less this much, so
// that a line of the last view stays in sight.
constexpr int kLineStep = 40;
constexpr int kMinThumb = 16;

void fill_area(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

bool inside(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

} // namespace

PageLayout BrowserWindow::lay_out(int width) const {
    auto measure_text = [this](const std::string& text, bool bold) { return measure(text, bold); };
    PageLayout layout = layout_page(m_document, width, measure_text);
    if (layout.height > view_height())
        layout = layout_page(m_document, std::max(1, width - kScrollBarWidth), measure_text);
    return layout;
}

int BrowserWindow::view_height() const {
    RECT client;
    GetClientRect(m_hwnd, &client);
    return std::max(0, static_cast<int>(client.bottom) - kStatusBarHeight);
}

int BrowserWindow::max_scroll() const {
    return m_full ? 0 : std::max(0, m_layout.height - view_height());
}

void BrowserWindow::reflow() {
    RECT client;
    GetClientRect(m_hwnd, &client);
    MoveWindow(m_status, 0, client.bottom - kStatusBarHeight, client.right, kStatusBarHeight, TRUE);
    if (m_full) {
        for (HWND child : m_children)
            MoveWindow(child, 0, 0, client.right, view_height(), TRUE);
    } else {
        m_layout = lay_out(client.right);
        m_scroll = std::min(m_scroll, max_scroll());
    }
    place_embeds();
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void BrowserWindow::scroll_to(int y) {
    y = std::clamp(y, 0, max_scroll());
    if (y == m_scroll) return;
    m_scroll = y;
    place_embeds();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void BrowserWindow::place_embeds() {
    for (const auto& [index, window] : m_embed_windows) {
        auto placed = std::find_if(m_layout.embeds.begin(), m_layout.embeds.end(),
                                   [&](const PlacedEmbed& embed) { return embed.embed == index; });
        if (placed == m_layout.embeds.end()) continue;
        const RECT& rect = placed->rect;
        MoveWindow(window, rect.left, rect.top - m_scroll, rect.right - rect.left,
                   rect.bottom - rect.top, TRUE);
    }
    // Each instance hears where its window is now, as a browser tells it after a scroll.
    for (auto& instance : m_instances)
        instance->set_window();
}

RECT BrowserWindow::scroll_bar() const {
    RECT client;
    GetClientRect(m_hwnd, &client);
    return RECT{client.right - kScrollBarWidth, 0, client.right, view_height()};
}

RECT BrowserWindow::scroll_thumb() const {
    RECT bar = scroll_bar();
    int track = bar.bottom - bar.top;
    int page = std::max(m_layout.height, 1);
    int size = std::clamp(track * track / page, std::min(kMinThumb, track), track);
    int top = max_scroll() ? (track - size) * m_scroll / max_scroll() : 0;
    return RECT{bar.left + 2, top, bar.right - 2, top + size};
}

void BrowserWindow::paint_scroll_bar(HDC dc) const {
    if (max_scroll() == 0) return;
    fill_area(dc, scroll_bar(), kTrackColor);
    fill_area(dc, scroll_thumb(), kThumbColor);
}

bool BrowserWindow::scroll_by_key(WPARAM key) {
    int page = std::max(kLineStep, view_height() - kLineStep);
    switch (key) {
    case VK_UP:
        scroll_to(m_scroll - kLineStep);
        return true;
    case VK_DOWN:
        scroll_to(m_scroll + kLineStep);
        return true;
    case VK_PRIOR:
        scroll_to(m_scroll - page);
        return true;
    case VK_NEXT:
    case VK_SPACE:
        scroll_to(m_scroll + page);
        return true;
    case VK_HOME:
        scroll_to(0);
        return true;
    case VK_END:
        scroll_to(max_scroll());
        return true;
    default:
        return false;
    }
}

bool BrowserWindow::scroll_by_mouse(UINT message, POINT point) {
    if (message == WM_MOUSEMOVE && m_drag_offset >= 0) {
        // The thumb follows the pointer; the page follows the thumb.
        RECT thumb = scroll_thumb();
        int travel = (scroll_bar().bottom - scroll_bar().top) - (thumb.bottom - thumb.top);
        if (travel > 0) scroll_to((point.y - m_drag_offset) * max_scroll() / travel);
        return true;
    }
    if (message == WM_LBUTTONUP && m_drag_offset >= 0) {
        m_drag_offset = -1;
        ReleaseCapture();
        return true;
    }
    if (max_scroll() == 0 || !inside(scroll_bar(), point)) return false;
    if (message != WM_LBUTTONDOWN) return true;
    RECT thumb = scroll_thumb();
    int page = std::max(kLineStep, view_height() - kLineStep);
    if (point.y < thumb.top) {
        scroll_to(m_scroll - page);
    } else if (point.y >= thumb.bottom) {
        scroll_to(m_scroll + page);
    } else {
        m_drag_offset = point.y - thumb.top;
        SetCapture(m_hwnd);
    }
    return true;
}

} // namespace browser
