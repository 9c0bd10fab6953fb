// The instance's window, through the entry points: NPP_SetWindow subclasses the host's child
// window, every message still reaches the window's own procedure unchanged, the subclassing
// moves with the window and ends with the instance.
#include "support/plugin_fixture.h"

#include <winapi/desktop.h>

using namespace plugin_test;

namespace {

class PluginWindow : public PluginFixture {
  protected:
    void SetUp() override {
        PluginFixture::SetUp();
        if (HasFatalFailure()) return;
        start();
        page = make_page_window(400, 300);
        embed_a = make_embed_window(page, 'a', 10, 10, 200, 150);
        embed_b = make_embed_window(page, 'b', 10, 170, 200, 100);
        page_log().clear();
    }

    static NPWindow record_for(HWND hwnd, uint32 width = 200, uint32 height = 150) {
        return window_record(hwnd, width, height);
    }

    // Sends WM_PAGE_SUM and expects the window's own procedure `via` to answer it, once.
    void expect_reaches(HWND hwnd, const char* via, const char* what) {
        SCOPED_TRACE(what);
        page_log().clear();
        EXPECT_EQ(SendMessageA(hwnd, WM_PAGE_SUM, 40, 2), 42) << "expected the result back";
        expect_user_messages({{via, hwnd, WM_PAGE_SUM, 40, 2}}, what);
    }

    static bool has_update_region(HWND hwnd) { return GetUpdateRect(hwnd, nullptr, FALSE); }

    HWND page = nullptr;
    HWND embed_a = nullptr;
    HWND embed_b = nullptr;
};

TEST_F(PluginWindow, MessagesReachTheWindowsOwnProcedureUnchanged) {
    ScopedInstance npp(*this);
    ASSERT_EQ(npp.open(), NPERR_NO_ERROR);
    NPWindow record = record_for(embed_a);
    ASSERT_EQ(funcs.setwindow(npp.get(), &record), NPERR_NO_ERROR);
    EXPECT_NE(window_proc_of(embed_a), embed_proc_a) << "expected the window subclassed";

    EXPECT_EQ(SendMessageA(embed_a, WM_PAGE_SUM, 40, 2), 42);
    PostMessageA(embed_a, WM_USER + 1, 0x1234, -5);
    SendMessageA(embed_a, WM_USER + 2, ~static_cast<WPARAM>(0), 0x7FFFFFFF);
    winapi::desktop::pump_messages();
    expect_user_messages({{"embed-a", embed_a, WM_PAGE_SUM, 40, 2},
                          {"embed-a", embed_a, WM_USER + 2, ~static_cast<WPARAM>(0), 0x7FFFFFFF},
                          {"embed-a", embed_a, WM_USER + 1, 0x1234, -5}},
                         "sent, posted and sent again");

    // The system's own messages pass as well: the window's procedure paints it.
    EXPECT_FALSE(has_update_region(embed_a)) << "expected WM_PAINT handled by the window";
    EXPECT_EQ(npp.destroy(), NPERR_NO_ERROR);
}

TEST_F(PluginWindow, SetWindowInvalidatesTheWindow) {
    ScopedInstance npp(*this);
    // Without NOPICTURE the poster would be placed and the window painted before SetWindow
    // returns, leaving nothing invalid to look at.
    ASSERT_EQ(npp.open({{"NOPICTURE", ""}}), NPERR_NO_ERROR);
    ValidateRect(embed_a, nullptr);
    NPWindow record = record_for(embed_a);
    ASSERT_EQ(funcs.setwindow(npp.get(), &record), NPERR_NO_ERROR);
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(embed_a, &update, FALSE));
    EXPECT_EQ(update.right - update.left, 200);
    EXPECT_EQ(update.bottom - update.top, 150);
    EXPECT_EQ(npp.destroy(), NPERR_NO_ERROR);
}

TEST_F(PluginWindow, SameRecordAndWindowAgainDoesNothing) {
    ScopedInstance npp(*this);
    ASSERT_EQ(npp.open(), NPERR_NO_ERROR);
    NPWindow record = record_for(embed_a);
    ASSERT_EQ(funcs.setwindow(npp.get(), &record), NPERR_NO_ERROR);
    WNDPROC installed = window_proc_of(embed_a);
    ValidateRect(embed_a, nullptr);

    record.width = 120; // even a changed size is not looked at
    EXPECT_EQ(funcs.setwindow(npp.get(), &record), NPERR_NO_ERROR);
    EXPECT_FALSE(has_update_region(embed_a)) << "expected no invalidation";
    EXPECT_EQ(window_proc_of(embed_a), installed);
    expect_reaches(embed_a, "embed-a", "after the repeated call");
    EXPECT_EQ(npp.destroy(), NPERR_NO_ERROR);
}

