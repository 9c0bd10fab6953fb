// The plug-in's resources as the Win32 layer reads them from the built library: the texts,
// the context menu, the preferences dialog template, the poster, the link cursor and the
// version information the browser reads before it loads the library. Resource numbers are
// written out here rather than taken from the plug-in's header, so that a wrong number there
// is caught.
#include <windows.h>
#include <winapi/desktop.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

class PluginResourcesTest : public testing::Test {
  protected:
    void SetUp() override {
        m_module = LoadLibraryA(LXTEST_PLUGIN_PATH);
        ASSERT_NE(m_module, nullptr) << "error " << GetLastError();
    }
    void TearDown() override {
        if (m_module) {
            EXPECT_TRUE(FreeLibrary(m_module));
        }
    }

    // The resource's bytes, or an empty vector when the library lacks it.
    std::vector<uint8_t> raw_resource(WORD id, LPCSTR type) const {
        HRSRC info = FindResourceA(m_module, MAKEINTRESOURCEA(id), type);
        if (!info) return {};
        const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(m_module, info)));
        if (!data) return {};
        return std::vector<uint8_t>(data, data + SizeofResource(m_module, info));
    }

    HMODULE m_module = nullptr;
};

// ---------------------------------------------------------------------------------------------
// String tables

using PluginResourcesStrings = PluginResourcesTest;

struct StringCase {
    UINT id;
    const char* text;
};

const StringCase kStrings[] = {
    {4005, "http://www.lanternix.com/lanternix/plugins/about/"},
    {4006, "Pause this Movie"},
    {4007, "Play this Movie"},
    {4010, "http://www.lanternix.com/lanternix/plugins/guide/"},
    {4012, "Can not load the plug-in because Quicktime is not installed."},
    {5001, "Examining movie..."},
    {5002, "Could not create movie file."},
    {5003, "Downloading (Non streamable or VR)..."},
    {5004, "Streaming movie..."},
    {5005, "Invalid movie file."},
    {5006, "QTVR error. Can't display VR Movies."},
    {5007, "Bad QuickTime"},
    {5008, "Bad Quicktime Conferencing."},
    {5009, "Connecting..."},
    {5010, "Incomplete stream."},
    {5011, "Call failed."},
    {5012, "Lanternix Error: Out of disk space."},
    {6001, "Play this Movie"},
    {6002, "Open this Movie"},
    {6003, "Save this Movie as..."},
    {6006, "Copy this Movie Frame"},
    {6007, "Copy this Movie Location"},
    {6021, "Copy this Link Location"},
    {6022, "New Window with this Link"},
    {6023, "Open this Link"},
};

TEST_F(PluginResourcesStrings, EveryTextIsExact) {
    for (const StringCase& c : kStrings) {
        SCOPED_TRACE("string " + std::to_string(c.id));
        char buffer[256];
        std::memset(buffer, 'x', sizeof buffer);
        int length = LoadStringA(m_module, c.id, buffer, sizeof buffer);
        EXPECT_EQ(length, static_cast<int>(std::strlen(c.text)))
            << "expected \"" << c.text << "\", got \"" << buffer << "\"";
        EXPECT_STREQ(buffer, c.text);
    }
}

// The plug-in loads texts as a base plus an offset and treats a missing text as nothing to
// show, so the numbers around the used ones must stay empty.
TEST_F(PluginResourcesStrings, UnusedNumbersHaveNoText) {
    const UINT unused[] = {4000, 4001, 4002, 4003, 4004, 4008, 4009, 4011, 4013, 5000,
                           5013, 6000, 6004, 6005, 6008, 6010, 6015, 6020, 6024};
    for (UINT id : unused) {
        SCOPED_TRACE("string " + std::to_string(id));
        char buffer[64] = "untouched";
        EXPECT_EQ(LoadStringA(m_module, id, buffer, sizeof buffer), 0);
        EXPECT_STREQ(buffer, "") << "a missing string leaves an empty buffer";
    }
}

// ---------------------------------------------------------------------------------------------
// Menu 4000

using PluginResourcesMenu = PluginResourcesTest;

