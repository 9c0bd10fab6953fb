// A top-level viewer window: the page (text and embeds, laid out in a flow) or one
// full-window plug-in instance above a status bar. It owns the instances of what it shows
// and the child windows they draw into.
#pragma once

#include "hosted_instance.h"
#include "page_document.h"
#include "page_layout.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace browser {

class Viewer;

constexpr int kStatusBarHeight = 20;
// The scroll bar drawn at the right of a page taller than the window.
constexpr int kScrollBarWidth = 14;

class BrowserWindow {
  public:
    BrowserWindow(Viewer& viewer, int id, std::string name, POINT position, SIZE size);
    ~BrowserWindow();
    BrowserWindow(const BrowserWindow&) = delete;
    BrowserWindow& operator=(const BrowserWindow&) = delete;

    int id() const { return m_id; }
    const std::string& name() const { return m_name; }
    HWND hwnd() const { return m_hwnd; }
    const std::string& url() const { return m_url; }

    // Shows a parsed page from `url`: lays it out and starts its embeds.
    void show_document(PageDocument document, const std::string& url);
    // Shows `url` as one instance of `type` filling the window (NP_FULL).
    void show_full(const std::string& url, const std::string& type);
    // Ends every instance and removes what the window showed.
    void clear();

    void set_status(const std::string& text);
    std::string status() const;

    void step_streams(RateLimiter& rate, uint64_t now_ms);
    bool has_streams() const;

    // The window's class procedures.
    static void register_classes();

  private:
    static LRESULT CALLBACK page_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    void paint();
    const PageItem* link_at(POINT point) const;
    // ---- Scrolling and reflow (page_scrolling.cpp) ----
    // The page laid out for a window `width` wide, narrower by the scroll bar when it is
    // taller than the window.
    PageLayout lay_out(int width) const;
    // Lays the page out again for the window's size, and moves the status bar and the
    // instances' windows to their places.
    void reflow();
    // Scrolls so that page line `y` is at the window's top (kept within the page).
    void scroll_to(int y);
    void place_embeds();
    int view_height() const;
    int max_scroll() const;
    RECT scroll_bar() const;
    RECT scroll_thumb() const;
    void paint_scroll_bar(HDC dc) const;
    bool scroll_by_key(WPARAM key);
    bool scroll_by_mouse(UINT message, POINT point);
    void start_embed(const EmbedElement& embed, const RECT* rect);
    HWND create_embed_window(const RECT& rect);
    HostedInstance* start_instance(const std::string& type, uint16 mode,
                                   HostedInstance::Attributes attributes, HWND window);
    void start_stream(HostedInstance& instance, const std::string& url);
    void placeholder(HWND window, const std::string& text);
    SIZE measure(const std::string& text, bool bold) const;

    Viewer& m_viewer;
    int m_id;
    std::string m_name;
    HWND m_hwnd = nullptr;
    HWND m_status = nullptr;
    HFONT m_font = nullptr;
    HFONT m_bold_font = nullptr;
    HDC m_measure_dc = nullptr;
    std::string m_url;
    PageDocument m_document;
    PageLayout m_layout;
    std::vector<std::unique_ptr<HostedInstance>> m_instances;
    std::vector<HWND> m_children;
    // The windows of the embeds the layout places, with their embed's index.
    std::vector<std::pair<size_t, HWND>> m_embed_windows;
    bool m_full = false;    // one instance fills the window
    int m_scroll = 0;       // the page line at the window's top
    int m_drag_offset = -1; // while the scroll bar's thumb is dragged: where it was taken
};

// The text shown in an embed's box when no instance draws there; empty for others.
std::string placeholder_text(HWND window);

} // namespace browser
