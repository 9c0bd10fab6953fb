#include "ui_watcher.h"

#include <algorithm>

namespace winhost {

namespace {

// The system's window classes of a dialog (message boxes are dialogs) and of a pop-up menu.
const char DialogClass[] = "#32770";
const char MenuClass[] = "#32768";

// MN_GETHMENU: asks a pop-up menu window for the menu it shows.
const UINT MenuGetHandle = 0x01E1;

const DWORD PollMilliseconds = 50;

struct Search {
    const char* class_name;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_window(HWND window, LPARAM parameter) {
    Search* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        lstrcmpA(name, search->class_name) == 0)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> visible_windows_of_class(const char* class_name) {
    Search search = {class_name, {}};
    EnumWindows(collect_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK collect_static_text(HWND child, LPARAM parameter) {
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    char text[512] = "";
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpiA(name, "Static") == 0 && text[0])
        reinterpret_cast<std::vector<std::string>*>(parameter)->push_back(text);
    return TRUE;
}

std::vector<SeenMenuItem> read_menu(HMENU menu) {
    std::vector<SeenMenuItem> items;
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        SeenMenuItem item;
        UINT state = GetMenuState(menu, position, MF_BYPOSITION);
        item.separator = (state & MF_SEPARATOR) != 0;
        item.greyed = (state & (MF_GRAYED | MF_DISABLED)) != 0;
        char text[256] = "";
        if (!item.separator) GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
        item.text = text;
        items.push_back(item);
    }
    return items;
}

void post_key(HWND window, UINT key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

} // namespace

UiWatcher::UiWatcher(std::string menu_choice) : m_menu_choice(std::move(menu_choice)) {}

UiWatcher::~UiWatcher() {
    if (m_thread) stop();
}

void UiWatcher::start() {
    m_stop = 0;
    m_thread = CreateThread(nullptr, 0, thread_main, this, 0, nullptr);
}

WatchReport UiWatcher::stop() {
    InterlockedExchange(&m_stop, 1);
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    return m_report;
}

int UiWatcher::menus_answered() const {
    return InterlockedCompareExchange(const_cast<volatile LONG*>(&m_menus_answered), 0, 0);
}

DWORD WINAPI UiWatcher::thread_main(void* self) {
    static_cast<UiWatcher*>(self)->watch();
    return 0;
}

void UiWatcher::watch() {
    while (!m_stop) {
        for (HWND box : visible_windows_of_class(DialogClass))
            answer_message_box(box);
        for (HWND menu : visible_windows_of_class(MenuClass))
            answer_menu(menu);
        Sleep(PollMilliseconds);
    }
}

void UiWatcher::answer_message_box(HWND box) {
    if (std::find(m_answered.begin(), m_answered.end(), box) != m_answered.end()) return;
    m_answered.push_back(box);
    SeenMessageBox seen;
    char caption[256] = "";
    GetWindowTextA(box, caption, sizeof caption);
    seen.caption = caption;
    EnumChildWindows(box, collect_static_text, reinterpret_cast<LPARAM>(&seen.texts));
    seen.has_ok = GetDlgItem(box, IDOK) != nullptr;
    seen.has_cancel = GetDlgItem(box, IDCANCEL) != nullptr;
    seen.has_owner = GetWindow(box, GW_OWNER) != nullptr;
    m_report.message_boxes.push_back(seen);
    // The user presses OK.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

void UiWatcher::answer_menu(HWND menu_window) {
    if (std::find(m_answered.begin(), m_answered.end(), menu_window) != m_answered.end()) return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menu_window, MenuGetHandle, 0, 0));
    if (!menu) return; // not filled in yet: looked at again on the next round
    m_answered.push_back(menu_window);
    std::vector<SeenMenuItem> items = read_menu(menu);
    m_report.menus.push_back(items);
    // The first Down selects the first item; each further one moves past one more item,
    // skipping separators. Enter then chooses the selected item.
    int presses = 0;
    for (const SeenMenuItem& item : items) {
        if (!item.separator) ++presses;
        if (!m_menu_choice.empty() && item.text == m_menu_choice && !item.greyed) {
            for (int i = 0; i < presses; ++i)
                post_key(menu_window, VK_DOWN);
            PostMessageA(menu_window, WM_CHAR, '\r', 1);
            m_report.chose_item = true;
            InterlockedIncrement(&m_menus_answered);
            return;
        }
    }
    post_key(menu_window, VK_ESCAPE);
    InterlockedIncrement(&m_menus_answered);
}

} // namespace winhost
