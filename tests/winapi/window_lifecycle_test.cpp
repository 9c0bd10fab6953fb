// Creating and destroying windows: the messages and their order, creation failures, and
// what destruction takes with it.
#include "window_test_util.h"

using namespace window_test;

namespace {

class WindowLifecycle : public DesktopFixture {};

TEST_F(WindowLifecycle, VisibleTopLevelCreationSequence) {
    HWND hwnd = CreateWindowExA(0, kWhiteClass, "title", WS_POPUP | WS_VISIBLE, 10, 20, 30, 40,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    expect_sequence({{WM_NCCREATE, hwnd},
                     {WM_CREATE, hwnd},
                     {WM_SIZE, hwnd, WParam | LParam, SIZE_RESTORED, MAKELPARAM(30, 40)},
                     {WM_MOVE, hwnd, LParam, 0, MAKELPARAM(10, 20)},
                     {WM_SHOWWINDOW, hwnd, WParam, TRUE},
                     {WM_WINDOWPOSCHANGING, hwnd},
                     {WM_WINDOWPOSCHANGED, hwnd},
                     {WM_ACTIVATE, hwnd, WParam | LParam, WA_ACTIVE, 0},
                     {WM_SETFOCUS, hwnd, WParam, 0}},
                    "CreateWindowExA with WS_VISIBLE");
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetActiveWindow(), hwnd);
    EXPECT_EQ(GetFocus(), hwnd);
    char text[16];
    EXPECT_EQ(GetWindowTextA(hwnd, text, sizeof text), 5);
    EXPECT_STREQ(text, "title");
}

TEST_F(WindowLifecycle, HiddenTopLevelCreationThenShow) {
    HWND hwnd = CreateWindowExA(0, kWhiteClass, nullptr, WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    expect_sequence({{WM_NCCREATE, hwnd}, {WM_CREATE, hwnd}, {WM_SIZE, hwnd}, {WM_MOVE, hwnd}},
                    "CreateWindowExA without WS_VISIBLE");
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    clear_log();

    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOWNA)) << "the window was hidden";
    expect_sequence({{WM_SHOWWINDOW, hwnd, WParam, TRUE},
                     {WM_WINDOWPOSCHANGING, hwnd},
                     {WM_WINDOWPOSCHANGED, hwnd}},
                    "ShowWindow(SW_SHOWNA) does not activate");
    EXPECT_EQ(GetActiveWindow(), nullptr);
    clear_log();
    EXPECT_TRUE(ShowWindow(hwnd, SW_SHOWNA)) << "already visible";
    expect_sequence({}, "showing a visible window again sends nothing");
    EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
    expect_sequence({{WM_SHOWWINDOW, hwnd, WParam, FALSE},
                     {WM_WINDOWPOSCHANGING, hwnd},
                     {WM_WINDOWPOSCHANGED, hwnd}},
                    "ShowWindow(SW_HIDE)");
    EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(WindowLifecycle, ChildCreationSequenceAndParentNotify) {
    HWND top = make_top(0, 0, 100, 100);
    HWND child = CreateWindowExA(0, kWhiteClass, "c", WS_CHILD | WS_VISIBLE, 5, 6, 20, 10, top,
                                 reinterpret_cast<HMENU>(42), nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    expect_sequence({{WM_NCCREATE, child},
                     {WM_CREATE, child},
                     {WM_SIZE, child, LParam, 0, MAKELPARAM(20, 10)},
                     {WM_MOVE, child, LParam, 0, MAKELPARAM(5, 6)},
                     {WM_PARENTNOTIFY, top, WParam | LParam, MAKEWPARAM(WM_CREATE, 42),
                      reinterpret_cast<LPARAM>(child)},
                     {WM_SHOWWINDOW, child, WParam, TRUE},
                     {WM_WINDOWPOSCHANGING, child},
                     {WM_WINDOWPOSCHANGED, child}},
                    "child creation");
    EXPECT_EQ(GetParent(child), top);
    EXPECT_EQ(GetDlgCtrlID(child), 42);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), 42);
    EXPECT_TRUE(IsChild(top, child));
    EXPECT_FALSE(IsChild(child, top));
    EXPECT_EQ(GetActiveWindow(), top) << "showing a child does not change the activation";
}

