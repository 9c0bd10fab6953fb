#include "browser_window.h"

#include "url.h"
#include "viewer.h"

#include <algorithm>
#include <map>

namespace browser {

namespace {

const char kPageClass[] = "LanternixViewPage";
const char kEmbedClass[] = "LanternixViewEmbed";
const char kStatusClass[] = "LanternixViewStatus";
constexpr COLORREF kLinkColor = RGB(0, 0, 238);
constexpr COLORREF kStatusFace = RGB(212, 208, 200);

std::map<HWND, std::string>& placeholders() {
    static std::map<HWND, std::string> texts;
    return texts;
}

bool contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

HFONT page_font(bool bold) {
    // Made once for the process: every window draws with the same two faces.
    static HFONT normal =
        CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    static HFONT heavy =
        CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
    return bold ? heavy : normal;
}

void fill(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// Embed windows: white until a plug-in draws there; a grey box with a message when none
// will.
LRESULT CALLBACK embed_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ERASEBKGND) {
        RECT rect;
        GetClientRect(hwnd, &rect);
        fill(reinterpret_cast<HDC>(wparam), rect, RGB(255, 255, 255));
        return 1;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        std::string text = placeholder_text(hwnd);
        if (!text.empty()) {
            RECT rect;
            GetClientRect(hwnd, &rect);
            fill(dc, rect, RGB(192, 192, 192));
            HBRUSH frame = CreateSolidBrush(RGB(128, 128, 128));
            FrameRect(dc, &rect, frame);
            DeleteObject(frame);
            rect = RECT{rect.left + 4, rect.top + 4, rect.right - 4, rect.bottom - 4};
            SelectObject(dc, page_font(false));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 0));
            DrawTextA(dc, text.c_str(), -1, &rect, DT_CENTER | DT_WORDBREAK);
        }
        EndPaint(hwnd, &paint);
        return 0;
    }
    if (message == WM_DESTROY) placeholders().erase(hwnd);
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK status_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return DefWindowProcA(hwnd, message, wparam, lparam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT rect;
    GetClientRect(hwnd, &rect);
    fill(dc, rect, kStatusFace);
    RECT line{0, 0, rect.right, 1};
    fill(dc, line, RGB(128, 128, 128));
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    SelectObject(dc, page_font(false));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT area{4, 1, rect.right - 4, rect.bottom};
    DrawTextA(dc, text, -1, &area, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    EndPaint(hwnd, &paint);
    return 0;
}

void register_class(const char* name, WNDPROC proc, LPCSTR cursor) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = proc;
    window_class.hCursor = LoadCursorA(nullptr, cursor);
    window_class.lpszClassName = name;
    // Registering again (a second viewer in one process) fails harmlessly: the class stays.
    RegisterClassA(&window_class);
}

} // namespace

std::string placeholder_text(HWND window) {
    auto it = placeholders().find(window);
    return it == placeholders().end() ? std::string() : it->second;
}

void BrowserWindow::register_classes() {
    register_class(kPageClass, page_proc, IDC_ARROW);
    register_class(kEmbedClass, embed_proc, IDC_ARROW);
    register_class(kStatusClass, status_proc, IDC_ARROW);
}