std::string menu_text(HMENU menu, int position) {
    char text[128] = "";
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST_F(PluginResourcesMenu, OnePopupTitledLanternix) {
    HMENU menu = LoadMenuA(m_module, MAKEINTRESOURCEA(4000));
    ASSERT_NE(menu, nullptr) << "error " << GetLastError();
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    EXPECT_EQ(menu_text(menu, 0), "Lanternix");
    EXPECT_NE(GetSubMenu(menu, 0), nullptr) << "the item opens no pop-up";
    EXPECT_TRUE(DestroyMenu(menu));
}

TEST_F(PluginResourcesMenu, PopupHoldsTheThreeCommandsInOrder) {
    HMENU menu = LoadMenuA(m_module, MAKEINTRESOURCEA(4000));
    ASSERT_NE(menu, nullptr) << "error " << GetLastError();
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    struct Item {
        const char* text;
        UINT id;
    } expected[] = {{"Preferences", 3}, {"QuickTime Guide", 2}, {"About Lanternix(tm) Plug-in", 1}};
    ASSERT_EQ(GetMenuItemCount(popup), 3);
    for (int position = 0; position < 3; ++position) {
        SCOPED_TRACE("position " + std::to_string(position));
        EXPECT_EQ(menu_text(popup, position), expected[position].text);
        EXPECT_EQ(GetMenuItemID(popup, position), expected[position].id);
        UINT state = GetMenuState(popup, static_cast<UINT>(position), MF_BYPOSITION);
        EXPECT_EQ(state & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP), 0u)
            << "expected a plain enabled command, got state " << state;
    }
    EXPECT_TRUE(DestroyMenu(menu));
}

// ---------------------------------------------------------------------------------------------
// Dialog 4002

// Reads a dialog template (the standard DLGTEMPLATE form) within its bounds; any read past
// the end clears ok() and yields zeros.
class TemplateReader {
  public:
    explicit TemplateReader(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}

    bool ok() const { return m_ok; }

    uint16_t word() {
        if (m_position + 2 > m_bytes.size()) return fail();
        uint16_t value = static_cast<uint16_t>(m_bytes[m_position] | m_bytes[m_position + 1] << 8);
        m_position += 2;
        return value;
    }
    uint32_t dword() {
        uint32_t low = word();
        return low | static_cast<uint32_t>(word()) << 16;
    }
    int16_t coordinate() { return static_cast<int16_t>(word()); }

    // A zero-terminated UTF-16 text, kept as ASCII (every text in these templates is).
    std::string text() {
        std::string out;
        for (uint16_t c = word(); m_ok && c != 0; c = word())
            out += c < 0x80 ? static_cast<char>(c) : '?';
        return out;
    }

    // A text, or 0xFFFF followed by a number, written "#number".
    std::string text_or_ordinal() {
        if (m_position + 2 <= m_bytes.size() && m_bytes[m_position] == 0xff &&
            m_bytes[m_position + 1] == 0xff) {
            word();
            return "#" + std::to_string(word());
        }
        return text();
    }

    // Items start on 4-byte boundaries of the template.
    void align() { m_position = (m_position + 3) / 4 * 4; }

    void skip(size_t count) {
        if (m_position + count > m_bytes.size())
            fail();
        else
            m_position += count;
    }

  private:
    uint16_t fail() {
        m_ok = false;
        m_position = m_bytes.size();
        return 0;
    }

    const std::vector<uint8_t>& m_bytes;
    size_t m_position = 0;
    bool m_ok = true;
};

struct DialogControl {
    DWORD style;
    uint16_t id;
    int x, y, width, height;
    std::string window_class; // "Button", "Edit", "Static" for the atoms of those classes
    std::string text;
};

struct DialogTemplate {
    DWORD style = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string menu, window_class, title, font;
    uint16_t point_size = 0;
    std::vector<DialogControl> controls;
};

// The predefined classes are stored as atoms, as resource compilers write them; a class
// stored by name keeps its name (and then fails the comparison).
std::string class_name(const std::string& name) {
    if (name == "#128") return "Button";
    if (name == "#129") return "Edit";
    if (name == "#130") return "Static";
    return name;
}

