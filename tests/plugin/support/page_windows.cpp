#include "support/page_windows.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plugin_test {

namespace {

const char kPageClass[] = "LxTestPage";
const char kEmbedClassA[] = "LxTestEmbedA";
const char kEmbedClassB[] = "LxTestEmbedB";

LRESULT record_and_answer(const char* via, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    page_log().push_back({via, hwnd, message, wparam, lparam});
    if (message == WM_PAGE_SUM) return static_cast<LRESULT>(wparam) + lparam;
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

std::string describe(const PageMessage& m) {
    std::ostringstream text;
    text << m.via << " " << m.hwnd << " message 0x" << std::hex << m.message << " wparam 0x"
         << m.wparam << " lparam 0x" << m.lparam;
    return text.str();
}

bool same(const PageMessage& a, const PageMessage& b) {
    return a.via == b.via && a.hwnd == b.hwnd && a.message == b.message && a.wparam == b.wparam &&
           a.lparam == b.lparam;
}

} // namespace

std::vector<PageMessage>& page_log() {
    static std::vector<PageMessage> log;
    return log;
}

LRESULT CALLBACK embed_proc_a(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return record_and_answer("embed-a", hwnd, message, wparam, lparam);
}

LRESULT CALLBACK embed_proc_b(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return record_and_answer("embed-b", hwnd, message, wparam, lparam);
}

void register_page_classes() {
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.lpszClassName = kPageClass;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    EXPECT_NE(RegisterClassA(&cls), 0);
    cls.lpfnWndProc = embed_proc_a;
    cls.lpszClassName = kEmbedClassA;
    EXPECT_NE(RegisterClassA(&cls), 0);
    cls.lpfnWndProc = embed_proc_b;
    cls.lpszClassName = kEmbedClassB;
    EXPECT_NE(RegisterClassA(&cls), 0);
    page_log().clear();
}

HWND make_page_window(int width, int height) {
    HWND hwnd = CreateWindowExA(0, kPageClass, "page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                width, height, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(hwnd, nullptr);
    return hwnd;
}

HWND make_embed_window(HWND page, char kind, int x, int y, int width, int height) {
    const char* cls = kind == 'b' ? kEmbedClassB : kEmbedClassA;
    HWND hwnd = CreateWindowExA(0, cls, "embed", WS_CHILD | WS_VISIBLE, x, y, width, height, page,
                                nullptr, nullptr, nullptr);
    EXPECT_NE(hwnd, nullptr);
    page_log().clear();
    return hwnd;
}

WNDPROC window_proc_of(HWND hwnd) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}

void expect_user_messages(const std::vector<PageMessage>& expected, const char* what) {
    SCOPED_TRACE(what);
    std::vector<PageMessage> got;
    for (const PageMessage& m : page_log())
        if (m.message >= WM_USER) got.push_back(m);
    size_t count = std::max(got.size(), expected.size());
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE("message " + std::to_string(i));
        if (i >= got.size()) {
            ADD_FAILURE() << "expected " << describe(expected[i]) << ", got nothing";
        } else if (i >= expected.size()) {
            ADD_FAILURE() << "expected nothing, got " << describe(got[i]);
        } else if (!same(expected[i], got[i])) {
            ADD_FAILURE() << "expected " << describe(expected[i]) << ", got " << describe(got[i]);
        }
    }
}

} // namespace plugin_test
