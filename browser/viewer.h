// The viewer as a whole: its windows, the plug-ins, the network and the loop that drives
// them. One Viewer runs at a time in a process (the host table reaches it as the delegate).
#pragma once

#include "browser_window.h"
#include "host_services.h"
#include "plugin_registry.h"
#include "plugin_stream.h"
#include "stream_source.h"
#include "viewer_options.h"

#include <deque>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace browser {

// Exit status of a run.
enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,        // the page could not be opened, or the screenshot not written
    kExitUsage = 2,         // bad command line, or no display to show windows on
    kExitMissingPlugin = 3, // the page was shown, but an embed had no plug-in
};

// Runs the viewer with the arguments after the program name; messages for the user go to
// `out` (help, status lines of a headless run) and `err` (errors, one line each).
int run_viewer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

class Viewer final : public HostDelegate {
  public:
    Viewer(ViewerOptions options, std::ostream& out, std::ostream& err);
    ~Viewer() override;

    int run();

    // ---- For the windows ----------------------------------------------------------------
    PluginRegistry& registry() { return m_registry; }
    // A source for the URL, started; null with `error` for addresses it cannot fetch, and for
    // those a page from `origin` may not reach (url.h, may_reach).
    std::unique_ptr<StreamSource> open_source(const std::string& url, const std::string& origin,
                                              std::string& error);
    // An embed found no plug-in: said once per message, and the run's exit status shows it.
    void missing_plugin(const std::string& message);
    // The most bytes one network stream may bring (--max-stream, else the default rule).
    uint64_t stream_limit() const;
    void status_changed(BrowserWindow& window, const std::string& text);
    // Navigation and closing wait for the network timer, so that no window or instance goes
    // away while one of its own calls is still running.
    void navigate_later(int window_id, const std::string& url, const std::string& target);
    // Whether a page from `origin` may open `url`; when not, the window's status line says
    // why.
    bool may_open(BrowserWindow& window, const std::string& origin, const std::string& url);
    void close_later(int window_id);

    // ---- HostDelegate -------------------------------------------------------------------
    void status(NPP instance, const char* message) override;
    NPError get_url(NPP instance, const char* url, const char* target) override;
    NPError destroy_stream(NPP instance, NPStream* stream, NPReason reason) override;
    void invalidate(NPP instance, const NPRect* rect) override;
    void force_redraw(NPP instance) override;
    void* page_window(NPP instance) override;

    // The network timer's work: moves transfers and streams on, then carries out queued
    // navigations and closings.
    void tick();

  private:
    struct Request {
        int window_id;
        std::string url; // empty: close the window
        std::string target;
    };

    BrowserWindow* window_by_id(int id);
    BrowserWindow& new_window(const std::string& name);
    bool open_in(BrowserWindow& window, const std::string& url, std::string& error);
    void carry_out(const Request& request);
    void process_requests();
    void close_window(int id);
    int run_headless();
    int run_on_display();
    // Carries out the scripted clicks that have fallen due.
    // Milliseconds from `now_ms` (since the run began) to the next click of the command
    // line; UINT64_MAX when none is left.
    uint64_t next_click_in(uint64_t now_ms) const;
    void click_due(uint64_t now_ms);
    int finish(int code);

    ViewerOptions m_options;
    std::ostream& m_out;
    std::ostream& m_err;
    PluginRegistry m_registry;
    HttpClient m_http;
    RateLimiter m_rate;
    std::vector<std::unique_ptr<BrowserWindow>> m_windows;
    std::deque<Request> m_requests;
    std::vector<std::string> m_reported;
    int m_next_id = 1;
    std::vector<ViewerOptions::Click> m_clicks;
    bool m_missing_plugin = false;
    bool m_ticking = false;
    uintptr_t m_timer = 0;
};

} // namespace browser
