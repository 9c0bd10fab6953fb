// The message queue: order of retrieval, filters, WM_QUIT, timers on the manual desktop
// clock, translation of keys and dispatching.
#include "window_test_util.h"

using namespace window_test;
namespace desktop = winapi::desktop;

namespace {

class MessageQueue : public DesktopFixture {};
class MessageTimer : public DesktopFixture {};

std::vector<UINT> drain(HWND filter = nullptr) {
    std::vector<UINT> got;
    MSG msg;
    while (got.size() < 100 && PeekMessageA(&msg, filter, 0, 0, PM_REMOVE)) {
        got.push_back(msg.message);
        if (msg.message == WM_PAINT) ValidateRect(msg.hwnd, nullptr);
    }
    return got;
}

TEST_F(MessageQueue, RetrievalOrderPostedQuitInputPaintTimer) {
    HWND hwnd = make_top(0, 0, 50, 50);
    settle();
    SetTimer(hwnd, 1, 10, nullptr);
    desktop::advance_clock(10);
    InvalidateRect(hwnd, nullptr, FALSE);
    desktop::key_down('Q');
    PostMessageA(hwnd, WM_USER, 0, 0);
    PostQuitMessage(3);
    PostMessageA(hwnd, WM_USER + 1, 0, 0);
    std::vector<UINT> want = {WM_USER, WM_USER + 1, WM_QUIT, WM_KEYDOWN, WM_PAINT, WM_TIMER};
    EXPECT_EQ(drain(), want);
}

TEST_F(MessageQueue, PeekWithoutRemoveLeavesTheMessage) {
    HWND hwnd = make_top(0, 0, 10, 10);
    settle();
    PostMessageA(hwnd, WM_USER, 5, 6);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_EQ(msg.lParam, 6);
    EXPECT_EQ(msg.time, 1000u) << "posted at the manual clock's time";
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, FiltersByWindowAndRange) {
    HWND a = make_top(0, 0, 10, 10);
    HWND b = make_top(20, 0, 10, 10);
    HWND a_child = make_child(a, 1, 0, 0, 5, 5);
    settle();
    PostMessageA(b, WM_USER, 0, 0);
    PostMessageA(a_child, WM_USER + 1, 0, 0);
    PostMessageA(nullptr, WM_USER + 2, 0, 0);
    PostMessageA(a, WM_USER + 3, 0, 0);
    PostMessageA(a, WM_USER + 10, 0, 0);

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1)) << "a window filter takes its children";
    ASSERT_TRUE(PeekMessageA(&msg, a, WM_USER + 5, WM_USER + 20, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 10)) << "range filter";
    ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2)) << "(HWND)-1 takes thread messages";
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    std::vector<UINT> rest = drain();
    EXPECT_EQ(rest, (std::vector<UINT>{WM_USER, WM_USER + 3}));
}

TEST_F(MessageQueue, GetMessageReturnsZeroForQuitWhateverTheFilter) {
    PostQuitMessage(7);
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, WM_USER, WM_USER), 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "the quit was taken";
}

TEST_F(MessageQueue, GetMessageDoesNotBlockForeverOnAManualClock) {
    MSG msg;
    SetLastError(0);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_FALSE(WaitMessage());
}

TEST_F(MessageQueue, GetMessageMovesTheManualClockToTheNextTimer) {
    HWND hwnd = make_top(0, 0, 10, 10);
    settle();
    ASSERT_EQ(SetTimer(hwnd, 9, 250, nullptr), 9u);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.wParam, 9u);
    EXPECT_EQ(GetTickCount(), 1250u);
    EXPECT_EQ(desktop::clock_now(), 1250u);
}

TEST_F(MessageQueue, MsgWaitForMultipleObjectsWakesForAMessageOrWhenTimeIsUp) {
    HWND hwnd = make_top(0, 0, 10, 10);
    settle();
    uint64_t start = desktop::clock_now();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT),
              static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(desktop::clock_now(), start + 100) << "the manual clock moved to the deadline";
    ASSERT_EQ(SetTimer(hwnd, 4, 30, nullptr), 4u);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(desktop::clock_now(), start + 130) << "woken by the timer, before the deadline";
    PostMessageA(hwnd, WM_USER, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_EQ(desktop::clock_now(), start + 130) << "a waiting message: no wait at all";
    HANDLE handle = hwnd;
    SetLastError(0);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &handle, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

TEST_F(MessageQueue, DispatchSendsToTheWindowAndIgnoresDeadOnes) {
    HWND hwnd = make_top(0, 0, 10, 10);
    set_hook([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER) return 55;
        return std::nullopt;
    });
    MSG msg{hwnd, WM_USER, 1, 2, 0, {}};
    EXPECT_EQ(DispatchMessageA(&msg), 55);
    expect_sequence({{WM_USER, hwnd, WParam | LParam, 1, 2}}, "dispatched");
    DestroyWindow(hwnd);
    SetLastError(0);
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    MSG thread_message{nullptr, WM_USER, 0, 0, 0, {}};
    EXPECT_EQ(DispatchMessageA(&thread_message), 0);
}