TEST_F(WindowLifecycle, CreateStructCarriesCreationParameters) {
    int marker = 7;
    CREATESTRUCTA seen{};
    set_hook([&](HWND, UINT message, WPARAM, LPARAM lparam) -> std::optional<LRESULT> {
        if (message == WM_CREATE) seen = *reinterpret_cast<CREATESTRUCTA*>(lparam);
        return std::nullopt;
    });
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, kWhiteClass, "name", WS_POPUP, 1, 2, 3, 4,
                                nullptr, nullptr, nullptr, &marker);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(seen.lpCreateParams, &marker);
    EXPECT_EQ(seen.x, 1);
    EXPECT_EQ(seen.y, 2);
    EXPECT_EQ(seen.cx, 3);
    EXPECT_EQ(seen.cy, 4);
    EXPECT_STREQ(seen.lpszName, "name");
    EXPECT_STREQ(seen.lpszClass, kWhiteClass);
    EXPECT_EQ(seen.dwExStyle, static_cast<DWORD>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(static_cast<DWORD>(seen.style), static_cast<DWORD>(WS_POPUP));
}

TEST_F(WindowLifecycle, NcCreateReturningFalseFailsCreation) {
    set_hook([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_NCCREATE) return FALSE;
        return std::nullopt;
    });
    HWND hwnd = CreateWindowExA(0, kWhiteClass, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 5, 5, nullptr,
                                nullptr, nullptr, nullptr);
    EXPECT_EQ(hwnd, nullptr);
    ASSERT_FALSE(message_log().empty());
    HWND failed = message_log().front().hwnd;
    expect_sequence({{WM_NCCREATE, failed}, {WM_NCDESTROY, failed}}, "refused WM_NCCREATE");
    EXPECT_FALSE(IsWindow(failed));
}

TEST_F(WindowLifecycle, CreateReturningMinusOneDestroysTheWindow) {
    set_hook([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CREATE) return -1;
        return std::nullopt;
    });
    HWND hwnd = CreateWindowExA(0, kWhiteClass, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 5, 5, nullptr,
                                nullptr, nullptr, nullptr);
    EXPECT_EQ(hwnd, nullptr);
    ASSERT_FALSE(message_log().empty());
    HWND failed = message_log().front().hwnd;
    expect_sequence(
        {{WM_NCCREATE, failed}, {WM_CREATE, failed}, {WM_DESTROY, failed}, {WM_NCDESTROY, failed}},
        "WM_CREATE returning -1");
    EXPECT_FALSE(IsWindow(failed));
}

TEST_F(WindowLifecycle, CreationErrors) {
    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));

    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, kWhiteClass, nullptr, WS_CHILD, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));

    HWND gone = make_top(0, 0, 5, 5);
    DestroyWindow(gone);
    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, kWhiteClass, nullptr, WS_CHILD, 0, 0, 1, 1, gone, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    expect_sequence({{WM_WINDOWPOSCHANGING},
                     {WM_WINDOWPOSCHANGED},
                     {WM_ACTIVATE},
                     {WM_KILLFOCUS},
                     {WM_DESTROY},
                     {WM_NCDESTROY}},
                    "only the destruction of the parent; no creation was attempted");
}

