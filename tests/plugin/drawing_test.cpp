// The instance area before a movie covers it: where the poster goes, when the status line is
// drawn, and which parts of the window each change invalidates. The plug-in's sources are
// linked in and the library's own resources (poster 4000, strings 5001..5012) are found
// through its module, loaded as a browser loads it.
#include "instance/plugin_instance.h"

#include "support/instance_fixture.h"

#include <winapi/desktop.h>

#include <cstring>
#include <memory>
#include <string>

using namespace plugin_test;

namespace {

const COLORREF White = RGB(255, 255, 255);

// An instance that paints its window the way the window handling does: the update rectangle
// filled white, then Draw. The base WindowProc still passes WM_PAINT on, so this stands in
// for it to show what Draw puts on the screen.
class PaintingInstance : public PluginInstance {
  public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_PAINT) return PluginInstance::WindowProc(hwnd, message, wParam, lParam);
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(hwnd, &paint);
        HBRUSH brush = CreateSolidBrush(White);
        FillRect(dc, &paint.rcPaint, brush);
        DeleteObject(brush);
        Draw(paint.rcPaint);
        EndPaint(hwnd, &paint);
        ++Paints;
        return 0;
    }
    int Paints = 0;
};

std::string describe(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

bool same_rect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void expect_rect(const RECT& actual, const RECT& expected, const char* what) {
    EXPECT_TRUE(same_rect(actual, expected))
        << what << ": expected " << describe(expected) << ", got " << describe(actual);
}

// The window's update rectangle, or the empty rectangle when nothing is invalid.
RECT update_rect_of(HWND hwnd) {
    RECT update{};
    if (!GetUpdateRect(hwnd, &update, FALSE)) update = RECT{};
    return update;
}

class DrawingTest : public InstanceFixture {
  protected:
    void SetUp() override {
        InstanceFixture::SetUp();
        ASSERT_TRUE(m_library.loaded());
        m_previous = AfxGetResourceHandle();
        AfxSetResourceHandle(m_library.module());
        m_poster = LoadBitmapA(m_library.module(), MAKEINTRESOURCEA(4000));
        ASSERT_NE(m_poster, nullptr) << "expected the library to hold bitmap 4000";
        m_poster_dc = CreateCompatibleDC(nullptr);
        m_old_bitmap = SelectObject(m_poster_dc, m_poster);
        m_page = make_page_window(400, 300);
    }

    void TearDown() override {
        SelectObject(m_poster_dc, m_old_bitmap);
        DeleteDC(m_poster_dc);
        DeleteObject(m_poster);
        AfxSetResourceHandle(m_previous);
        InstanceFixture::TearDown();
    }

    std::unique_ptr<PaintingInstance> make(const Attributes& attributes = {}) {
        return make_instance<PaintingInstance>(attributes);
    }

    // An embed window of the page and a window record for it, as a browser makes them.
    HWND make_embed(NPWindow* record, int width, int height) {
        HWND embed = make_embed_window(m_page, 'a', 0, 0, width, height);
        *record = window_record(embed, static_cast<uint32>(width), static_cast<uint32>(height));
        return embed;
    }

    // The poster's own colour at (x, y) of the bitmap.
    COLORREF poster_pixel(int x, int y) const { return GetPixel(m_poster_dc, x, y); }

    // Points of the poster at which to compare: its corners, its middle and a few inside.
    static constexpr POINT PosterPoints[] = {{0, 0},   {121, 0},  {0, 107}, {121, 107},
                                             {61, 57}, {61, 30},  {30, 90}, {100, 20},
                                             {44, 60}, {70, 100}, {5, 6},   {60, 75}};

    // Checks that the poster appears at its own size with its top left corner at `origin`.
    void expect_poster_at(HWND hwnd, POINT origin) {
        for (const POINT& p : PosterPoints) {
            SCOPED_TRACE("poster point (" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")");
            COLORREF expected = poster_pixel(p.x, p.y);
            COLORREF got = winapi::desktop::window_pixel(hwnd, origin.x + p.x, origin.y + p.y);
            EXPECT_EQ(got, expected) << "expected 0x" << std::hex << expected << ", got 0x" << got;
        }
    }

    // Checks that every point in `points` shows the background.
    void expect_background(HWND hwnd, std::initializer_list<POINT> points) {
        for (const POINT& p : points) {
            SCOPED_TRACE("window point (" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")");
            COLORREF got = winapi::desktop::window_pixel(hwnd, p.x, p.y);
            EXPECT_EQ(got, White) << "expected white, got 0x" << std::hex << got;
        }
    }

    // The number of pixels in rows top..bottom-1 of the window that are not white.
    static int ink_in_rows(HWND hwnd, int width, int top, int bottom) {
        int ink = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < width; ++x)
                if (winapi::desktop::window_pixel(hwnd, x, y) != White) ++ink;
        return ink;
    }

    HINSTANCE module() const { return m_library.module(); }

    HWND m_page = nullptr;

  private:
    PluginLibrary m_library;
    HINSTANCE m_previous = nullptr;
    HBITMAP m_poster = nullptr;
    HDC m_poster_dc = nullptr;
    HGDIOBJ m_old_bitmap = nullptr;
};

