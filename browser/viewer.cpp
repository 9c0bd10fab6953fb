#include "viewer.h"

#include "host_services.h"
#include "page_loader.h"
#include "url.h"

#include <winapi/desktop.h>

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace browser {

namespace desktop = winapi::desktop;

namespace {

// The network timer's period: how often transfers and streams move on.
constexpr UINT kTickMs = 10;
// How long a headless step waits, in real time, for a running HTTP transfer to send more.
constexpr int kNetworkWaitMs = 20;

// The most one stream may bring: what a stream's 32-bit length can announce.
constexpr uint64_t kMaxStream = uint64_t(1) << 32;
// The free space a stream leaves on the temporary folder's disk.
constexpr uint64_t kFreeSpaceMargin = 64 << 20;

// The least time a headless run waits for a page, in milliseconds.
constexpr long kMinPageWaitMs = 1000;

// Said when a page from the network asks for something only the local system has.
const char kNetworkOnly[] = "a page from the network may only reach the network";

Viewer* g_active = nullptr;

void CALLBACK network_timer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_active) g_active->tick();
}

bool display_present() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

bool opens_new_window(const std::string& target) {
    return target == "_blank" || target == "_new";
}

bool is_reserved_target(const std::string& target) {
    return target.empty() || target[0] == '_';
}

} // namespace

int run_viewer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string error;
    std::optional<ViewerOptions> options = parse_options(args, error);
    if (!options) {
        err << "lanternix-view: " << error << " (see --help)\n";
        return kExitUsage;
    }
    if (options->help) {
        out << usage_text();
        return kExitOk;
    }
    static const bool curl_ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!curl_ready) {
        err << "lanternix-view: the network library did not start\n";
        return kExitFailed;
    }
    if (!options->headless) {
        if (!display_present()) {
            err << "lanternix-view: no display (DISPLAY and WAYLAND_DISPLAY are not set); "
                   "use --headless\n";
            return kExitUsage;
        }
        if (!desktop::set_display(desktop::DisplayKind::Sdl)) {
            err << "lanternix-view: the display cannot be opened; use --headless\n";
            return kExitUsage;
        }
    }
    Viewer viewer(std::move(*options), out, err);
    return viewer.run();
}

Viewer::Viewer(ViewerOptions options, std::ostream& out, std::ostream& err)
    : m_options(std::move(options)), m_out(out), m_err(err),
      m_registry(m_options.plugin_folders.empty() ? default_plugin_folders()
                                                  : m_options.plugin_folders),
      m_rate(m_options.rate), m_clicks(m_options.clicks) {
    g_active = this;
    set_host_delegate(this);
}

Viewer::~Viewer() {
    finish(kExitOk);
    if (g_active == this) g_active = nullptr;
    set_host_delegate(nullptr);
}

int Viewer::run() {
    if (m_options.headless && !m_options.real_clock) desktop::use_manual_clock(0);
    if (m_options.headless) {
        // Nobody can see a message box here: it is printed, and gets its default answer.
        desktop::set_automation([this](const desktop::ModalEvent& event) {
            if (event.kind == desktop::ModalKind::MessageBox)
                m_out << "message box: " << (event.caption ? event.caption : "") << ": "
                      << (event.text ? event.text : "") << std::endl;
            return 0;
        });
    }
    std::optional<std::string> url = address_to_url(m_options.address);
    if (!url) {
        m_err << "lanternix-view: not a valid address: " << m_options.address << "\n";
        return finish(kExitFailed);
    }
    BrowserWindow& window = new_window("");
    std::string error;
    if (!open_in(window, *url, error)) {
        m_err << "lanternix-view: cannot open " << error << "\n";
        return finish(kExitFailed);
    }
    m_timer = SetTimer(nullptr, 0, kTickMs, network_timer);
    return m_options.headless ? run_headless() : run_on_display();
}

int Viewer::run_headless() {
    uint64_t duration = static_cast<uint64_t>(m_options.at_seconds * 1000 + 0.5);
    if (m_options.real_clock) {
        uint64_t start = desktop::clock_now();
        while (!m_windows.empty()) {
            click_due(desktop::clock_now() - start);
            desktop::pump_messages();
            process_requests();
            uint64_t elapsed = desktop::clock_now() - start;
            if (elapsed >= duration) break;
            // Asleep until a message, a due timer (the network's among them), the next click
            // or the end of the run: an idle page costs next to nothing.
            uint64_t wait = std::min(duration - elapsed, next_click_in(elapsed));
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(wait), QS_ALLINPUT);
        }
    } else {
        uint64_t end = desktop::clock_now() + duration;
        while (!m_windows.empty()) {
            desktop::pump_messages();
            process_requests();
            uint64_t now = desktop::clock_now();
            click_due(now);
            if (now >= end) break;
            if (m_http.busy()) m_http.wait(kNetworkWaitMs);
            desktop::advance_clock(std::min<uint64_t>(kTickMs, end - now));
        }
    }
    desktop::pump_messages();
    if (!m_options.screenshot.empty()) {
        if (m_windows.empty()) {
            m_err << "lanternix-view: every window was closed; no screenshot taken\n";
            return finish(kExitFailed);
        }
        if (!desktop::screenshot(m_windows.front()->hwnd(), m_options.screenshot.c_str())) {
            m_err << "lanternix-view: cannot write the screenshot " << m_options.screenshot << "\n";
            return finish(kExitFailed);
        }
    }
    return finish(kExitOk);
}