DialogControl read_control(TemplateReader& reader) {
    reader.align();
    DialogControl control{};
    control.style = reader.dword();
    reader.dword(); // extended style
    control.x = reader.coordinate();
    control.y = reader.coordinate();
    control.width = reader.coordinate();
    control.height = reader.coordinate();
    control.id = reader.word();
    control.window_class = class_name(reader.text_or_ordinal());
    control.text = reader.text_or_ordinal();
    reader.skip(reader.word()); // creation data
    return control;
}

std::optional<DialogTemplate> parse_dialog(const std::vector<uint8_t>& bytes) {
    TemplateReader reader(bytes);
    DialogTemplate dialog;
    dialog.style = reader.dword();
    reader.dword(); // extended style
    const int count = reader.word();
    dialog.x = reader.coordinate();
    dialog.y = reader.coordinate();
    dialog.width = reader.coordinate();
    dialog.height = reader.coordinate();
    dialog.menu = reader.text_or_ordinal();
    dialog.window_class = reader.text_or_ordinal();
    dialog.title = reader.text();
    if (dialog.style & DS_SETFONT) {
        dialog.point_size = reader.word();
        dialog.font = reader.text();
    }
    for (int i = 0; i < count && reader.ok(); ++i)
        dialog.controls.push_back(read_control(reader));
    if (!reader.ok()) return std::nullopt;
    return dialog;
}

using PluginResourcesDialog = PluginResourcesTest;

TEST_F(PluginResourcesDialog, TemplateHeader) {
    std::vector<uint8_t> bytes = raw_resource(4002, RT_DIALOG);
    ASSERT_FALSE(bytes.empty()) << "no dialog 4002";
    ASSERT_NE(bytes[2] | bytes[3] << 8, 0xffff)
        << "expected a standard template, got an extended one";
    std::optional<DialogTemplate> dialog = parse_dialog(bytes);
    ASSERT_TRUE(dialog) << "the template ends before its last control";
    const DWORD frame = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
    EXPECT_EQ(dialog->style & frame, frame) << "style " << std::hex << dialog->style;
    EXPECT_EQ(dialog->style & (WS_THICKFRAME | WS_CHILD), 0u)
        << "style " << std::hex << dialog->style;
    EXPECT_EQ(dialog->width, 199);
    EXPECT_EQ(dialog->height, 170);
    EXPECT_EQ(dialog->menu, "") << "expected no menu";
    EXPECT_EQ(dialog->window_class, "") << "expected the standard dialog class";
    EXPECT_EQ(dialog->title, "Lanternix Plug-in Preferences");
    EXPECT_EQ(dialog->point_size, 8);
    EXPECT_EQ(dialog->font, "MS Sans Serif");
    EXPECT_EQ(dialog->controls.size(), 15u);
}

// The controls in template order, which is also the tab order.
TEST_F(PluginResourcesDialog, ControlsInTabOrder) {
    constexpr uint16_t kNone = 0xffff;
    constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
    constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    constexpr DWORD kFrame = BS_GROUPBOX | WS_DISABLED;
    const DialogControl expected[] = {
        {kCheck, 1006, 10, 9, 137, 8, "Button", "Start playing movies sooner"},
        {kCheck, 1001, 10, 21, 93, 8, "Button", "Stop looping movies after"},
        {kEdit, 1002, 105, 18, 18, 12, "Edit", ""},
        {kCheck, 1003, 10, 33, 137, 8, "Button", "Pause movies in the background"},
        {kFrame, kNone, 3, 68, 193, 30, "Button", ""},
        {kCheck, 1000, 10, 69, 95, 10, "Button", "View movies using helper"},
        {kEdit, 1008, 8, 80, 165, 12, "Edit", ""},
        {BS_PUSHBUTTON | WS_TABSTOP, 1007, 177, 80, 11, 12, "Button", "..."},
        {kFrame, kNone, 3, 100, 194, 30, "Button", ""},
        {kCheck, 1004, 10, 100, 115, 8, "Button", "Keep a copy of movies in folder"},
        {kEdit, 1005, 8, 112, 181, 12, "Edit", ""},
        {BS_PUSHBUTTON | WS_TABSTOP, 2, 60, 146, 50, 14, "Button", "Cancel"},
        {BS_DEFPUSHBUTTON | WS_TABSTOP, 1, 130, 146, 50, 14, "Button", "OK"},
        {BS_GROUPBOX, kNone, 3, 0, 194, 65, "Button", "Options"},
        {SS_LEFT | WS_GROUP, kNone, 127, 21, 17, 8, "Static", "loops"},
    };
    std::optional<DialogTemplate> dialog = parse_dialog(raw_resource(4002, RT_DIALOG));
    ASSERT_TRUE(dialog);
    ASSERT_EQ(dialog->controls.size(), std::size(expected));
    // The bits compared: the control's kind, border, tab stop, group and enabling. Every
    // control is a visible child.
    const DWORD kinds = 0xff | WS_BORDER | WS_TABSTOP | WS_DISABLED | WS_GROUP;
    for (size_t i = 0; i < std::size(expected); ++i) {
        const DialogControl& want = expected[i];
        const DialogControl& got = dialog->controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", \"" + want.text + "\"");
        EXPECT_EQ(got.id, want.id) << "expected id " << want.id << ", got " << got.id;
        EXPECT_EQ(got.window_class, want.window_class);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.width, want.width);
        EXPECT_EQ(got.height, want.height);
        EXPECT_EQ(got.style & kinds, want.style)
            << "expected style " << std::hex << want.style << ", got " << (got.style & kinds);
        EXPECT_EQ(got.style & (WS_CHILD | WS_VISIBLE), DWORD(WS_CHILD | WS_VISIBLE));
    }
}

