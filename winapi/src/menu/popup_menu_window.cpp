// The window of a tracked pop-up menu: its layout, painting, and the mouse and keys a person
// uses to pick an item.
#include "menu/popup_menu.h"

#include "common/ui_draw.h"
#include "menu/menu.h"
#include "window/window_class.h"

namespace winapi::menu {

const char kPopupMenuClass[] = "#32768";

namespace {

constexpr int kFrame = 3;      // pixels of frame around the items
constexpr int kTextLeft = 18;  // room for a check mark before the text
constexpr int kTextRight = 18; // room for a submenu arrow after the text
constexpr int kSeparatorHeight = 9;

PopupTracker* tracker_of(HWND hwnd) {
    return reinterpret_cast<PopupTracker*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

desktop::ShownMenuItem shown_item(const MenuItem& item) {
    desktop::ShownMenuItem shown;
    shown.separator = item.is_separator();
    shown.submenu = item.is_popup();
    shown.id = shown.separator || shown.submenu ? 0 : static_cast<UINT>(item.id);
    shown.text = shown.separator ? "" : item.text;
    shown.enabled = !(item.flags & (MF_GRAYED | MF_DISABLED));
    shown.checked = (item.flags & MF_CHECKED) != 0;
    return shown;
}

void paint_item(HDC dc, const desktop::ShownMenuItem& item, bool highlighted, int width) {
    RECT r = item.rect;
    if (item.separator) {
        ui::etched_line(dc, r.left + 1, r.right - 1, (r.top + r.bottom) / 2 - 1);
        return;
    }
    if (highlighted) ui::fill(dc, r, COLOR_HIGHLIGHT);
    RECT text_rect{r.left + kTextLeft, r.top, width - kFrame - kTextRight, r.bottom};
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    std::string label = item.text;
    std::string accelerator;
    if (size_t tab = label.find('\t'); tab != std::string::npos) {
        accelerator = label.substr(tab + 1);
        label.resize(tab);
    }
    COLORREF color = GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    auto draw = [&](const std::string& s, UINT f) {
        if (!item.enabled && !highlighted)
            ui::grey_text(dc, s, text_rect, f);
        else
            ui::text(dc, s, text_rect, f, item.enabled ? color : GetSysColor(COLOR_GRAYTEXT));
    };
    draw(label, format);
    if (!accelerator.empty()) draw(accelerator, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    if (item.checked) {
        RECT mark{r.left + 4, r.top, r.left + kTextLeft, r.bottom};
        ui::text(dc, "x", mark, DT_SINGLELINE | DT_VCENTER | DT_LEFT, color);
    }
    if (item.submenu) {
        RECT arrow{r.right - kTextRight, r.top, r.right - 4, r.bottom};
        ui::text(dc, ">", arrow, DT_SINGLELINE | DT_VCENTER | DT_RIGHT, color);
    }
}

void paint(HWND hwnd, PopupTracker& tracker) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    ui::fill(dc, client, COLOR_MENU);
    ui::bevel(dc, client, true);
    HGDIOBJ old_font = SelectObject(dc, ui::ui_font());
    for (size_t i = 0; i < tracker.items.size(); ++i)
        paint_item(dc, tracker.items[i], static_cast<int>(i) == tracker.highlighted, client.right);
    SelectObject(dc, old_font);
    EndPaint(hwnd, &ps);
}

void highlight(HWND hwnd, PopupTracker& tracker, int index) {
    if (index == tracker.highlighted) return;
    tracker.highlighted = index;
    InvalidateRect(hwnd, nullptr, TRUE);
}

// Up and down move the highlight over the items that are not separators, wrapping around.
void step_highlight(HWND hwnd, PopupTracker& tracker, int step) {
    int count = static_cast<int>(tracker.items.size());
    int index = tracker.highlighted;
    for (int tries = 0; tries < count; ++tries) {
        index = index < 0 ? (step > 0 ? 0 : count - 1) : (index + step + count) % count;
        if (!tracker.items[static_cast<size_t>(index)].separator) {
            highlight(hwnd, tracker, index);
            return;
        }
    }
}

// An item whose text has "&x" is chosen by x.
int mnemonic_item(const PopupTracker& tracker, char key) {
    for (size_t i = 0; i < tracker.items.size(); ++i) {
        const std::string& text = tracker.items[i].text;
        size_t amp = text.find('&');
        if (amp != std::string::npos && amp + 1 < text.size() &&
            std::tolower(static_cast<unsigned char>(text[amp + 1])) ==
                std::tolower(static_cast<unsigned char>(key)))
            return static_cast<int>(i);
    }
    return -1;
}

void on_key(HWND hwnd, PopupTracker& tracker, WPARAM vk) {
    switch (vk) {
    case VK_UP:
        step_highlight(hwnd, tracker, -1);
        break;
    case VK_DOWN:
        step_highlight(hwnd, tracker, 1);
        break;
    case VK_RETURN:
        choose_item(tracker, tracker.highlighted);
        break;
    case VK_ESCAPE:
    case VK_LEFT:
        tracker.done = true;
        break;
    default:
        break;
    }
}

bool is_choosing_button(const PopupTracker& tracker, UINT message) {
    if (message == WM_LBUTTONUP) return true;
    return message == WM_RBUTTONUP && (tracker.flags & TPM_RIGHTBUTTON);
}

LRESULT on_mouse(HWND hwnd, PopupTracker& tracker, UINT message, LPARAM lparam) {
    POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    int index = item_at(tracker, point);
    RECT client;
    GetClientRect(hwnd, &client);
    bool inside = PtInRect(&client, point);
    if (message == WM_MOUSEMOVE) {
        highlight(hwnd, tracker, index);
    } else if ((message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) && !inside) {
        tracker.done = true; // a click elsewhere dismisses the menu
    } else if (is_choosing_button(tracker, message) && index >= 0) {
        choose_item(tracker, index);
    }
    return 0;
}

LRESULT CALLBACK popup_menu_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    PopupTracker* tracker = tracker_of(hwnd);
    if (!tracker) return DefWindowProcA(hwnd, message, wparam, lparam);
    switch (message) {
    case WM_PAINT:
        paint(hwnd, *tracker);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return on_mouse(hwnd, *tracker, message, lparam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        on_key(hwnd, *tracker, wparam);
        return 0;
    case WM_CHAR:
        if (int index = mnemonic_item(*tracker, static_cast<char>(wparam)); index >= 0)
            choose_item(*tracker, index);
        return 0;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
        tracker->done = true;
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

} // namespace

std::vector<desktop::ShownMenuItem> lay_out_menu(HMENU handle, SIZE* size) {
    std::vector<desktop::ShownMenuItem> items;
    Menu* menu = find_menu(handle);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old_font = SelectObject(dc, ui::ui_font());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    int item_height = metrics.tmHeight + 6;
    int width = 80;
    int y = kFrame;
    for (const MenuItem& item : menu ? menu->items : std::vector<MenuItem>{}) {
        desktop::ShownMenuItem shown = shown_item(item);
        int height = shown.separator ? kSeparatorHeight : item_height;
        shown.rect = RECT{kFrame, y, 0, y + height};
        std::string label = shown.text;
        for (char& c : label)
            if (c == '\t') c = ' ';
        width = std::max(width, ui::text_width(dc, label) + 24 + kTextLeft + kTextRight);
        y += height;
        items.push_back(std::move(shown));
    }
    for (auto& shown : items)
        shown.rect.right = kFrame + width;
    SelectObject(dc, old_font);
    ReleaseDC(nullptr, dc);
    if (size) *size = SIZE{width + 2 * kFrame, y + kFrame};
    return items;
}

void register_popup_menu_class() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    WNDCLASSA wc{};
    wc.style = CS_SAVEBITS | CS_DROPSHADOW;
    wc.lpfnWndProc = popup_menu_proc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kPopupMenuClass;
    window::add_system_class(wc);
}

int item_at(const PopupTracker& tracker, POINT client) {
    for (size_t i = 0; i < tracker.items.size(); ++i)
        if (PtInRect(&tracker.items[i].rect, client) && !tracker.items[i].separator)
            return static_cast<int>(i);
    return -1;
}

bool choose_item(PopupTracker& tracker, int index) {
    if (index < 0 || index >= static_cast<int>(tracker.items.size())) return false;
    const desktop::ShownMenuItem& item = tracker.items[static_cast<size_t>(index)];
    if (item.separator || item.submenu || !item.enabled) return false;
    tracker.chosen = item.id;
    tracker.done = true;
    return true;
}

} // namespace winapi::menu