// ---- Poster placement ---------------------------------------------------------------------

TEST_F(DrawingTest, PosterIsCentredAtItsOwnSizeOrNotShown) {
    const struct {
        int width, height;
        bool shown;
        POINT origin;
    } cases[] = {
        {300, 200, true, {89, 46}}, {123, 109, true, {0, 0}},  {124, 110, true, {1, 1}},
        {125, 111, true, {1, 1}},   {122, 200, false, {0, 0}}, {200, 108, false, {0, 0}},
        {122, 108, false, {0, 0}},  {60, 40, false, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("instance area " + std::to_string(c.width) + " x " + std::to_string(c.height));
        NPWindow record;
        HWND embed = make_embed(&record, c.width, c.height);
        std::unique_ptr<PaintingInstance> instance = make();
        ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
        EXPECT_GE(instance->Paints, 1) << "expected SetWindow to paint at once";
        EXPECT_FALSE(GetUpdateRect(embed, nullptr, FALSE)) << "expected nothing left to paint";
        EXPECT_EQ(instance->Picture.GetSafeHandle() != nullptr, c.shown);
        if (c.shown) {
            RECT expected = {c.origin.x, c.origin.y, c.origin.x + 122, c.origin.y + 108};
            expect_rect(instance->PictureRect, expected, "poster rectangle");
            expect_poster_at(embed, c.origin);
        } else {
            expect_background(embed, {{c.width / 2, c.height / 2}, {0, 0}});
        }
        instance.reset();
        DestroyWindow(embed);
    }
}

TEST_F(DrawingTest, PosterIsNotScaledAndLeavesTheRestToTheBackground) {
    NPWindow record;
    HWND embed = make_embed(&record, 300, 200);
    std::unique_ptr<PaintingInstance> instance = make();
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    expect_poster_at(embed, {89, 46});
    // One pixel beyond each edge of the 122 x 108 poster is the background.
    expect_background(embed, {{88, 46}, {89, 45}, {211, 46}, {89, 154}, {210, 154}, {211, 153}});
    BITMAP info{};
    ASSERT_GT(instance->Picture.GetBitmap(&info), 0);
    EXPECT_EQ(info.bmWidth, 122);
    EXPECT_EQ(info.bmHeight, 108);
}

TEST_F(DrawingTest, PosterIsChosenAgainForEveryNewWindowRecord) {
    NPWindow small_record;
    HWND embed = make_embed(&small_record, 100, 100);
    std::unique_ptr<PaintingInstance> instance = make();
    ASSERT_EQ(instance->SetWindow(&small_record), NPERR_NO_ERROR);
    EXPECT_EQ(instance->Picture.GetSafeHandle(), nullptr) << "expected no poster in 100 x 100";

    // The host grows the window and passes a new record: the poster now fits.
    MoveWindow(embed, 0, 0, 300, 200, TRUE);
    NPWindow large_record = small_record;
    large_record.width = 300;
    large_record.height = 200;
    ASSERT_EQ(instance->SetWindow(&large_record), NPERR_NO_ERROR);
    ASSERT_NE(instance->Picture.GetSafeHandle(), nullptr);
    expect_rect(instance->PictureRect, {89, 46, 211, 154}, "poster rectangle");
    expect_poster_at(embed, {89, 46});

    // And shrinks it again: the poster goes and the whole area is repainted.
    MoveWindow(embed, 0, 0, 150, 100, TRUE);
    NPWindow shrunk_record = small_record;
    shrunk_record.width = 150;
    shrunk_record.height = 100;
    ASSERT_EQ(instance->SetWindow(&shrunk_record), NPERR_NO_ERROR);
    EXPECT_EQ(instance->Picture.GetSafeHandle(), nullptr);
    expect_background(embed, {{75, 50}, {10, 10}, {140, 90}});
    EXPECT_EQ(instance->PictureFirstId, 4000) << "expected the range kept for the next record";
    EXPECT_EQ(instance->PictureLastId, 4000);
}

TEST_F(DrawingTest, NoPictureNeverShowsOrRecordsAPoster) {
    NPWindow record;
    HWND embed = make_embed(&record, 300, 200);
    std::unique_ptr<PaintingInstance> instance = make({{"NOPICTURE", ""}});
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    instance->ShowPicture(4000, 4000, TRUE);
    EXPECT_EQ(instance->Picture.GetSafeHandle(), nullptr);
    EXPECT_EQ(instance->PictureFirstId, -1);
    EXPECT_EQ(instance->PictureLastId, -1);
    expect_background(embed, {{150, 100}, {89, 46}, {200, 150}});
}

TEST_F(DrawingTest, BeforeAWindowRecordOnlyTheRangeIsRecorded) {
    std::unique_ptr<PaintingInstance> instance = make();
    instance->ShowPicture(-1, -1, TRUE);
    instance->ShowPicture(4000, 4000, TRUE);
    EXPECT_EQ(instance->Picture.GetSafeHandle(), nullptr) << "expected nothing loaded yet";
    EXPECT_EQ(instance->PictureFirstId, 4000);
    EXPECT_EQ(instance->PictureLastId, 4000);
    EXPECT_EQ(instance->Paints, 0);

    NPWindow record;
    HWND embed = make_embed(&record, 300, 200);
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    // Painted before SetWindow returns, with no message loop running.
    EXPECT_GE(instance->Paints, 1);
    expect_poster_at(embed, {89, 46});
}

TEST_F(DrawingTest, RangesWithoutAFittingBitmapShowNone) {
    NPWindow record;
    HWND embed = make_embed(&record, 300, 200);
    std::unique_ptr<PaintingInstance> instance = make();
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    const struct {
        short first, last;
        bool shown;
    } cases[] = {
        {-1, -1, false},    {4001, 4005, false}, {4000, 3999, false},
        {3990, 4010, true}, {4000, 4000, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("range " + std::to_string(c.first) + ".." + std::to_string(c.last));
        instance->ShowPicture(c.first, c.last, TRUE);
        EXPECT_EQ(instance->Picture.GetSafeHandle() != nullptr, c.shown);
        EXPECT_EQ(instance->PictureFirstId, c.first);
        EXPECT_EQ(instance->PictureLastId, c.last);
        if (c.shown)
            expect_poster_at(embed, {89, 46});
        else
            expect_background(embed, {{150, 100}, {89, 46}, {210, 153}});
    }
}

// ---- Invalidation -------------------------------------------------------------------------

TEST_F(DrawingTest, EachChangeInvalidatesWhatItChanges) {
    NPWindow record;
    HWND embed = make_embed(&record, 300, 200);
    std::unique_ptr<PaintingInstance> instance = make({{"STATUSMSG", ""}});
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    const RECT poster = {89, 46, 211, 154};
    const RECT strip = {0, 184, 300, 200};
    const RECT whole = {0, 0, 300, 200};
    const RECT none = {0, 0, 0, 0};
    const struct {
        const char* what;
        void (*change)(PluginInstance*);
        RECT expected;
    } steps[] = {
        {"poster placed again", [](PluginInstance* i) { i->ShowPicture(4000, 4000, FALSE); },
         poster},
        {"poster removed", [](PluginInstance* i) { i->ShowPicture(-1, -1, FALSE); }, whole},
        {"no poster placed", [](PluginInstance* i) { i->ShowPicture(-1, -1, FALSE); }, whole},
        {"poster placed", [](PluginInstance* i) { i->ShowPicture(4000, 4000, FALSE); }, poster},
        {"status set", [](PluginInstance* i) { i->ShowStatusMessage(5000, 4, FALSE); }, strip},
        {"status replaced", [](PluginInstance* i) { i->ShowStatusMessage(5000, 1, FALSE); }, strip},
        {"status cleared", [](PluginInstance* i) { i->ShowStatusMessage(-1, -1, FALSE); }, strip},
        {"nothing to clear", [](PluginInstance* i) { i->ShowStatusMessage(-1, -1, FALSE); }, none},
        {"area",
         [](PluginInstance* i) {
             i->InvalidateArea({5, 6, 7, 8});
         },
         {5, 6, 7, 8}},
        {"all", [](PluginInstance* i) { i->InvalidateAll(); }, whole},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        ValidateRect(embed, nullptr);
        int paints = instance->Paints;
        step.change(instance.get());
        expect_rect(update_rect_of(embed), step.expected, "update rectangle");
        EXPECT_EQ(instance->Paints, paints) << "expected no painting without update now";
        if (same_rect(step.expected, none)) continue;
        // Every invalidation asks for the background to be erased: the window's own
        // procedure receives WM_ERASEBKGND when the part is painted.
        page_log().clear();
        UpdateWindow(embed);
        bool erased = false;
        for (const PageMessage& m : page_log())
            erased |= m.message == WM_ERASEBKGND;
        EXPECT_TRUE(erased) << "expected WM_ERASEBKGND, got none";
    }
}

TEST_F(DrawingTest, UpdateNowPaintsPendingPartsAtOnce) {
    NPWindow record;
    HWND embed = make_embed(&record, 300, 200);
    std::unique_ptr<PaintingInstance> instance = make();
    instance->UpdateNow(); // no window yet: nothing to do
    instance->InvalidateArea({0, 0, 10, 10});
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    instance->InvalidateArea({0, 0, 10, 10});
    int paints = instance->Paints;
    instance->UpdateNow();
    EXPECT_EQ(instance->Paints, paints + 1);
    EXPECT_FALSE(GetUpdateRect(embed, nullptr, FALSE));
    instance->UpdateNow();
    EXPECT_EQ(instance->Paints, paints + 1) << "expected no paint with nothing invalid";
}

// ---- Status line --------------------------------------------------------------------------

TEST_F(DrawingTest, StatusLineOnlyWithStatusMsg) {
    NPWindow record;
    HWND embed = make_embed(&record, 300, 200);
    std::unique_ptr<PaintingInstance> instance = make();
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    ValidateRect(embed, nullptr);
    RECT before = instance->StatusRect;
    instance->ShowStatusMessage(5000, 4, TRUE);
    EXPECT_EQ(instance->StatusText, nullptr) << "expected no text without STATUSMSG";
    expect_rect(instance->StatusRect, before, "status rectangle");
    EXPECT_FALSE(GetUpdateRect(embed, nullptr, FALSE)) << "expected nothing invalidated";
    EXPECT_EQ(ink_in_rows(embed, 300, 184, 200), 0) << "expected an empty bottom strip";
}

TEST_F(DrawingTest, StatusLineBeforeAWindowRecordChangesNothing) {
    std::unique_ptr<PaintingInstance> instance = make({{"STATUSMSG", ""}});
    instance->ShowStatusMessage(5000, 4, TRUE);
    EXPECT_EQ(instance->StatusText, nullptr);
}

TEST_F(DrawingTest, StatusLineIsDrawnInTheBottomStrip) {
    NPWindow record;
    HWND embed = make_embed(&record, 300, 200);
    std::unique_ptr<PaintingInstance> instance = make({{"STATUSMSG", ""}});
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    instance->ShowStatusMessage(5000, 4, TRUE);
    ASSERT_NE(instance->StatusText, nullptr);
    expect_rect(instance->StatusRect, {0, 184, 300, 200}, "status rectangle");
    EXPECT_GT(ink_in_rows(embed, 300, 184, 200), 0) << "expected text in the bottom strip";
    EXPECT_EQ(ink_in_rows(embed, 300, 155, 184), 0) << "expected nothing above the strip";
    expect_poster_at(embed, {89, 46});

    // Clearing the line erases it.
    instance->ShowStatusMessage(-1, -1, TRUE);
    EXPECT_EQ(instance->StatusText, nullptr);
    EXPECT_EQ(ink_in_rows(embed, 300, 184, 200), 0) << "expected the strip erased";
}

TEST_F(DrawingTest, EveryStatusMessageIsShown) {
    NPWindow record;
    HWND embed = make_embed(&record, 400, 60);
    std::unique_ptr<PaintingInstance> instance = make({{"STATUSMSG", ""}});
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    for (short offset = 1; offset <= 12; ++offset) {
        SCOPED_TRACE("string " + std::to_string(5000 + offset));
        char expected[256] = "";
        ASSERT_GT(LoadStringA(module(), 5000 + offset, expected, sizeof expected), 0);
        instance->ShowStatusMessage(5000, offset, TRUE);
        ASSERT_NE(instance->StatusText, nullptr);
        EXPECT_STREQ(instance->StatusText, expected);
        EXPECT_GT(ink_in_rows(embed, 400, 44, 60), 0) << "expected the text drawn";
        EXPECT_EQ(ink_in_rows(embed, 400, 0, 44), 0) << "expected nothing above the strip";
    }
    // An offset without a string clears the line.
    instance->ShowStatusMessage(5000, 999, TRUE);
    EXPECT_EQ(instance->StatusText, nullptr);
    EXPECT_EQ(ink_in_rows(embed, 400, 0, 60), 0) << "expected the whole area empty";
}

TEST_F(DrawingTest, StatusLineIsDrawnOverThePoster) {
    NPWindow record;
    HWND embed = make_embed(&record, 300, 120);
    std::unique_ptr<PaintingInstance> instance = make({{"STATUSMSG", ""}});
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    ASSERT_NE(instance->Picture.GetSafeHandle(), nullptr);
    expect_rect(instance->PictureRect, {89, 6, 211, 114}, "poster rectangle");
    // The longest message reaches well into the poster.
    instance->ShowStatusMessage(5000, 3, TRUE);
    ASSERT_NE(instance->StatusText, nullptr);
    int covered = 0;
    for (int y = 104; y < 114; ++y)
        for (int x = 89; x < 211; ++x)
            if (winapi::desktop::window_pixel(embed, x, y) != poster_pixel(x - 89, y - 6))
                ++covered;
    EXPECT_GT(covered, 0) << "expected the status line over the bottom of the poster";
    // Above the strip the poster is untouched.
    for (int y = 6; y < 104; y += 7)
        for (int x = 89; x < 211; x += 11) {
            SCOPED_TRACE("window point (" + std::to_string(x) + ", " + std::to_string(y) + ")");
            EXPECT_EQ(winapi::desktop::window_pixel(embed, x, y), poster_pixel(x - 89, y - 6));
        }
}

TEST_F(DrawingTest, StatusTextWithoutMemoryStillInvalidatesTheStrip) {
    NPWindow record;
    HWND embed = make_embed(&record, 300, 200);
    std::unique_ptr<PaintingInstance> instance = make({{"STATUSMSG", ""}});
    ASSERT_EQ(instance->SetWindow(&record), NPERR_NO_ERROR);
    ValidateRect(embed, nullptr);
    host().fail_allocation(1);
    instance->ShowStatusMessage(5000, 4, FALSE);
    EXPECT_EQ(instance->StatusText, nullptr);
    expect_rect(update_rect_of(embed), {0, 184, 300, 200}, "update rectangle");
}

// ---- Drawing utilities --------------------------------------------------------------------

TEST_F(DrawingTest, CenterRectCentresAndClips) {
    const struct {
        RECT rect, bounds, expected;
    } cases[] = {
        {{0, 0, 122, 108}, {0, 0, 300, 200}, {89, 46, 211, 154}},
        {{10, 20, 132, 128}, {0, 0, 300, 200}, {89, 46, 211, 154}},
        {{0, 0, 122, 108}, {0, 0, 123, 109}, {0, 0, 122, 108}},
        {{0, 0, 10, 10}, {0, 0, 15, 15}, {2, 2, 12, 12}},
        {{0, 0, 500, 50}, {0, 0, 300, 200}, {0, 75, 300, 125}},
        {{0, 0, 50, 500}, {0, 0, 300, 200}, {125, 0, 175, 200}},
        {{0, 0, 122, 108}, {50, 50, 350, 250}, {89, 46, 211, 154}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("rectangle " + describe(c.rect) + " in " + describe(c.bounds));
        RECT rect = c.rect;
        PluginInstance::CenterRect(&rect, c.bounds);
        expect_rect(rect, c.expected, "centred rectangle");
    }
}

// A 2 x 2 bitmap of four colours.
HBITMAP make_quad_bitmap(HDC reference) {
    HBITMAP bitmap = CreateCompatibleBitmap(reference, 2, 2);
    HDC dc = CreateCompatibleDC(reference);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SetPixel(dc, 0, 0, RGB(255, 0, 0));
    SetPixel(dc, 1, 0, RGB(0, 255, 0));
    SetPixel(dc, 0, 1, RGB(0, 0, 255));
    SetPixel(dc, 1, 1, RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

TEST_F(DrawingTest, StretchBitmapFillsTheDeviceRectangleInAnyMappingMode) {
    NPWindow record;
    HWND embed = make_embed(&record, 40, 40);
    ValidateRect(embed, nullptr);
    const int modes[] = {MM_TEXT, MM_LOMETRIC, MM_TWIPS};
    for (int mode : modes) {
        SCOPED_TRACE("mapping mode " + std::to_string(mode));
        HDC dc = GetDC(embed);
        ASSERT_NE(dc, nullptr);
        RECT all = {0, 0, 40, 40};
        HBRUSH white = CreateSolidBrush(White);
        FillRect(dc, &all, white);
        DeleteObject(white);
        HBITMAP bitmap = make_quad_bitmap(dc);
        SetMapMode(dc, mode);
        // The destination is in device pixels whatever the mode: 2 x 2 doubled to 4 x 4.
        PluginInstance::StretchBitmap(dc, bitmap, {10, 10, 14, 14}, SRCCOPY);
        ReleaseDC(embed, dc);
        DeleteObject(bitmap);
        const struct {
            int x, y;
            COLORREF colour;
        } pixels[] = {{10, 10, RGB(255, 0, 0)}, {11, 11, RGB(255, 0, 0)}, {12, 10, RGB(0, 255, 0)},
                      {13, 11, RGB(0, 255, 0)}, {10, 12, RGB(0, 0, 255)}, {11, 13, RGB(0, 0, 255)},
                      {12, 12, RGB(0, 0, 0)},   {13, 13, RGB(0, 0, 0)},   {9, 10, White},
                      {14, 10, White},          {10, 9, White},           {10, 14, White}};
        for (const auto& p : pixels) {
            SCOPED_TRACE("pixel (" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")");
            COLORREF got = winapi::desktop::window_pixel(embed, p.x, p.y);
            EXPECT_EQ(got, p.colour) << "expected 0x" << std::hex << p.colour << ", got 0x" << got;
        }
    }
}

} // namespace
