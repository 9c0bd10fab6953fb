// Sending, posting, retrieving, translating and dispatching messages.
#include "window/input_router.h"
#include "window/message_queue.h"
#include "window/timer.h"
#include "window/window_manager.h"
#include "window/desktop_clock.h"

namespace winapi::window {

namespace {

// The character a key makes on a US keyboard layout, or 0 for keys that make none.
char key_character(UINT vk) {
    bool shift = retrieved_key_is_down(VK_SHIFT);
    bool control = retrieved_key_is_down(VK_CONTROL);
    if (vk >= 'A' && vk <= 'Z') {
        if (control) return static_cast<char>(vk - 'A' + 1);
        return static_cast<char>(shift ? vk : vk - 'A' + 'a');
    }
    if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : static_cast<char>(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<char>('0' + vk - VK_NUMPAD0);
    switch (vk) {
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return '\r';
    case VK_BACK:
        return '\b';
    case VK_TAB:
        return '\t';
    case VK_ESCAPE:
        return 0x1b;
    case VK_OEM_MINUS:
        return shift ? '_' : '-';
    case VK_OEM_PLUS:
        return shift ? '+' : '=';
    case VK_OEM_COMMA:
        return shift ? '<' : ',';
    case VK_OEM_PERIOD:
        return shift ? '>' : '.';
    case VK_OEM_2:
        return shift ? '?' : '/';
    case VK_OEM_1:
        return shift ? ':' : ';';
    case VK_OEM_7:
        return shift ? '"' : '\'';
    case VK_OEM_3:
        return shift ? '~' : '`';
    case VK_OEM_4:
        return shift ? '{' : '[';
    case VK_OEM_5:
        return shift ? '|' : '\\';
    case VK_OEM_6:
        return shift ? '}' : ']';
    default:
        return 0;
    }
}

bool valid_filter_window(HWND hwnd) {
    return !hwnd || hwnd == reinterpret_cast<HWND>(-1) || find_window(hwnd);
}

} // namespace

} // namespace winapi::window

using namespace winapi::window;

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!checked_window(hWnd)) return 0;
    return send_message(hWnd, Msg, wParam, lParam);
}

// A null window posts a thread message to the calling thread's queue.
BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!hWnd) {
        post_to_queue(current_queue(), nullptr, Msg, wParam, lParam);
        return TRUE;
    }
    Window* window = checked_window(hWnd);
    if (!window) return FALSE;
    post_to_queue(*window->queue, hWnd, Msg, wParam, lParam);
    return TRUE;
}

// Returns 0 for WM_QUIT, -1 for a window filter that is not a window, else nonzero. With
// nothing that could ever arrive (see wait_for_message) it returns -1 with ERROR_TIMEOUT
// rather than block forever.
BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (!valid_filter_window(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    if (!lpMsg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    MessageFilter filter{hWnd, wMsgFilterMin, wMsgFilterMax};
    while (!retrieve_message(lpMsg, filter, true)) {
        if (!wait_for_message(filter)) {
            SetLastError(ERROR_TIMEOUT);
            return -1;
        }
    }
    return lpMsg->message == WM_QUIT ? 0 : 1;
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
    if (!valid_filter_window(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!lpMsg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    MessageFilter filter{hWnd, wMsgFilterMin, wMsgFilterMax};
    return retrieve_message(lpMsg, filter, (wRemoveMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

// Posts WM_CHAR for a key that makes a character. Nonzero for every key message, whether
// or not it made a character, as documented.
BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (!lpMsg) return FALSE;
    UINT message = lpMsg->message;
    if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_SYSKEYDOWN &&
        message != WM_SYSKEYUP)
        return FALSE;
    if (message == WM_KEYDOWN) {
        char ch = key_character(static_cast<UINT>(lpMsg->wParam));
        if (ch) PostMessageA(lpMsg->hwnd, WM_CHAR, static_cast<unsigned char>(ch), lpMsg->lParam);
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    if (!lpMsg) return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
        if (!is_live_timer_proc(lpMsg->hwnd, lpMsg->wParam, proc)) return 0;
        proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
        return 0;
    }
    if (!lpMsg->hwnd) return 0; // thread messages have no procedure to go to
    if (!checked_window(lpMsg->hwnd)) return 0;
    return send_message(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

void WINAPI PostQuitMessage(int nExitCode) {
    MessageQueue& queue = current_queue();
    queue.quit_pending = true;
    queue.quit_code = nExitCode;
}

// Returns at once when a message is waiting; FALSE with ERROR_TIMEOUT when nothing could
// ever arrive.
BOOL WINAPI WaitMessage(void) {
    MSG msg;
    MessageFilter all{};
    while (!retrieve_message(&msg, all, false)) {
        if (!wait_for_message(all)) {
            SetLastError(ERROR_TIMEOUT);
            return FALSE;
        }
    }
    return TRUE;
}

// Only the message queue can be waited on here: with handles to wait for as well it fails
// with ERROR_NOT_SUPPORTED. Any message wakes the caller, whatever the wake mask names, so a
// caller never sleeps through something it would have wanted.
DWORD WINAPI MsgWaitForMultipleObjects(DWORD nCount, const HANDLE* pHandles, BOOL fWaitAll,
                                       DWORD dwMilliseconds, DWORD dwWakeMask) {
    (void)pHandles;
    (void)fWaitAll;
    (void)dwWakeMask;
    if (nCount != 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return WAIT_FAILED;
    }
    std::optional<uint64_t> deadline;
    if (dwMilliseconds != INFINITE) deadline = clock_now() + dwMilliseconds;
    MSG msg;
    MessageFilter all{};
    while (!retrieve_message(&msg, all, false)) {
        if (deadline && clock_now() >= *deadline) return WAIT_TIMEOUT;
        if (!wait_for_message(all, deadline)) {
            SetLastError(ERROR_TIMEOUT);
            return WAIT_FAILED;
        }
    }
    return WAIT_OBJECT_0 + nCount;
}
