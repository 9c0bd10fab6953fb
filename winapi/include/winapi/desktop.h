// The desktop that the Win32 layer's windows live on: not a Win32 interface. It picks the
// display, runs the desktop clock, injects input, answers modal user interface in headless
// runs, and gives tests what they need to look at windows (pixels, screenshots, records of
// message boxes and beeps) and to start from a clean desktop.
//
// Everything here is used from the thread that runs the user interface.
#pragma once

#include <lx_export.h>
#include <windef.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace winapi::desktop {

// ---- Display -------------------------------------------------------------------------

enum class DisplayKind {
    Headless, // pixels in memory only; the default, and what tests use
    Sdl,      // windows on screen, with real mouse and keyboard (needs a display)
};

// Chooses the display. Only possible while no window exists; false when the display is not
// available or windows exist.
LX_EXPORT bool set_display(DisplayKind kind);
LX_EXPORT DisplayKind display();

// The screen size (1024 x 768 unless set). The pointer is kept on the screen.
LX_EXPORT void set_screen_size(int width, int height);
LX_EXPORT SIZE screen_size();

// Writes a PNG of the window: its part of its top-level window's pixels. False for a bad
// window or a file that cannot be written.
LX_EXPORT bool screenshot(HWND hwnd, const char* png_path);

// The colour of one pixel of a window, at client coordinates; CLR_INVALID (0xFFFFFFFF) for
// a bad window or a point outside it.
LX_EXPORT COLORREF window_pixel(HWND hwnd, int x, int y);

// ---- Input ---------------------------------------------------------------------------
// Injected input enters the queue like input from a real device and is routed when it is
// retrieved: mouse messages to the capture window or the window under the pointer, keys to
// the focus window.

enum class MouseButton { Left, Right };

LX_EXPORT void mouse_move(int x, int y);
LX_EXPORT void mouse_down(MouseButton button, int x, int y);
LX_EXPORT void mouse_up(MouseButton button, int x, int y);
// A move to the point, then a press and a release there.
LX_EXPORT void click(MouseButton button, int x, int y);
LX_EXPORT void key_down(UINT vk);
LX_EXPORT void key_up(UINT vk);

// ---- Desktop clock -------------------------------------------------------------------
// GetTickCount and timers read this clock. Real time by default. On a manual clock time
// moves only by set_clock/advance_clock; timers that fall due fire when messages are next
// retrieved. A GetMessageA that would wait on a manual clock moves the clock to the next
// timer it could return; with no timer at all it returns -1 with ERROR_TIMEOUT instead of
// waiting forever (as it does on the headless display with real time).

LX_EXPORT void use_real_clock();
LX_EXPORT void use_manual_clock(uint64_t start_ms = 0);
LX_EXPORT bool clock_is_manual();
LX_EXPORT uint64_t clock_now();
LX_EXPORT void set_clock(uint64_t ms);
LX_EXPORT void advance_clock(uint64_t ms);

// Retrieves and dispatches (with TranslateMessage) every message that can be retrieved now
// without waiting, WM_PAINT and due WM_TIMER included; stops at WM_QUIT, leaving it queued.
// An open pop-up menu and the dialog keyboard (IsDialogMessageA) see each message first, as
// in the modal loops.
// Returns the number of messages dispatched. It gives up after `limit` messages, so a
// window that never validates itself cannot keep it busy forever.
LX_EXPORT int pump_messages(int limit = 10000);

// ---- Automation of modal user interface ----------------------------------------------

enum class ModalKind { MessageBox, Menu, Dialog, FileDialog };

// One item of a pop-up menu as it is shown.
struct ShownMenuItem {
    std::string text; // with '&' and '\t' as the item holds them
    UINT id = 0;      // 0 for separators and items that open a submenu
    bool separator = false;
    bool enabled = true; // false for greyed or disabled items
    bool checked = false;
    bool submenu = false;
    RECT rect{}; // where the item is drawn, in screen coordinates
};

// A filter of a file dialog: the description shown and the pattern(s), ';'-separated.
struct FileFilter {
    std::string description;
    std::string pattern;
};

// What is being shown modally. Fields that do not apply to a kind are null, 0 or empty.
struct ModalEvent {
    ModalKind kind = ModalKind::MessageBox;
    HWND owner = nullptr;
    const char* text = nullptr;    // message box text; file dialog: the proposed file name
    const char* caption = nullptr; // message box caption; dialog and file dialog title
    UINT type = 0;                 // message box type (MB_*); file dialog flags (OFN_*)

