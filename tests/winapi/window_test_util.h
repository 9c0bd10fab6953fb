// Shared helpers of the window manager's conformance tests: a message log that window
// procedures write into, tables of expected messages and a comparison that reports
// "expected X, got Y" with message names, and a fixture that starts every test on a clean
// desktop with a manual clock.
#pragma once

#include <windows.h>
#include <winapi/desktop.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace window_test {

struct LoggedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    const char* via; // which procedure saw it ("wnd", "subclass" ...)
};

// What a table entry checks besides the message itself.
enum Check : unsigned {
    Any = 0,
    WParam = 1,   // wparam must match
    LParam = 2,   // lparam must match
    Optional = 4, // may be missing
};

struct Expected {
    UINT message;
    HWND hwnd = nullptr; // null: any window
    unsigned check = Any;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
};

inline std::vector<LoggedMessage>& message_log() {
    static std::vector<LoggedMessage> log;
    return log;
}
inline void clear_log() {
    message_log().clear();
}

// Readable name of a message ("WM_PAINT", or the number).
inline std::string message_name(UINT message) {
    struct Name {
        UINT message;
        const char* name;
    };
    static const Name names[] = {
        {WM_CREATE, "WM_CREATE"},
        {WM_DESTROY, "WM_DESTROY"},
        {WM_MOVE, "WM_MOVE"},
        {WM_SIZE, "WM_SIZE"},
        {WM_ACTIVATE, "WM_ACTIVATE"},
        {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"},
        {WM_SETTEXT, "WM_SETTEXT"},
        {WM_GETTEXT, "WM_GETTEXT"},
        {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
        {WM_PAINT, "WM_PAINT"},
        {WM_CLOSE, "WM_CLOSE"},
        {WM_QUIT, "WM_QUIT"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
        {WM_SETCURSOR, "WM_SETCURSOR"},
        {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
        {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
        {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
        {WM_STYLECHANGING, "WM_STYLECHANGING"},
        {WM_STYLECHANGED, "WM_STYLECHANGED"},
        {WM_NCCREATE, "WM_NCCREATE"},
        {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_NCHITTEST, "WM_NCHITTEST"},
        {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_KEYUP, "WM_KEYUP"},
        {WM_CHAR, "WM_CHAR"},
        {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
        {WM_SYSKEYUP, "WM_SYSKEYUP"},
        {WM_TIMER, "WM_TIMER"},
        {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
        {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
        {WM_LBUTTONUP, "WM_LBUTTONUP"},
        {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
        {WM_RBUTTONUP, "WM_RBUTTONUP"},
        {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
        {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
        {WM_USER, "WM_USER"},
    };
    for (const Name& entry : names)
        if (entry.message == message) return entry.name;
    if (message > WM_USER && message < WM_APP)
        return "WM_USER+" + std::to_string(message - WM_USER);
    return "message " + std::to_string(message);
}

// Compares `got` with the table in order, reporting every difference.
inline void expect_messages(const std::vector<LoggedMessage>& got,
                            const std::vector<Expected>& expected, const char* what) {
    SCOPED_TRACE(what);
    size_t g = 0;
    for (size_t e = 0; e < expected.size(); ++e) {
        const Expected& want = expected[e];
        SCOPED_TRACE("table entry " + std::to_string(e) + " " + message_name(want.message));
        if (g >= got.size()) {
            if (!(want.check & Optional))
                ADD_FAILURE() << "expected " << message_name(want.message) << ", got nothing";
            continue;
        }
        const LoggedMessage& have = got[g];
        bool window_ok = !want.hwnd || want.hwnd == have.hwnd;
        if (have.message != want.message || !window_ok) {
            if (want.check & Optional) continue;
            ADD_FAILURE() << "expected " << message_name(want.message) << " to window " << want.hwnd
                          << ", got " << message_name(have.message) << " to window " << have.hwnd;
            ++g;
            continue;
        }
        if ((want.check & WParam) && have.wparam != want.wparam)
            ADD_FAILURE() << message_name(want.message) << ": expected wParam " << want.wparam
                          << ", got " << have.wparam;
        if ((want.check & LParam) && have.lparam != want.lparam)
            ADD_FAILURE() << message_name(want.message) << ": expected lParam " << want.lparam
                          << ", got " << have.lparam;
        ++g;
    }
    for (; g < got.size(); ++g)
        ADD_FAILURE() << "expected nothing more, got " << message_name(got[g].message)
                      << " to window " << got[g].hwnd;
}

// Compares the whole log with the table.
inline void expect_sequence(const std::vector<Expected>& expected, const char* what) {
    expect_messages(message_log(), expected, what);
}

// The logged messages of one window.
inline std::vector<LoggedMessage> messages_of(HWND hwnd) {
    std::vector<LoggedMessage> out;
    for (const LoggedMessage& m : message_log())
        if (m.hwnd == hwnd) out.push_back(m);
    return out;
}

// The logged messages with one of the given numbers.
inline std::vector<LoggedMessage> messages_named(std::initializer_list<UINT> numbers) {
    std::vector<LoggedMessage> out;
    for (const LoggedMessage& m : message_log())
        for (UINT number : numbers)
            if (m.message == number) out.push_back(m);
    return out;
}

// A hook that a test installs to answer a message itself (return a value) or to let the
// test procedure pass it to DefWindowProcA (return nullopt).
using Hook = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;
inline Hook& current_hook() {
    static Hook hook;
    return hook;
}
inline void set_hook(Hook hook) {
    current_hook() = std::move(hook);
}

// The window procedure of the test classes: logs every message, asks the hook, else
// DefWindowProcA.
inline LRESULT CALLBACK logging_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    message_log().push_back({hwnd, message, wparam, lparam, "wnd"});
    if (Hook hook = current_hook()) {
        if (std::optional<LRESULT> answer = hook(hwnd, message, wparam, lparam)) return *answer;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

// Registered by the fixture: a white-background class and one without background.
inline constexpr const char* kWhiteClass = "LxTestWhite";
inline constexpr const char* kBareClass = "LxTestBare";

class DesktopFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        winapi::desktop::reset();
        winapi::desktop::use_manual_clock(1000);
        set_hook(nullptr);
        WNDCLASSA cls{};
        cls.lpfnWndProc = logging_proc;
        cls.lpszClassName = kWhiteClass;
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        cls.hCursor = kClassCursor;
        ASSERT_NE(RegisterClassA(&cls), 0);
        cls.lpszClassName = kBareClass;
        cls.hbrBackground = nullptr;
        cls.hCursor = nullptr;
        ASSERT_NE(RegisterClassA(&cls), 0);
        clear_log();
    }

    void TearDown() override {
        set_hook(nullptr);
        winapi::desktop::reset();
        clear_log();
    }

    // A top-level window (visible unless told otherwise); the log is cleared afterwards.
    HWND make_top(int x, int y, int width, int height, DWORD style = WS_VISIBLE,
                  const char* cls = kWhiteClass) {
        HWND hwnd = CreateWindowExA(0, cls, "top", WS_POPUP | style, x, y, width, height, nullptr,
                                    nullptr, nullptr, nullptr);
        EXPECT_NE(hwnd, nullptr);
        clear_log();
        return hwnd;
    }

    HWND make_child(HWND parent, int id, int x, int y, int width, int height,
                    DWORD style = WS_VISIBLE, const char* cls = kWhiteClass) {
        HWND hwnd =
            CreateWindowExA(0, cls, "child", WS_CHILD | style, x, y, width, height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        EXPECT_NE(hwnd, nullptr);
        clear_log();
        return hwnd;
    }

    // Dispatches everything retrievable now (the paint of new windows included) and
    // clears the log.
    void settle() {
        winapi::desktop::pump_messages();
        clear_log();
    }

    // A cursor handle for the class; the window manager only stores and compares it.
    static inline const HCURSOR kClassCursor = reinterpret_cast<HCURSOR>(0x5C0001);
};

} // namespace window_test