TEST_F(WindowLifecycle, ClassNamesCompareWithoutCaseAndByAtom) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = logging_proc;
    cls.lpszClassName = "lxtestwhite";
    SetLastError(0);
    EXPECT_EQ(RegisterClassA(&cls), 0) << "same name in other case";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

    cls.lpszClassName = "LxAtomClass";
    ATOM atom = RegisterClassA(&cls);
    ASSERT_NE(atom, 0);
    HWND hwnd = CreateWindowExA(0, MAKEINTATOM(atom), nullptr, WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, nullptr, nullptr);
    EXPECT_NE(hwnd, nullptr);

    SetLastError(0);
    EXPECT_FALSE(UnregisterClassA("LxAtomClass", nullptr)) << "a window of the class exists";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(hwnd);
    EXPECT_TRUE(UnregisterClassA("LXATOMCLASS", nullptr));
    SetLastError(0);
    EXPECT_FALSE(UnregisterClassA("LxAtomClass", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));

    WNDCLASSA info{};
    ASSERT_TRUE(GetClassInfoA(nullptr, kWhiteClass, &info));
    EXPECT_EQ(info.lpfnWndProc, logging_proc);
    EXPECT_EQ(info.hCursor, kClassCursor);
    SetLastError(0);
    EXPECT_FALSE(GetClassInfoA(nullptr, "LxAtomClass", &info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));

    cls.lpfnWndProc = nullptr;
    SetLastError(0);
    EXPECT_EQ(RegisterClassA(&cls), 0) << "a class needs a procedure";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(WindowLifecycle, DestroyOrderParentThenChildrenThenNcDestroyBottomUp) {
    HWND top = make_top(0, 0, 100, 100);
    HWND child = make_child(top, 1, 0, 0, 50, 50);
    HWND grandchild = make_child(child, 2, 0, 0, 10, 10);
    ASSERT_TRUE(DestroyWindow(top));
    expect_sequence({{WM_WINDOWPOSCHANGING, top},
                     {WM_WINDOWPOSCHANGED, top},
                     {WM_ACTIVATE, top, WParam | LParam, WA_INACTIVE, 0},
                     {WM_KILLFOCUS, top, WParam, 0},
                     {WM_DESTROY, top},
                     {WM_DESTROY, child},
                     {WM_DESTROY, grandchild},
                     {WM_NCDESTROY, grandchild},
                     {WM_NCDESTROY, child},
                     {WM_NCDESTROY, top}},
                    "DestroyWindow of an active top-level window with descendants");
    for (HWND hwnd : {top, child, grandchild})
        EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowLifecycle, DestroyingAChildNotifiesTheParentAndRepaintsItsPlace) {
    HWND top = make_top(0, 0, 100, 100);
    HWND child = make_child(top, 9, 10, 10, 20, 20);
    settle();
    ASSERT_TRUE(DestroyWindow(child));
    expect_sequence({{WM_WINDOWPOSCHANGING, child},
                     {WM_WINDOWPOSCHANGED, child},
                     {WM_PARENTNOTIFY, top, WParam | LParam, MAKEWPARAM(WM_DESTROY, 9),
                      reinterpret_cast<LPARAM>(child)},
                     {WM_DESTROY, child},
                     {WM_NCDESTROY, child}},
                    "DestroyWindow of a child");
    RECT update;
    EXPECT_TRUE(GetUpdateRect(top, &update, FALSE));
    EXPECT_EQ(update.left, 10);
    EXPECT_EQ(update.top, 10);
    EXPECT_EQ(update.right, 30);
    EXPECT_EQ(update.bottom, 30);
}

// The destruction messages go to the procedure the window has at that moment, so a
// subclass sees WM_DESTROY and WM_NCDESTROY and can give the window back its procedure.
LRESULT CALLBACK subclass_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    message_log().push_back({hwnd, message, wparam, lparam, "subclass"});
    return CallWindowProcA(logging_proc, hwnd, message, wparam, lparam);
}

TEST_F(WindowLifecycle, SubclassedProcedureReceivesDestroyMessages) {
    HWND top = make_top(0, 0, 10, 10, 0);
    SetWindowLongPtrA(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclass_proc));
    DestroyWindow(top);
    std::vector<std::pair<UINT, std::string>> seen;
    for (const LoggedMessage& m : message_log())
        seen.emplace_back(m.message, m.via);
    std::vector<std::pair<UINT, std::string>> want = {{WM_DESTROY, "subclass"},
                                                      {WM_DESTROY, "wnd"},
                                                      {WM_NCDESTROY, "subclass"},
                                                      {WM_NCDESTROY, "wnd"}};
    EXPECT_EQ(seen, want);
}