// ---------------------------------------------------------------------------------------------
// Bitmap 4000, the poster

using PluginResourcesBitmap = PluginResourcesTest;

TEST_F(PluginResourcesBitmap, PosterIs122By108) {
    HBITMAP poster = LoadBitmapA(m_module, MAKEINTRESOURCEA(4000));
    ASSERT_NE(poster, nullptr) << "error " << GetLastError();
    BITMAP info{};
    ASSERT_EQ(GetObjectA(poster, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 122);
    EXPECT_EQ(info.bmHeight, 108);
    EXPECT_TRUE(DeleteObject(poster));
}

// The resource as stored: the poster as a device-independent bitmap with its palette.
struct StoredPoster {
    BITMAPINFOHEADER header{};
    std::vector<RGBQUAD> palette;
    std::vector<uint8_t> bits; // rows bottom-up, padded to 4 bytes

    // The palette colour of pixel (x, y), y counted from the top.
    COLORREF colour(int x, int y) const {
        const size_t stride = (static_cast<size_t>(header.biWidth) + 3) / 4 * 4;
        const RGBQUAD entry = palette.at(bits.at((header.biHeight - 1 - y) * stride + x));
        return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
    }
};

std::optional<StoredPoster> read_stored_poster(const std::vector<uint8_t>& bytes) {
    StoredPoster poster;
    if (bytes.size() < sizeof poster.header) return std::nullopt;
    std::memcpy(&poster.header, bytes.data(), sizeof poster.header);
    const BITMAPINFOHEADER& h = poster.header;
    if (h.biSize != sizeof h || h.biBitCount != 8 || h.biWidth <= 0 || h.biHeight <= 0)
        return std::nullopt;
    const size_t entries = h.biClrUsed ? h.biClrUsed : 256;
    const size_t stride = (static_cast<size_t>(h.biWidth) + 3) / 4 * 4;
    const size_t bits_offset = sizeof h + entries * sizeof(RGBQUAD);
    if (entries > 256 || bytes.size() < bits_offset + stride * h.biHeight) return std::nullopt;
    poster.palette.resize(entries);
    std::memcpy(poster.palette.data(), bytes.data() + sizeof h, entries * sizeof(RGBQUAD));
    poster.bits.assign(bytes.begin() + static_cast<std::ptrdiff_t>(bits_offset), bytes.end());
    return poster;
}

TEST_F(PluginResourcesBitmap, StoredAs256ColoursWithAPalette) {
    std::vector<uint8_t> bytes = raw_resource(4000, RT_BITMAP);
    ASSERT_FALSE(bytes.empty()) << "no bitmap 4000";
    BITMAPINFOHEADER header;
    ASSERT_GE(bytes.size(), sizeof header);
    std::memcpy(&header, bytes.data(), sizeof header);
    EXPECT_EQ(header.biSize, sizeof header);
    EXPECT_EQ(header.biWidth, 122);
    EXPECT_EQ(header.biHeight, 108) << "expected rows stored bottom-up";
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(header.biCompression, DWORD(BI_RGB));
    EXPECT_TRUE(header.biClrUsed == 0 || header.biClrUsed == 256)
        << "expected a palette of 256 colours, got " << header.biClrUsed;
    EXPECT_EQ(bytes.size(), sizeof header + 256 * sizeof(RGBQUAD) + 124 * 108);

    std::optional<StoredPoster> poster = read_stored_poster(bytes);
    ASSERT_TRUE(poster);
    std::set<uint8_t> used(poster->bits.begin(), poster->bits.end());
    EXPECT_GT(used.size(), 128u) << "a picture of 256 colours uses many of them";
}

// What LoadBitmapA made of the poster matches the stored colours, and the picture is the
// right way up: the lantern's glass glows, the play triangle is dark red, the film strips
// are dark with light sprocket holes, the sky is bluer at the top than at the bottom.
TEST_F(PluginResourcesBitmap, LoadedPixelsMatchThePicture) {
    std::optional<StoredPoster> stored = read_stored_poster(raw_resource(4000, RT_BITMAP));
    ASSERT_TRUE(stored);
    HBITMAP poster = LoadBitmapA(m_module, MAKEINTRESOURCEA(4000));
    ASSERT_NE(poster, nullptr) << "error " << GetLastError();
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HGDIOBJ previous = SelectObject(dc, poster);

    struct Point {
        int x, y;
        const char* what;
    } points[] = {{50, 45, "glass"},       {60, 57, "play triangle"}, {1, 1, "film strip"},
                  {7, 6, "sprocket hole"}, {10, 20, "sky, top"},      {10, 88, "sky, bottom"},
                  {121, 107, "last pixel"}};
    for (const Point& p : points) {
        SCOPED_TRACE(std::string(p.what) + " at (" + std::to_string(p.x) + ", " +
                     std::to_string(p.y) + ")");
        EXPECT_EQ(GetPixel(dc, p.x, p.y), stored->colour(p.x, p.y));
    }
    COLORREF glass = GetPixel(dc, 50, 45), triangle = GetPixel(dc, 60, 57);
    EXPECT_GT(GetRValue(glass), 200) << "the glass is not lit";
    EXPECT_GT(GetGValue(glass), 150);
    EXPECT_GT(GetRValue(triangle), 2 * GetGValue(triangle)) << "the triangle is not red";
    EXPECT_LT(GetRValue(triangle), 160) << "the triangle is not dark";
    EXPECT_LT(GetRValue(GetPixel(dc, 1, 1)), 40) << "the film strip is not dark";
    EXPECT_GT(GetRValue(GetPixel(dc, 7, 6)), 180) << "the sprocket hole is not light";
    COLORREF sky_top = GetPixel(dc, 10, 20), sky_bottom = GetPixel(dc, 10, 88);
    EXPECT_GT(GetBValue(sky_top), GetBValue(sky_bottom) + 20) << "the picture is upside down";

    SelectObject(dc, previous);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(poster));
}