BrowserWindow::BrowserWindow(Viewer& viewer, int id, std::string name, POINT position, SIZE size)
    : m_viewer(viewer), m_id(id), m_name(std::move(name)) {
    register_classes();
    m_font = page_font(false);
    m_bold_font = page_font(true);
    m_measure_dc = CreateCompatibleDC(nullptr);
    m_hwnd = CreateWindowExA(0, kPageClass, "Lanternix View", WS_OVERLAPPEDWINDOW, position.x,
                             position.y, size.cx, size.cy, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    RECT client;
    GetClientRect(m_hwnd, &client);
    m_status = CreateWindowExA(0, kStatusClass, "", WS_CHILD | WS_VISIBLE, 0,
                               client.bottom - kStatusBarHeight, client.right, kStatusBarHeight,
                               m_hwnd, nullptr, nullptr, nullptr);
    ShowWindow(m_hwnd, SW_SHOW);
}

BrowserWindow::~BrowserWindow() {
    clear();
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
    DeleteDC(m_measure_dc);
}

void BrowserWindow::clear() {
    // Instances go before their windows, so each can give its window back first.
    std::vector<std::unique_ptr<HostedInstance>> instances = std::move(m_instances);
    for (auto& instance : instances)
        instance->destroy();
    instances.clear();
    for (HWND child : m_children)
        DestroyWindow(child);
    m_children.clear();
    m_embed_windows.clear();
    m_full = false;
    m_scroll = 0;
    m_document = PageDocument{};
    m_layout = PageLayout{};
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void BrowserWindow::set_status(const std::string& text) {
    SetWindowTextA(m_status, text.c_str());
    InvalidateRect(m_status, nullptr, TRUE);
}

std::string BrowserWindow::status() const {
    char text[1024] = "";
    GetWindowTextA(m_status, text, sizeof text);
    return text;
}

SIZE BrowserWindow::measure(const std::string& text, bool bold) const {
    SelectObject(m_measure_dc, bold ? m_bold_font : m_font);
    SIZE size{0, 0};
    GetTextExtentPoint32A(m_measure_dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void BrowserWindow::show_document(PageDocument document, const std::string& url) {
    clear();
    m_url = url;
    m_document = std::move(document);
    SetWindowTextA(m_hwnd, m_document.title.empty() ? url.c_str() : m_document.title.c_str());
    RECT client;
    GetClientRect(m_hwnd, &client);
    m_layout = lay_out(client.right);
    if (!m_document.cut_note.empty()) {
        set_status(m_document.cut_note);
        m_viewer.status_changed(*this, m_document.cut_note);
    }
    // Embeds start in document order, hidden ones included.
    for (const PageItem& item : m_document.items) {
        if (item.kind != PageItem::Kind::Embed) continue;
        auto placed =
            std::find_if(m_layout.embeds.begin(), m_layout.embeds.end(),
                         [&](const PlacedEmbed& embed) { return embed.embed == item.embed; });
        bool shown = placed != m_layout.embeds.end();
        size_t windows = m_children.size();
        start_embed(m_document.embeds[item.embed], shown ? &placed->rect : nullptr);
        if (shown && m_children.size() > windows)
            m_embed_windows.emplace_back(item.embed, m_children.back());
    }
    // Keys scroll the page until a click gives an instance the focus.
    SetFocus(m_hwnd);
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void BrowserWindow::show_full(const std::string& url, const std::string& type) {
    clear();
    m_url = url;
    m_full = true;
    SetWindowTextA(m_hwnd, url.c_str());
    RECT client;
    GetClientRect(m_hwnd, &client);
    RECT area{0, 0, client.right, client.bottom - kStatusBarHeight};
    HWND window = create_embed_window(area);
    if (HostedInstance* instance = start_instance(type, NP_FULL, {}, window))
        start_stream(*instance, url);
}

HWND BrowserWindow::create_embed_window(const RECT& rect) {
    HWND window = CreateWindowExA(0, kEmbedClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                  rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, m_hwnd, nullptr, nullptr, nullptr);
    m_children.push_back(window);
    return window;
}

void BrowserWindow::placeholder(HWND window, const std::string& text) {
    if (!window) return;
    placeholders()[window] = text;
    InvalidateRect(window, nullptr, TRUE);
}

void BrowserWindow::start_embed(const EmbedElement& embed, const RECT* rect) {
    HWND window = rect ? create_embed_window(*rect) : nullptr;
    const std::string* src = embed.attribute("SRC");
    std::optional<std::string> url;
    if (src && !src->empty()) url = resolve_url(m_url, *src);
    const std::string* given_type = embed.attribute("TYPE");
    std::string type = given_type && !given_type->empty()
                           ? *given_type
                           : m_viewer.registry().type_for_extension(url ? url_extension(*url) : "");
    if (type.empty()) {
        std::string what = src ? *src : std::string("an embed without SRC or TYPE");
        m_viewer.missing_plugin("no plug-in for " + what);
        placeholder(window, "No plug-in for " + what);
        return;
    }
    HostedInstance* instance = start_instance(type, NP_EMBED, embed.attributes, window);
    if (!instance) return;
    if (src && !src->empty()) {
        if (url)
            start_stream(*instance, *url);
        else
            set_status("Cannot load " + *src + ": not a valid address");
    }
}

HostedInstance* BrowserWindow::start_instance(const std::string& type, uint16 mode,
                                              HostedInstance::Attributes attributes, HWND window) {
    std::string error;
    PluginLibrary* library = m_viewer.registry().library_for_type(type, error);
    if (!library) {
        m_viewer.missing_plugin(error);
        placeholder(window, "No plug-in for " + type);
        return nullptr;
    }
    auto instance = std::make_unique<HostedInstance>(*library, type, mode, std::move(attributes),
                                                     window, m_url, m_id);
    HostedInstance* raw = instance.get();
    m_instances.push_back(std::move(instance));
    if (NPError result = raw->create(); result != NPERR_NO_ERROR) {
        raw->destroy();
        placeholder(window, "The plug-in for " + type + " did not start (error " +
                                std::to_string(result) + ")");
        return nullptr;
    }
    raw->set_window();
    return raw;
}

void BrowserWindow::start_stream(HostedInstance& instance, const std::string& url) {
    std::string error;
    std::unique_ptr<StreamSource> source = m_viewer.open_source(url, m_url, error);
    if (!source) {
        set_status("Cannot load " + url + ": " + error);
        m_viewer.status_changed(*this, "Cannot load " + url + ": " + error);
        return;
    }
    instance.add_stream(url, std::move(source));
}

void BrowserWindow::step_streams(RateLimiter& rate, uint64_t now_ms) {
    std::vector<std::string> errors;
    for (size_t i = 0; i < m_instances.size(); ++i)
        m_instances[i]->step_streams(rate, now_ms, errors);
    for (const std::string& error : errors) {
        set_status(error);
        m_viewer.status_changed(*this, error);
    }
}

bool BrowserWindow::has_streams() const {
    return std::any_of(m_instances.begin(), m_instances.end(),
                       [](const auto& instance) { return instance->has_streams(); });
}

const PageItem* BrowserWindow::link_at(POINT point) const {
    point.y += m_scroll;
    for (const PlacedWord& word : m_layout.words) {
        const PageItem& item = m_document.items[word.item];
        if (!item.link.empty() && contains(word.rect, point)) return &item;
    }
    return nullptr;
}

void BrowserWindow::paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hwnd, &paint);
    RECT client;
    GetClientRect(m_hwnd, &client);
    fill(dc, client, m_document.background);
    SetBkMode(dc, TRANSPARENT);
    for (const PlacedWord& word : m_layout.words) {
        const PageItem& item = m_document.items[word.item];
        SelectObject(dc, item.bold ? m_bold_font : m_font);
        bool link = !item.link.empty();
        SetTextColor(dc, link ? kLinkColor : m_document.text_color);
        int top = word.rect.top - m_scroll;
        TextOutA(dc, word.rect.left, top, item.text.c_str(), static_cast<int>(item.text.size()));
        if (link) {
            int bottom = word.rect.bottom - m_scroll;
            RECT underline{word.rect.left, bottom - 2, word.rect.right, bottom - 1};
            fill(dc, underline, kLinkColor);
        }
    }
    paint_scroll_bar(dc);
    EndPaint(m_hwnd, &paint);
}

LRESULT BrowserWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        paint();
        return 0;
    case WM_SETCURSOR: {
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(m_hwnd, &cursor);
        if (reinterpret_cast<HWND>(wparam) == m_hwnd && link_at(cursor)) {
            SetCursor(LoadCursorA(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_SIZE:
        reflow();
        return 0;
    case WM_KEYDOWN:
        if (scroll_by_key(wparam)) return 0;
        break;
    case WM_MOUSEWHEEL:
        // Three lines of text for each notch of the wheel.
        scroll_to(m_scroll - static_cast<short>(HIWORD(wparam)) * 48 / 120);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
        if (scroll_by_mouse(message, point)) return 0;
        break;
    case WM_LBUTTONUP:
        if (scroll_by_mouse(message, point)) return 0;
        if (const PageItem* link = link_at(point)) {
            std::string target = link->target.empty() ? "_self" : link->target;
            auto url = resolve_url(m_url, link->link);
            if (url && m_viewer.may_open(*this, m_url, *url))
                m_viewer.navigate_later(m_id, *url, target);
        }
        return 0;
    case WM_CLOSE:
        m_viewer.close_later(m_id);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(m_hwnd, message, wparam, lparam);
}

LRESULT CALLBACK BrowserWindow::page_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* window = reinterpret_cast<BrowserWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!window) return DefWindowProcA(hwnd, message, wparam, lparam);
    return window->handle(message, wparam, lparam);
}

} // namespace browser