TEST_F(MessageQueue, TranslateMessagePostsCharacters) {
    HWND hwnd = make_top(0, 0, 10, 10);
    settle();
    struct Case {
        UINT vk;
        bool shift;
        int expected_char; // 0: none
    } cases[] = {{'A', false, 'a'},   {'A', true, 'A'},       {'7', false, '7'},
                 {'7', true, '&'},    {VK_SPACE, false, ' '}, {VK_RETURN, false, '\r'},
                 {VK_LEFT, false, 0}, {VK_F1, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "vk " << c.vk << " shift " << c.shift);
        if (c.shift) desktop::key_down(VK_SHIFT);
        desktop::key_down(c.vk);
        desktop::key_up(c.vk);
        if (c.shift) desktop::key_up(VK_SHIFT);
        clear_log();
        desktop::pump_messages();
        std::vector<LoggedMessage> chars = messages_named({WM_CHAR});
        if (!c.expected_char) {
            EXPECT_TRUE(chars.empty());
            continue;
        }
        ASSERT_EQ(chars.size(), 1u);
        EXPECT_EQ(chars[0].wparam, static_cast<WPARAM>(c.expected_char))
            << "expected " << char(c.expected_char) << ", got " << char(chars[0].wparam);
    }
    MSG not_a_key{hwnd, WM_USER, 0, 0, 0, {}};
    EXPECT_FALSE(TranslateMessage(&not_a_key));
    MSG key_up{hwnd, WM_KEYUP, 'A', 0, 0, {}};
    EXPECT_TRUE(TranslateMessage(&key_up)) << "nonzero for every key message";
}

TEST_F(MessageTimer, FiresWhenDueOncePerPeriodWithoutBacklog) {
    HWND hwnd = make_top(0, 0, 10, 10);
    settle();
    ASSERT_EQ(SetTimer(hwnd, 1, 100, nullptr), 1u);
    desktop::advance_clock(99);
    EXPECT_EQ(desktop::pump_messages(), 0) << "not before due";
    desktop::advance_clock(1);
    EXPECT_EQ(desktop::pump_messages(), 1) << "exactly at due";
    expect_sequence({{WM_TIMER, hwnd, WParam | LParam, 1, 0}}, "one WM_TIMER");
    clear_log();
    desktop::advance_clock(350);
    EXPECT_EQ(desktop::pump_messages(), 1) << "three periods late: still one message";
    desktop::advance_clock(99);
    EXPECT_EQ(desktop::pump_messages(), 0) << "the period counts from the last WM_TIMER";
    desktop::advance_clock(1);
    EXPECT_EQ(desktop::pump_messages(), 1);
    EXPECT_TRUE(KillTimer(hwnd, 1));
    desktop::advance_clock(1000);
    EXPECT_EQ(desktop::pump_messages(), 0) << "killed";
    SetLastError(0);
    EXPECT_FALSE(KillTimer(hwnd, 1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_TIMER_ID));
}

TEST_F(MessageTimer, TheTimerThatWaitedLongestGoesFirstSoNoneStarves) {
    HWND hwnd = make_top(0, 0, 10, 10);
    settle();
    // Three movies' timers, each served more slowly than its period: the one listed first
    // must not be served again while the others still wait.
    for (UINT_PTR id : {1, 2, 3})
        SetTimer(hwnd, id, 20, nullptr);
    std::vector<WPARAM> served;
    MSG msg;
    for (int round = 0; round < 9; ++round) {
        desktop::advance_clock(30); // serving one takes longer than the period
        ASSERT_TRUE(PeekMessageA(&msg, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE));
        served.push_back(msg.wParam);
    }
    EXPECT_EQ(served, (std::vector<WPARAM>{1, 2, 3, 1, 2, 3, 1, 2, 3}));
}

TEST_F(MessageTimer, SameIdReplacesAndRestartsTheTimer) {
    HWND hwnd = make_top(0, 0, 10, 10);
    settle();
    SetTimer(hwnd, 4, 100, nullptr);
    desktop::advance_clock(80);
    EXPECT_EQ(SetTimer(hwnd, 4, 100, nullptr), 4u);
    desktop::advance_clock(80);
    EXPECT_EQ(desktop::pump_messages(), 0) << "the replacement restarted the period";
    desktop::advance_clock(20);
    EXPECT_EQ(desktop::pump_messages(), 1);
    SetTimer(hwnd, 4, 1, nullptr);
    desktop::advance_clock(9);
    EXPECT_EQ(desktop::pump_messages(), 0) << "periods below the minimum are raised to 10 ms";
    desktop::advance_clock(1);
    EXPECT_EQ(desktop::pump_messages(), 1);
}

std::vector<std::pair<UINT_PTR, DWORD>> g_timer_calls;

void CALLBACK record_timer(HWND, UINT message, UINT_PTR id, DWORD time) {
    EXPECT_EQ(message, static_cast<UINT>(WM_TIMER));
    g_timer_calls.emplace_back(id, time);
}

TEST_F(MessageTimer, ThreadTimersCallTheirProcedure) {
    g_timer_calls.clear();
    UINT_PTR first = SetTimer(nullptr, 0, 50, record_timer);
    UINT_PTR second = SetTimer(nullptr, 0, 70, record_timer);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    EXPECT_NE(first, second) << "each thread timer gets its own id";
    EXPECT_EQ(SetTimer(nullptr, first, 60, record_timer), first) << "an existing id is kept";
    desktop::advance_clock(60);
    desktop::pump_messages();
    ASSERT_EQ(g_timer_calls.size(), 1u);
    EXPECT_EQ(g_timer_calls[0].first, first);
    EXPECT_EQ(g_timer_calls[0].second, 1060u);
    EXPECT_TRUE(KillTimer(nullptr, first));
    EXPECT_TRUE(KillTimer(nullptr, second));

    // A WM_TIMER whose lParam is not a live timer's procedure is not called.
    MSG forged{nullptr, WM_TIMER, 99, reinterpret_cast<LPARAM>(record_timer), 0, {}};
    DispatchMessageA(&forged);
    EXPECT_EQ(g_timer_calls.size(), 1u);
}

} // namespace