// ---------------------------------------------------------------------------------------------
// Cursor 128, the link cursor

using PluginResourcesCursor = PluginResourcesTest;

std::string argb(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", value);
    return text;
}

TEST_F(PluginResourcesCursor, PointingHandWithTheHotSpotAtTheFingertip) {
    HCURSOR handle = LoadCursorA(m_module, MAKEINTRESOURCEA(128));
    ASSERT_NE(handle, nullptr) << "error " << GetLastError();
    winapi::desktop::CursorImage image;
    ASSERT_TRUE(winapi::desktop::cursor_image(handle, &image));
    const winapi::desktop::CursorImage* cursor = &image;
    ASSERT_EQ(cursor->width, 32);
    ASSERT_EQ(cursor->height, 32);
    EXPECT_EQ(cursor->hot_spot.x, 13);
    EXPECT_EQ(cursor->hot_spot.y, 9);

    // The fingertip: the black outline at the hot spot is the highest opaque pixel, with
    // the white finger right below it.
    EXPECT_EQ(argb(cursor->pixel(13, 9)), "0xff000000");
    EXPECT_EQ(argb(cursor->pixel(13, 10)), "0xffffffff");
    EXPECT_EQ(argb(cursor->pixel(12, 10)), "0xff000000") << "the finger's outline";
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (cursor->pixel(x, y) >> 24 != 0) {
                ADD_FAILURE() << "expected nothing above the fingertip, got "
                              << argb(cursor->pixel(x, y)) << " at (" << x << ", " << y << ")";
            }
        }
    }
    // Only black and white, each fully opaque, or fully transparent.
    int white = 0;
    for (uint32_t pixel : cursor->pixels) {
        if (pixel == 0xffffffff) ++white;
        if (pixel != 0xff000000 && pixel != 0xffffffff && pixel >> 24 != 0)
            ADD_FAILURE() << "expected black, white or transparent, got " << argb(pixel);
    }
    EXPECT_GT(white, 150) << "the hand is white inside its outline";
}