    // Menus, dialogs and file dialogs are windows: this one. The callback is asked when the
    // window has been shown and has handled everything queued for it, and asked again
    // (`round` counts up from 0) each time it is idle and still open after an answer.
    HWND window = nullptr;
    int round = 0;

    HMENU menu = nullptr;                  // the menu shown
    std::vector<ShownMenuItem> menu_items; // its items, top to bottom

    bool save = false; // file dialog: a save dialog (else an open one)
    const char* default_extension = nullptr;
    std::vector<FileFilter> filters;
    // File dialog: set it to the path the person types, and answer IDOK.
    std::string* file_path = nullptr;
};

// Answers. A message box takes the button (IDOK, IDCANCEL ...); 0 is its default button.
// A menu takes the id of the item to click; 0 dismisses it without a choice. A dialog takes
// the id of the button to click (IDOK and IDCANCEL without such a button press Enter and
// Escape); 0 presses Escape. A file dialog takes IDOK (with *file_path set, typed into the
// name box first) or IDCANCEL; 0 cancels. kModalContinue lets a menu or dialog run on with
// whatever input the callback injected, until it is idle again. An answer the modal UI
// cannot give (a button the box does not have, a greyed item) does what a person's click
// there would do: nothing, for menus and dialogs, which are then asked again.
constexpr int kModalContinue = -1;
using AutomationCallback = std::function<int(const ModalEvent&)>;

// Installs the callback (an empty function removes it). With no callback, a message box
// answers its default button, a menu closes without a choice and dialogs are cancelled.
// Menus and dialogs still open after 100 rounds are closed the same way, so that a
// callback that never finishes cannot hang a test.
LX_EXPORT void set_automation(AutomationCallback callback);

// ---- Acting as a person -------------------------------------------------------------
// For automation callbacks (and tests): each injects input as a person would make it and
// then handles the messages it caused (as pump_messages does, dialog keys included) before
// it returns.

// A left click at the centre of the window. False for a bad or hidden window.
LX_EXPORT bool click_window(HWND hwnd);
// The same for a dialog's control.
LX_EXPORT bool click_dialog_item(HWND dialog, int id);
// A key pressed and released, with Shift and/or Control held around it.
LX_EXPORT void press_key(UINT vk, bool shift = false, bool control = false);
// Types printable ASCII text, character by character, into the focus window through key
// presses (Shift where the US layout needs it).
LX_EXPORT void type_text(const char* text);

// The menu items as `menu` would show them now.
LX_EXPORT std::vector<ShownMenuItem> shown_menu(HMENU menu);

// ---- Programs started ----------------------------------------------------------------

struct LaunchRecord {
    std::string program;
    std::vector<std::string> arguments; // after the program
    std::string directory;              // working folder, empty for the current one
    int show_command = 0;
    int pid = 0; // 0 when the program was not started
};

// Every program ShellExecuteA started (or tried to) since the last clear_records.
LX_EXPORT std::vector<LaunchRecord> launches();
// Waits for a started program to end and returns its exit status (-1 when unknown).
LX_EXPORT int wait_for_launch(int pid);

struct MessageBoxRecord {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
    int answer = 0;
};

// A cursor's image as the displays draw it: rows top to bottom, each pixel 0xAARRGGBB with
// straight alpha, and the hot spot, the pixel that is the pointer's position.
struct CursorImage {
    int width = 0;
    int height = 0;
    POINT hot_spot{};
    std::vector<uint32_t> pixels;

    uint32_t pixel(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The image of a cursor handle (LoadCursorA); false when the handle is not a cursor.
LX_EXPORT bool cursor_image(HCURSOR cursor, CursorImage* image);

// Every message box shown and every beep made since the last clear_records.
LX_EXPORT std::vector<MessageBoxRecord> message_boxes();
LX_EXPORT std::vector<UINT> beeps();
LX_EXPORT void clear_records();

// Back to a clean desktop for the next test: destroys every window (with their messages),
// unregisters every window class, empties the calling thread's queue and timers, clears
// capture, focus, activation, cursor, held keys, the clipboard, records and the automation
// callback, and restores the real clock and the default screen size.
LX_EXPORT void reset();

} // namespace winapi::desktop
