// Plays the user in front of the screen while the host's thread is inside a modal loop of the
// plug-in (a message box, a pop-up menu): a thread of its own looks for the process's visible
// message boxes and pop-up menus, writes down what they show and answers them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace winhost {

// A message box as it was on the screen.
struct SeenMessageBox {
    std::string caption;
    std::vector<std::string> texts; // the non-empty texts of its static controls
    bool has_ok = false;
    bool has_cancel = false;
    bool has_owner = false;
};

// One item of a pop-up menu as it was on the screen.
struct SeenMenuItem {
    std::string text; // empty for a separator
    bool separator = false;
    bool greyed = false;
};

// What the watcher saw, and what it did about it.
struct WatchReport {
    std::vector<SeenMessageBox> message_boxes;
    std::vector<std::vector<SeenMenuItem>> menus;
    bool chose_item = false;
};

class UiWatcher {
  public:
    // Message boxes are answered with OK. In a pop-up menu the item whose text is
    // `menu_choice` is chosen with the keyboard (arrow keys, then Enter) when it is enabled;
    // a menu without it, or with it greyed, is closed with Escape.
    explicit UiWatcher(std::string menu_choice = "");
    ~UiWatcher();

    void start();
    // Stops the thread and gives what it saw.
    WatchReport stop();
    // Pop-up menus answered so far; may be asked while the watcher runs.
    int menus_answered() const;

  private:
    static DWORD WINAPI thread_main(void* self);
    void watch();
    void answer_message_box(HWND box);
    void answer_menu(HWND menu_window);

    std::string m_menu_choice;
    WatchReport m_report;
    std::vector<HWND> m_answered;
    HANDLE m_thread = nullptr;
    volatile LONG m_stop = 0;
    volatile LONG m_menus_answered = 0;
};

} // namespace winhost