TEST_F(PluginWindow, NewRecordForTheSameWindowDoesNotSubclassTwice) {
    ScopedInstance npp(*this);
    // NOPICTURE: no poster repaints the window at once, so the invalidation stays visible.
    ASSERT_EQ(npp.open({{"NOPICTURE", ""}}), NPERR_NO_ERROR);
    NPWindow first = record_for(embed_a);
    ASSERT_EQ(funcs.setwindow(npp.get(), &first), NPERR_NO_ERROR);
    WNDPROC installed = window_proc_of(embed_a);
    ValidateRect(embed_a, nullptr);

    NPWindow second = record_for(embed_a, 180, 120);
    EXPECT_EQ(funcs.setwindow(npp.get(), &second), NPERR_NO_ERROR);
    EXPECT_EQ(window_proc_of(embed_a), installed);
    EXPECT_TRUE(has_update_region(embed_a)) << "expected the whole window invalidated again";
    // Subclassed twice, the instance would pass messages to itself.
    expect_reaches(embed_a, "embed-a", "after the second record");

    EXPECT_EQ(npp.destroy(), NPERR_NO_ERROR);
    EXPECT_EQ(window_proc_of(embed_a), embed_proc_a)
        << "expected the window's own procedure back, not the plug-in's";
}

TEST_F(PluginWindow, SubclassingMovesToANewWindow) {
    ScopedInstance npp(*this);
    ASSERT_EQ(npp.open(), NPERR_NO_ERROR);
    NPWindow first = record_for(embed_a);
    ASSERT_EQ(funcs.setwindow(npp.get(), &first), NPERR_NO_ERROR);
    NPWindow second = record_for(embed_b, 200, 100);
    ASSERT_EQ(funcs.setwindow(npp.get(), &second), NPERR_NO_ERROR);

    EXPECT_EQ(window_proc_of(embed_a), embed_proc_a) << "expected the old window given back";
    EXPECT_NE(window_proc_of(embed_b), embed_proc_b) << "expected the new window subclassed";
    expect_reaches(embed_b, "embed-b", "new window");
    expect_reaches(embed_a, "embed-a", "old window");

    // And back again: the old window is subclassed anew.
    ASSERT_EQ(funcs.setwindow(npp.get(), &first), NPERR_NO_ERROR);
    EXPECT_EQ(window_proc_of(embed_b), embed_proc_b);
    EXPECT_NE(window_proc_of(embed_a), embed_proc_a);
    expect_reaches(embed_a, "embed-a", "first window again");

    EXPECT_EQ(npp.destroy(), NPERR_NO_ERROR);
    EXPECT_EQ(window_proc_of(embed_a), embed_proc_a);
    EXPECT_EQ(window_proc_of(embed_b), embed_proc_b);
}

TEST_F(PluginWindow, RecordWithoutWindowGivesTheWindowBack) {
    ScopedInstance npp(*this);
    ASSERT_EQ(npp.open(), NPERR_NO_ERROR);
    NPWindow record = record_for(embed_a);
    ASSERT_EQ(funcs.setwindow(npp.get(), &record), NPERR_NO_ERROR);
    NPWindow empty = record_for(nullptr);
    EXPECT_EQ(funcs.setwindow(npp.get(), &empty), NPERR_NO_ERROR);
    EXPECT_EQ(window_proc_of(embed_a), embed_proc_a);

    // The instance stays registered and takes a window again.
    ASSERT_EQ(funcs.setwindow(npp.get(), &record), NPERR_NO_ERROR);
    EXPECT_NE(window_proc_of(embed_a), embed_proc_a);
    expect_reaches(embed_a, "embed-a", "window given again");
    EXPECT_EQ(npp.destroy(), NPERR_NO_ERROR);
    EXPECT_EQ(window_proc_of(embed_a), embed_proc_a);
}