// ---------------------------------------------------------------------------------------------
// Version information, as the browser reads it from the file before loading the library

std::vector<uint8_t> version_block(const char* path) {
    DWORD handle = 0xdead;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    EXPECT_NE(size, 0u) << "error " << GetLastError();
    std::vector<uint8_t> block(size);
    if (size && !GetFileVersionInfoA(path, 0, size, block.data())) {
        ADD_FAILURE() << "error " << GetLastError();
        block.clear();
    }
    return block;
}

TEST(PluginResourcesVersion, StringsAreExact) {
    HMODULE loaded_before = GetModuleHandleA(LXTEST_PLUGIN_PATH);
    std::vector<uint8_t> block = version_block(LXTEST_PLUGIN_PATH);
    ASSERT_FALSE(block.empty());
    EXPECT_EQ(GetModuleHandleA(LXTEST_PLUGIN_PATH), loaded_before)
        << "reading the version information loaded the library";
    struct Case {
        const char* name;
        const char* value;
    } cases[] = {
        {"MIMEType", "video/quicktime|application/x-qtc-broadcast|application/x-qtc"},
        {"FileExtents", "mov|qtb|qtv|qtc"},
        {"FileOpenName", "QuickTime Movie (*.mov)|Lanternix server card (*.qtb)|"
                         "Lanternix server card (*.qtv)|QTC calling card (*.qtc)"},
        {"FileDescription", "Lanternix Movie Plug-in file"},
        {"InternalName", "Lanternix Movie Plug-in"},
        {"ProductName", "Lanternix Movie Plug-in"},
        {"LegalTrademarks", "Lanternix"},
        {"OriginalFilename", "NPLant32.dll"},
        {"FileVersion", "1.0"},
        {"ProductVersion", "1.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = std::string("\\StringFileInfo\\040904e4\\") + c.name;
        void* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), path.c_str(), &value, &length))
            << "expected \"" << c.value << "\", got nothing";
        EXPECT_STREQ(static_cast<const char*>(value), c.value);
        EXPECT_EQ(length, std::strlen(c.value) + 1) << "characters, with the terminating zero";
    }
}

TEST(PluginResourcesVersion, FixedPartAndTranslation) {
    std::vector<uint8_t> block = version_block(LXTEST_PLUGIN_PATH);
    ASSERT_FALSE(block.empty());
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u) << "expected file version 1.0.0.0";
    EXPECT_EQ(fixed.dwFileVersionLS, 0u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u) << "expected product version 1.0.0.0";
    EXPECT_EQ(fixed.dwProductVersionLS, 0u);
    EXPECT_EQ(fixed.dwFileType, DWORD(VFT_DLL));
    EXPECT_EQ(fixed.dwFileFlags & fixed.dwFileFlagsMask, 0u) << "no debug or pre-release flags";

    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u) << "expected one language and code page pair";
    WORD pair[2];
    std::memcpy(pair, value, sizeof pair);
    EXPECT_EQ(pair[0], 0x0409);
    EXPECT_EQ(pair[1], 1252);
}

} // namespace