void Viewer::click_due(uint64_t now_ms) {
    for (auto it = m_clicks.begin(); it != m_clicks.end();) {
        if (static_cast<uint64_t>(it->at_seconds * 1000 + 0.5) > now_ms || m_windows.empty()) {
            ++it;
            continue;
        }
        if (it->key) {
            desktop::press_key(it->key);
        } else {
            POINT point{it->x, it->y};
            ClientToScreen(m_windows.front()->hwnd(), &point);
            desktop::click(desktop::MouseButton::Left, point.x, point.y);
        }
        it = m_clicks.erase(it);
    }
}

uint64_t Viewer::next_click_in(uint64_t now_ms) const {
    uint64_t soonest = UINT64_MAX;
    for (const auto& click : m_clicks) {
        uint64_t at = static_cast<uint64_t>(click.at_seconds * 1000 + 0.5);
        soonest = std::min(soonest, at > now_ms ? at - now_ms : 0);
    }
    return soonest;
}

int Viewer::run_on_display() {
    MSG message;
    while (!m_windows.empty() && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        process_requests();
    }
    return finish(kExitOk);
}

int Viewer::finish(int code) {
    if (m_options.headless) desktop::set_automation(nullptr);
    if (m_timer) KillTimer(nullptr, m_timer);
    m_timer = 0;
    m_requests.clear();
    m_windows.clear();
    m_registry.unload_all();
    if (code == kExitOk && m_missing_plugin) code = kExitMissingPlugin;
    return code;
}

BrowserWindow* Viewer::window_by_id(int id) {
    for (auto& window : m_windows)
        if (window->id() == id) return window.get();
    return nullptr;
}

BrowserWindow& Viewer::new_window(const std::string& name) {
    // New windows open a little below and to the right of the last one.
    int offset = static_cast<int>(m_windows.size()) * 24;
    POINT position{offset, offset};
    SIZE size{m_options.width, m_options.height};
    m_windows.push_back(std::make_unique<BrowserWindow>(*this, m_next_id++, name, position, size));
    return *m_windows.back();
}

bool Viewer::open_in(BrowserWindow& window, const std::string& url, std::string& error) {
    // An address of a type a plug-in serves is shown by the plug-in alone.
    std::string type = m_registry.type_for_extension(url_extension(url));
    if (!type.empty()) {
        if (auto path = url_to_path(url)) {
            struct stat info {};
            if (stat(path->c_str(), &info) != 0) {
                error = *path + ": no such file";
                window.show_document(text_page("", "Cannot open " + error), url);
                window.set_status("Cannot open " + error);
                return false;
            }
        }
        window.show_full(url, type);
        return true;
    }
    // A run that ends at a given time does not wait much longer than that for a page; a
    // second is always given, so that a loaded machine still fetches a page that answers.
    long limit = kPageTimeLimitMs;
    if (m_options.headless)
        limit = static_cast<long>(
            std::clamp(m_options.at_seconds * 1000 + 0.5, double(kMinPageWaitMs), double(limit)));
    PageFetch fetch = fetch_page(url, limit);
    if (!fetch.ok) {
        error = fetch.error;
        window.show_document(text_page("", "Cannot open " + error), url);
        window.set_status("Cannot open " + error);
        status_changed(window, "Cannot open " + error);
        return false;
    }
    window.show_document(parse_page(fetch.html), fetch.url);
    return true;
}

std::unique_ptr<StreamSource> Viewer::open_source(const std::string& url, const std::string& origin,
                                                  std::string& error) {
    if (!may_reach(origin, url)) {
        error = kNetworkOnly;
        return nullptr;
    }
    if (auto path = url_to_path(url)) return std::make_unique<FileSource>(*path);
    std::string scheme = url_scheme(url);
    if (scheme == "http" || scheme == "https") return m_http.start(url, stream_limit());
    error =
        "the viewer cannot fetch " + (scheme.empty() ? std::string("such") : scheme) + " addresses";
    return nullptr;
}

uint64_t Viewer::stream_limit() const {
    if (m_options.max_stream) return m_options.max_stream;
    // Plug-ins keep what they are sent in files, by default in the temporary folder: a
    // download that would fill the disk ends before it does.
    uint64_t limit = kMaxStream;
    const char* folder = std::getenv("TMPDIR");
    struct statvfs disk {};
    if (statvfs(folder && *folder ? folder : "/tmp", &disk) == 0) {
        uint64_t free = static_cast<uint64_t>(disk.f_bavail) * disk.f_frsize;
        limit = std::min(limit,
                         free > kFreeSpaceMargin * 2 ? free - kFreeSpaceMargin : kFreeSpaceMargin);
    }
    return limit;
}