TEST_F(PluginWindow, NullRecordAndBadHandleAreHarmless) {
    ScopedInstance npp(*this);
    ASSERT_EQ(npp.open(), NPERR_NO_ERROR);
    EXPECT_EQ(funcs.setwindow(npp.get(), nullptr), NPERR_NO_ERROR);
    NPWindow bogus = record_for(reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(funcs.setwindow(npp.get(), &bogus), NPERR_NO_ERROR);
    // A real window after a bogus one is subclassed as usual.
    NPWindow record = record_for(embed_a);
    ASSERT_EQ(funcs.setwindow(npp.get(), &record), NPERR_NO_ERROR);
    expect_reaches(embed_a, "embed-a", "real window after a bogus one");
    EXPECT_EQ(npp.destroy(), NPERR_NO_ERROR);
    EXPECT_EQ(window_proc_of(embed_a), embed_proc_a);
}

TEST_F(PluginWindow, DestroyGivesTheWindowItsProcedureBack) {
    ScopedInstance npp(*this);
    ASSERT_EQ(npp.open(), NPERR_NO_ERROR);
    NPWindow record = record_for(embed_a);
    ASSERT_EQ(funcs.setwindow(npp.get(), &record), NPERR_NO_ERROR);
    WNDPROC installed = window_proc_of(embed_a);
    EXPECT_EQ(npp.destroy(), NPERR_NO_ERROR);
    EXPECT_EQ(window_proc_of(embed_a), embed_proc_a);

    // The plug-in's procedure, called for a window no instance owns, answers as
    // DefWindowProcA would and calls no other procedure.
    SetWindowTextA(embed_b, "hello");
    page_log().clear();
    EXPECT_EQ(CallWindowProcA(installed, embed_b, WM_GETTEXTLENGTH, 0, 0), 5);
    EXPECT_EQ(CallWindowProcA(installed, embed_b, WM_PAGE_SUM, 40, 2), 0);
    EXPECT_TRUE(page_log().empty()) << "expected no window procedure reached";
}

TEST_F(PluginWindow, EachInstanceServesItsOwnWindow) {
    HWND embed_c = make_embed_window(page, 'a', 220, 10, 150, 150);
    ScopedInstance first(*this), second(*this), third(*this);
    ASSERT_EQ(first.open(), NPERR_NO_ERROR);
    ASSERT_EQ(second.open(), NPERR_NO_ERROR);
    ASSERT_EQ(third.open(), NPERR_NO_ERROR);
    NPWindow record_a = record_for(embed_a), record_b = record_for(embed_b),
             record_c = record_for(embed_c);
    ASSERT_EQ(funcs.setwindow(first.get(), &record_a), NPERR_NO_ERROR);
    ASSERT_EQ(funcs.setwindow(second.get(), &record_b), NPERR_NO_ERROR);
    ASSERT_EQ(funcs.setwindow(third.get(), &record_c), NPERR_NO_ERROR);
    expect_reaches(embed_a, "embed-a", "first instance");
    expect_reaches(embed_b, "embed-b", "second instance");
    expect_reaches(embed_c, "embed-a", "third instance");

    // Taking the middle one out of the list keeps the others reachable.
    EXPECT_EQ(second.destroy(), NPERR_NO_ERROR);
    EXPECT_EQ(window_proc_of(embed_b), embed_proc_b);
    expect_reaches(embed_c, "embed-a", "third after the second ended");
    expect_reaches(embed_a, "embed-a", "first after the second ended");

    // So does taking out the head.
    EXPECT_EQ(first.destroy(), NPERR_NO_ERROR);
    expect_reaches(embed_c, "embed-a", "third after the first ended");
    EXPECT_EQ(third.destroy(), NPERR_NO_ERROR);
    EXPECT_EQ(window_proc_of(embed_c), embed_proc_a);
}

TEST_F(PluginWindow, HostDestroysTheWindowBeforeTheInstance) {
    ScopedInstance npp(*this);
    ASSERT_EQ(npp.open(), NPERR_NO_ERROR);
    NPWindow record = record_for(embed_a);
    ASSERT_EQ(funcs.setwindow(npp.get(), &record), NPERR_NO_ERROR);
    page_log().clear();
    ASSERT_TRUE(DestroyWindow(embed_a));
    bool saw_destroy = false, saw_ncdestroy = false;
    for (const PageMessage& m : page_log()) {
        saw_destroy |= m.message == WM_DESTROY && m.via == "embed-a";
        saw_ncdestroy |= m.message == WM_NCDESTROY && m.via == "embed-a";
    }
    EXPECT_TRUE(saw_destroy) << "expected WM_DESTROY to reach the window's own procedure";
    EXPECT_TRUE(saw_ncdestroy) << "expected WM_NCDESTROY to reach the window's own procedure";
    EXPECT_EQ(npp.destroy(), NPERR_NO_ERROR);
}

} // namespace
