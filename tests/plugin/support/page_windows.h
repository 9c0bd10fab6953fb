// Windows of a test page: a top-level browser window and child windows for embeds, whose
// own procedures record every message they receive. The procedures of the two embed classes
// record under different names, so a test can tell which procedure a message reached.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace plugin_test {

struct PageMessage {
    std::string via; // "embed-a" or "embed-b": the procedure that received it
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

// Every message the embed procedures received, in order.
std::vector<PageMessage>& page_log();

// The embed procedures answer this message with wparam + lparam, so that a test can see
// the result come back through the plug-in's procedure.
const UINT WM_PAGE_SUM = WM_USER + 100;

// Registers the page's window classes (again after a desktop reset).
void register_page_classes();

// The two procedures, to compare a window's procedure with.
LRESULT CALLBACK embed_proc_a(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK embed_proc_b(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

HWND make_page_window(int width, int height);
// A child of `page` whose own procedure is embed_proc_a ('a') or embed_proc_b ('b').
HWND make_embed_window(HWND page, char kind, int x, int y, int width, int height);

// The window's procedure as GetWindowLongPtrA gives it.
WNDPROC window_proc_of(HWND hwnd);

// Compares the logged messages from WM_USER up (the ones tests send; the system's own
// messages are skipped) with `expected`, reporting "expected X, got Y" for every difference.
void expect_user_messages(const std::vector<PageMessage>& expected, const char* what);

} // namespace plugin_test