TEST_F(WindowLifecycle, DestroyTakesTimersQueuedMessagesCaptureAndFocus) {
    HWND top = make_top(0, 0, 50, 50);
    HWND child = make_child(top, 1, 0, 0, 10, 10);
    SetTimer(top, 5, 100, nullptr);
    PostMessageA(top, WM_USER, 0, 0);
    PostMessageA(child, WM_USER + 1, 0, 0);
    SetFocus(child);
    SetCapture(child);
    clear_log();
    DestroyWindow(top);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(messages_named({WM_CAPTURECHANGED}).size(), 1u) << "capture was taken away";
    winapi::desktop::advance_clock(1000);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        << "got message " << message_name(msg.message) << " of a destroyed window";
    SetLastError(0);
    EXPECT_FALSE(KillTimer(top, 5));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowLifecycle, DestroyingAnOwnerDestroysOwnedWindowsFirst) {
    HWND owner = make_top(0, 0, 10, 10);
    HWND owned = CreateWindowExA(0, kWhiteClass, nullptr, WS_POPUP, 0, 0, 5, 5, owner, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(owned, nullptr);
    EXPECT_EQ(GetParent(owned), owner) << "a pop-up's GetParent is its owner";
    clear_log();
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(owned));
    std::vector<LoggedMessage> destroys = messages_named({WM_DESTROY});
    ASSERT_EQ(destroys.size(), 2u);
    EXPECT_EQ(destroys[0].hwnd, owned);
    EXPECT_EQ(destroys[1].hwnd, owner);
}