void Viewer::missing_plugin(const std::string& message) {
    m_missing_plugin = true;
    if (std::find(m_reported.begin(), m_reported.end(), message) != m_reported.end()) return;
    m_reported.push_back(message);
    m_err << "lanternix-view: " << message << "\n";
}

void Viewer::status_changed(BrowserWindow&, const std::string& text) {
    if (m_options.headless) m_out << "status: " << text << std::endl;
}

bool Viewer::may_open(BrowserWindow& window, const std::string& origin, const std::string& url) {
    if (may_reach(origin, url)) return true;
    std::string text = "Cannot open " + url + ": " + kNetworkOnly;
    window.set_status(text);
    status_changed(window, text);
    return false;
}

void Viewer::navigate_later(int window_id, const std::string& url, const std::string& target) {
    m_requests.push_back(Request{window_id, url, target});
}

void Viewer::close_later(int window_id) {
    m_requests.push_back(Request{window_id, {}, {}});
}

void Viewer::tick() {
    // A plug-in that opens a modal loop inside NPP_Write (a message box) lets the timer fire
    // again; the streams move on only when the outer step has finished, or blocks would be
    // written twice.
    if (m_ticking) return;
    m_ticking = true;
    m_http.advance();
    uint64_t now = desktop::clock_now();
    for (size_t i = 0; i < m_windows.size(); ++i)
        m_windows[i]->step_streams(m_rate, now);
    m_ticking = false;
}

void Viewer::process_requests() {
    while (!m_requests.empty()) {
        Request request = std::move(m_requests.front());
        m_requests.pop_front();
        carry_out(request);
    }
}

void Viewer::carry_out(const Request& request) {
    if (request.url.empty()) {
        close_window(request.window_id);
        return;
    }
    BrowserWindow* window = nullptr;
    if (opens_new_window(request.target)) {
        window = &new_window("");
    } else if (!is_reserved_target(request.target)) {
        for (auto& candidate : m_windows)
            if (candidate->name() == request.target) window = candidate.get();
    }
    // _top, _self, _parent and names no window has: the page the request came from.
    if (!window) window = window_by_id(request.window_id);
    if (!window) window = &new_window("");
    std::string error;
    open_in(*window, request.url, error);
}

void Viewer::close_window(int id) {
    auto it = std::find_if(m_windows.begin(), m_windows.end(),
                           [id](const auto& window) { return window->id() == id; });
    if (it == m_windows.end()) return;
    m_windows.erase(it);
    if (m_windows.empty() && !m_options.headless) PostQuitMessage(0);
}

// ---- Host services that reach the windows ------------------------------------------------

void Viewer::status(NPP npp, const char* message) {
    HostedInstance* instance = HostedInstance::from(npp);
    BrowserWindow* window = instance ? window_by_id(instance->window_id()) : nullptr;
    if (!window) return;
    window->set_status(message);
    status_changed(*window, message);
}

NPError Viewer::get_url(NPP npp, const char* url, const char* target) {
    HostedInstance* instance = HostedInstance::from(npp);
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    std::optional<std::string> absolute = resolve_url(instance->page_url(), url);
    if (!absolute) return NPERR_INVALID_URL;
    if (!target) {
        // No target: the data comes to the instance itself as a new stream.
        std::string error;
        std::unique_ptr<StreamSource> source = open_source(*absolute, instance->page_url(), error);
        if (!source) return NPERR_INVALID_URL;
        instance->add_stream(*absolute, std::move(source));
        return NPERR_NO_ERROR;
    }
    BrowserWindow* window = window_by_id(instance->window_id());
    if (window && !may_open(*window, instance->page_url(), *absolute)) return NPERR_INVALID_URL;
    navigate_later(instance->window_id(), *absolute, target);
    return NPERR_NO_ERROR;
}

NPError Viewer::destroy_stream(NPP npp, NPStream* stream, NPReason reason) {
    HostedInstance* instance = HostedInstance::from(npp);
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    return instance->cancel_stream(stream, reason) ? NPERR_NO_ERROR : NPERR_INVALID_PARAM;
}

void Viewer::invalidate(NPP npp, const NPRect* rect) {
    HostedInstance* instance = HostedInstance::from(npp);
    if (!instance || !instance->window()) return;
    if (!rect) {
        InvalidateRect(instance->window(), nullptr, FALSE);
        return;
    }
    RECT area{rect->left, rect->top, rect->right, rect->bottom};
    InvalidateRect(instance->window(), &area, FALSE);
}

void Viewer::force_redraw(NPP npp) {
    HostedInstance* instance = HostedInstance::from(npp);
    if (instance && instance->window()) UpdateWindow(instance->window());
}

void* Viewer::page_window(NPP npp) {
    HostedInstance* instance = HostedInstance::from(npp);
    BrowserWindow* window = instance ? window_by_id(instance->window_id()) : nullptr;
    return window ? window->hwnd() : nullptr;
}

} // namespace browser