TEST_F(WindowLifecycle, DestroyFromWmCloseAndDoubleDestroy) {
    HWND top = make_top(0, 0, 10, 10);
    set_hook([](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        // A second DestroyWindow during destruction is harmless.
        if (message == WM_DESTROY) {
            EXPECT_TRUE(DestroyWindow(hwnd));
        }
        return std::nullopt;
    });
    SendMessageA(top, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_EQ(messages_named({WM_DESTROY}).size(), 1u);
    EXPECT_EQ(messages_named({WM_NCDESTROY}).size(), 1u);
}

TEST_F(WindowLifecycle, WindowTextThroughMessages) {
    HWND top = make_top(0, 0, 10, 10);
    EXPECT_TRUE(SetWindowTextA(top, "Lanternix"));
    EXPECT_EQ(GetWindowTextLengthA(top), 9);
    char small[5] = "xxxx";
    EXPECT_EQ(GetWindowTextA(top, small, sizeof small), 4) << "cut to the buffer";
    EXPECT_STREQ(small, "Lant");
    expect_sequence({{WM_SETTEXT, top}, {WM_GETTEXTLENGTH, top}, {WM_GETTEXT, top, WParam, 5}},
                    "text functions go through the window procedure");
    EXPECT_TRUE(SetWindowTextA(top, nullptr));
    EXPECT_EQ(GetWindowTextLengthA(top), 0);
}

TEST_F(WindowLifecycle, BadHandlesFailWithInvalidWindowHandle) {
    HWND gone = make_top(0, 0, 10, 10);
    DestroyWindow(gone);
    HWND bogus = reinterpret_cast<HWND>(0x1234);
    for (HWND bad : {static_cast<HWND>(nullptr), gone, bogus}) {
        SCOPED_TRACE(testing::Message() << "handle " << bad);
        RECT rect{};
        POINT point{};
        char text[4];
        auto expect_error = [](const char* call) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE)) << call;
            SetLastError(0);
        };
        SetLastError(0);
        EXPECT_FALSE(IsWindow(bad));
        EXPECT_FALSE(DestroyWindow(bad));
        expect_error("DestroyWindow");
        EXPECT_FALSE(ShowWindow(bad, SW_SHOW));
        expect_error("ShowWindow");
        EXPECT_FALSE(SetWindowPos(bad, nullptr, 0, 0, 1, 1, SWP_NOZORDER));
        expect_error("SetWindowPos");
        EXPECT_FALSE(MoveWindow(bad, 0, 0, 1, 1, TRUE));
        expect_error("MoveWindow");
        EXPECT_FALSE(GetClientRect(bad, &rect));
        expect_error("GetClientRect");
        EXPECT_FALSE(GetWindowRect(bad, &rect));
        expect_error("GetWindowRect");
        EXPECT_FALSE(ClientToScreen(bad, &point));
        expect_error("ClientToScreen");
        EXPECT_FALSE(ScreenToClient(bad, &point));
        expect_error("ScreenToClient");
        EXPECT_EQ(GetParent(bad), nullptr);
        expect_error("GetParent");
        EXPECT_EQ(GetDlgCtrlID(bad), 0);
        expect_error("GetDlgCtrlID");
        EXPECT_EQ(GetWindowTextA(bad, text, sizeof text), 0);
        expect_error("GetWindowTextA");
        EXPECT_FALSE(SetWindowTextA(bad, "x"));
        expect_error("SetWindowTextA");
        EXPECT_EQ(GetWindowLongPtrA(bad, GWLP_USERDATA), 0);
        expect_error("GetWindowLongPtrA");
        EXPECT_EQ(SetWindowLongPtrA(bad, GWLP_USERDATA, 1), 0);
        expect_error("SetWindowLongPtrA");
        EXPECT_EQ(SendMessageA(bad, WM_USER, 0, 0), 0);
        expect_error("SendMessageA");
        EXPECT_EQ(DefWindowProcA(bad, WM_GETTEXTLENGTH, 0, 0), 0);
        expect_error("DefWindowProcA");
        EXPECT_FALSE(UpdateWindow(bad));
        expect_error("UpdateWindow");
        PAINTSTRUCT ps;
        EXPECT_EQ(BeginPaint(bad, &ps), nullptr);
        expect_error("BeginPaint");
        EXPECT_EQ(SetCapture(bad), nullptr);
        expect_error("SetCapture");
        EXPECT_EQ(SetFocus(bad), nullptr);
        if (bad) expect_error("SetFocus");
        EXPECT_EQ(SetActiveWindow(bad), nullptr);
        if (bad) expect_error("SetActiveWindow");
        EXPECT_FALSE(SetForegroundWindow(bad));
        expect_error("SetForegroundWindow");
        MSG msg;
        // A null window means something else to these functions (the desktop, the
        // thread), so only real bad handles are tried.
        if (bad) {
            EXPECT_FALSE(InvalidateRect(bad, nullptr, TRUE));
            expect_error("InvalidateRect");
            EXPECT_FALSE(ValidateRect(bad, nullptr));
            expect_error("ValidateRect");
            EXPECT_FALSE(GetUpdateRect(bad, &rect, FALSE));
            expect_error("GetUpdateRect");
            EXPECT_EQ(GetDC(bad), nullptr);
            expect_error("GetDC");
            EXPECT_EQ(SetTimer(bad, 1, 10, nullptr), 0u);
            expect_error("SetTimer");
            EXPECT_EQ(GetMessageA(&msg, bad, 0, 0), -1);
            expect_error("GetMessageA");
            EXPECT_FALSE(PeekMessageA(&msg, bad, 0, 0, PM_REMOVE));
            expect_error("PeekMessageA");
            EXPECT_FALSE(PostMessageA(bad, WM_USER, 0, 0));
            expect_error("PostMessageA");
            EXPECT_EQ(MessageBoxA(bad, "x", "y", MB_OK), 0);
            expect_error("MessageBoxA");
        }
    }
}

} // namespace
