// One page with one embedded movie, as a browser shows it: the instance gets its window and
// shows the poster, the movie arrives as a stream in blocks and its first frame appears, the
// user copies the movie's address from the context menu, and the page and then the browser
// go away.
#include "check.h"
#include "host_cases.h"
#include "host_services.h"
#include "page_window.h"
#include "plugin_module.h"
#include "ui_watcher.h"
#include "user_actions.h"
#include "windows_files.h"

#include <algorithm>
#include <cstring>

namespace winhost {

namespace {

// The embed's size on the page, and where it is.
const int EmbedLeft = 20, EmbedTop = 20, EmbedWidth = 320, EmbedHeight = 240;
// The poster bitmap resource and its size.
const int PosterId = 4000, PosterWidth = 122, PosterHeight = 108;
// The movie controller's bar along the bottom of the instance area.
const int ControllerBarHeight = 18;
// The bar's face colour.
const COLORREF BarFace = RGB(200, 200, 200);
// The one-pixel frame around an instance area that shows the poster: the stock dark grey.
const COLORREF FrameColour = RGB(64, 64, 64);
const COLORREF PageWhite = RGB(255, 255, 255);
// Blocks as a network delivers them, with a pause between them.
const int BlockSize = 4096;
const DWORD BlockPause = 30;
// The engine decodes and converts the picture itself; rounding in its colour conversion may
// differ from the reference decode's, which costs a few decibels at most, while a wrong
// frame, a shifted picture or a wrongly scaled one stays below 20 dB.
const double MinimumPsnr = 30.0;
const DWORD FrameDeadline = 30000;

// The copied address reaches the clipboard when the window handles the menu's command.
const DWORD CommandDeadline = 5000;
// Long enough for a few dozen frames of the movie, well short of its end.
const DWORD PlayingTime = 1500;
// Below this the picture is another frame than the first (see MinimumPsnr).
const double MovedPsnr = 25.0;

const char StreamUrl[] = "http://movies.lanternix.test/clips/testsrc.mov";
const char CopyLocationItem[] = "Copy this Movie Location";

struct Session {
    HostOptions options;
    PluginModule plugin;
    NPNetscapeFuncs host_table = {};
    NPPluginFuncs table = {};
    PageWindows windows;
    NPP_t instance = {};
    NPWindow window_record = {};
    NPStream stream = {};
    std::vector<uint8_t> movie;
    std::vector<std::string> cache_files_before;
    std::string cache_file;
    Picture reference;           // the movie's first frame, decoded by the reference decoder
    size_t frame_seen_after = 0; // bytes sent when the first frame was first on the screen
    bool started = false;
    bool has_instance = false;
};

Session g;

// Where the plug-in places the poster: centred, each offset rounded down.
RECT poster_rect() {
    int left = (EmbedWidth - PosterWidth) / 2, top = (EmbedHeight - PosterHeight) / 2;
    return RECT{left, top, left + PosterWidth, top + PosterHeight};
}

// Where the movie appears: at its natural size, centred in the area above the controller bar.
RECT movie_rect() {
    int area_height = EmbedHeight - ControllerBarHeight;
    int left = (EmbedWidth - g.options.movie_width) / 2;
    int top = (area_height - g.options.movie_height) / 2;
    return RECT{left, top, left + g.options.movie_width, top + g.options.movie_height};
}

std::string profile_path() {
    return join_path(windows_directory(), "NPLant32.INI");
}

// How many pixels of the picture's outermost ring have this colour.
int count_border(const Picture& picture, COLORREF colour) {
    int count = 0;
    for (int x = 0; x < picture.width; ++x) {
        count += picture.colour(x, 0) == colour;
        count += picture.colour(x, picture.height - 1) == colour;
    }
    for (int y = 1; y + 1 < picture.height; ++y) {
        count += picture.colour(0, y) == colour;
        count += picture.colour(picture.width - 1, y) == colour;
    }
    return count;
}

// Saves what was on the screen beside the test's other output, for a person to look at, in
// "<movie>_<case>.bmp".
void keep_screen(const Picture& screen, const char* case_name) {
    std::string movie = g.options.movie_file;
    movie = movie.substr(movie.find_last_of("\\/") + 1);
    std::string name = movie.substr(0, movie.find('.')) + "_" + case_name + ".bmp";
    if (save_picture(screen, name)) note("the embed's pixels are saved in %s", name.c_str());
}

bool start_library() {
    g.plugin = load_plugin(g.options.plugin_folder);
    if (!CHECK_TRUE(g.plugin.module && g.plugin.get_entry_points && g.plugin.initialize &&
                        g.plugin.shutdown,
                    "NPLant32.dll loads with its three entry points"))
        return false;
    g.table.size = sizeof g.table;
    CHECK_EQ_INT(NPERR_NO_ERROR, g.plugin.get_entry_points(&g.table), "NP_GetEntryPoints");
    g.host_table = make_host_table();
    CHECK_EQ_INT(NPERR_NO_ERROR, g.plugin.initialize(&g.host_table), "NP_Initialize");
    CHECK_TRUE(module_loaded("QTIM32.DLL") && module_loaded("CMGR32.DLL"),
               "the movie engine's libraries are loaded");
    g.started = true;
    return true;
}

NPError new_instance() {
    char type[] = "video/quicktime";
    // The page's EMBED element; SRC comes first, as the page wrote it.
    char src_name[] = "SRC", width_name[] = "WIDTH", height_name[] = "HEIGHT";
    char controller_name[] = "CONTROLLER";
    char src_value[] = "clips/testsrc.mov", width_value[] = "320", height_value[] = "240";
    char controller_value[] = "TRUE";
    char* names[] = {src_name, width_name, height_name, controller_name};
    char* values[] = {src_value, width_value, height_value, controller_value};
    return g.table.newp(type, &g.instance, NP_EMBED, 4, names, values, nullptr);
}

void poster_case() {
    g.movie = read_whole_file(g.options.movie_file);
    if (!CHECK_TRUE(!g.movie.empty(), "the test movie can be read")) return;
    DeleteFileA(profile_path().c_str()); // so that the profile seen at the end is this run's
    if (!start_library()) return;
    g.windows = create_page(EmbedLeft, EmbedTop, EmbedWidth, EmbedHeight);
    set_host_window(g.windows.page);
    if (!CHECK_TRUE(g.windows.embed != nullptr, "the page and its embed window exist")) return;
    CHECK_EQ_INT(NPERR_NO_ERROR, new_instance(), "NPP_New for video/quicktime");
    g.has_instance = true;
    g.window_record.window = g.windows.embed;
    g.window_record.x = EmbedLeft;
    g.window_record.y = EmbedTop;
    g.window_record.width = EmbedWidth;
    g.window_record.height = EmbedHeight;
    g.window_record.clipRect = NPRect{0, 0, EmbedHeight, EmbedWidth};
    CHECK_EQ_INT(NPERR_NO_ERROR, g.table.setwindow(&g.instance, &g.window_record),
                 "NPP_SetWindow with the embed window");
    pump_messages_for(500);

    Picture screen = read_window(g.windows.embed);
    if (!CHECK_EQ_INT(EmbedWidth * EmbedHeight, screen.width * screen.height,
                      "pixels read back from the embed window"))
        return;
    Picture poster = read_bitmap_resource(g.plugin.module, PosterId);
    CHECK_EQ_INT(PosterWidth * PosterHeight, poster.width * poster.height,
                 "size of the library's poster bitmap");
    RECT place = poster_rect();
    Picture shown = crop(screen, place.left, place.top, PosterWidth, PosterHeight);
    int difference = largest_difference(shown, poster);
    note("poster on screen against the bitmap resource: largest channel difference %d, "
         "PSNR %.2f dB",
         difference, psnr(shown, poster));
    bool passed = CHECK_EQ_INT(0, difference, "the poster is shown unscaled, centred in the embed");
    passed &= CHECK_EQ_INT(2 * EmbedWidth + 2 * EmbedHeight - 4, count_border(screen, FrameColour),
                           "pixels of the dark grey frame around the instance area");
    passed &= CHECK_EQ_HEX(PageWhite, screen.colour(place.left - 5, place.top),
                           "white beside the poster");
    if (!passed) keep_screen(screen, "poster_before_data");
}

std::vector<std::string> new_cache_files() {
    std::vector<std::string> now = list_files(temporary_directory(), "LX*.mov");
    std::vector<std::string> added;
    for (const std::string& name : now) {
        if (std::find(g.cache_files_before.begin(), g.cache_files_before.end(), name) ==
            g.cache_files_before.end())
            added.push_back(name);
    }
    return added;
}

// The movie's picture on the screen against the reference frame, in decibels.
double frame_psnr(Picture* screen) {
    RECT place = movie_rect();
    *screen = read_window(g.windows.embed);
    return psnr(crop(*screen, place.left, place.top, g.reference.width, g.reference.height),
                g.reference);
}

// Sends the movie in blocks as the browser receives them, letting the page run in between,
// and notes how much had arrived when the first frame appeared.
void send_blocks() {
    size_t offset = 0;
    int refused = 0;
    while (offset < g.movie.size()) {
        int32 ready = g.table.writeready(&g.instance, &g.stream);
        size_t length = std::min<size_t>(
            {g.movie.size() - offset, size_t(BlockSize), size_t(ready > 0 ? ready : 0)});
        if (length == 0) {
            if (++refused > 100) break; // the plug-in stopped taking data
            pump_messages_for(BlockPause);
            continue;
        }
        int32 taken = g.table.write(&g.instance, &g.stream, int32(offset), int32(length),
                                    g.movie.data() + offset);
        if (!CHECK_EQ_INT(length, taken,
                          "bytes NPP_Write took at offset " + std::to_string(offset)))
            break;
        offset += length;
        pump_messages_for(BlockPause);
        Picture screen;
        if (g.frame_seen_after == 0 && frame_psnr(&screen) >= MinimumPsnr)
            g.frame_seen_after = offset;
    }
    CHECK_EQ_INT(g.movie.size(), offset, "bytes of the movie delivered");
}

void check_cache_file() {
    std::vector<std::string> added = new_cache_files();
    if (!CHECK_EQ_INT(1, added.size(), "new cache files LX*.mov in the temporary directory"))
        return;
    g.cache_file = join_path(temporary_directory(), added[0].c_str());
    note("cache file %s", g.cache_file.c_str());
    CHECK_TRUE(read_whole_file(g.cache_file) == g.movie,
               "the cache file holds exactly the bytes of the movie");
}

// Where the poster was and the movie is not, the page's white shows again, and the frame
// that surrounds a poster is gone. False when any of it is not so.
bool check_poster_gone(const Picture& screen) {
    bool passed = true;
    RECT poster = poster_rect(), movie = movie_rect();
    if (poster.bottom > movie.bottom) {
        Picture band =
            crop(screen, poster.left, movie.bottom, PosterWidth, poster.bottom - movie.bottom);
        passed &= CHECK_EQ_INT(band.width * band.height, count_colour(band, PageWhite),
                               "white pixels where the poster reached below the movie");
    }
    passed &= CHECK_EQ_HEX(PageWhite, screen.colour(0, 0),
                           "colour at the instance area's top left corner");
    Picture bar =
        crop(screen, 0, EmbedHeight - ControllerBarHeight, EmbedWidth, ControllerBarHeight);
    int drawn = bar.width * bar.height - count_colour(bar, PageWhite);
    note("%d of %d pixels of the bottom %d rows are not white", drawn, bar.width * bar.height,
         ControllerBarHeight);
    passed &= CHECK_TRUE(drawn * 2 > bar.width * bar.height,
                         "the controller bar covers the bottom 18 rows");
    passed &= CHECK_EQ_HEX(PageWhite, screen.colour(5, EmbedHeight - ControllerBarHeight - 1),
                           "white just above the controller bar");
    // Between the slider's right end and the volume (the last 40 pixels) only the bar's face
    // shows: the bar itself is drawn, not just something else in its rows.
    passed &=
        CHECK_EQ_HEX(BarFace, screen.colour(EmbedWidth - 42, EmbedHeight - ControllerBarHeight / 2),
                     "the controller bar's face between the slider and the volume");
    return passed;
}

void streamed_movie_case() {
    if (!CHECK_TRUE(g.has_instance, "the instance exists")) return;
    std::vector<uint8_t> raw = read_whole_file(g.options.reference_file);
    if (!CHECK_EQ_INT(size_t(g.options.movie_width) * g.options.movie_height * 4, raw.size(),
                      "bytes of the reference frame"))
        return;
    g.reference = Picture{g.options.movie_width, g.options.movie_height, raw};
    g.cache_files_before = list_files(temporary_directory(), "LX*.mov");
    g.stream.url = StreamUrl;
    g.stream.end = static_cast<uint32>(g.movie.size());
    char type[] = "video/quicktime";
    uint16 stream_type = NP_ASFILE;
    CHECK_EQ_INT(NPERR_NO_ERROR, g.table.newstream(&g.instance, type, &g.stream, 0, &stream_type),
                 "NPP_NewStream");
    CHECK_EQ_INT(NP_NORMAL, stream_type, "stream type the plug-in asks for");
    DWORD start = GetTickCount();
    send_blocks();
    note("%u bytes sent in blocks of %d in %lu ms; the first frame was on screen after %u bytes",
         unsigned(g.movie.size()), BlockSize, GetTickCount() - start, unsigned(g.frame_seen_after));
    CHECK_TRUE(g.frame_seen_after > 0 && g.frame_seen_after < g.movie.size(),
               "the first frame appears while the movie is still arriving");
    CHECK_EQ_INT(NPERR_NO_ERROR, g.table.destroystream(&g.instance, &g.stream, NPRES_DONE),
                 "NPP_DestroyStream, the whole movie sent");
    check_cache_file();

    Picture screen;
    double figure = 0.0;
    DWORD waited_from = GetTickCount();
    bool shown = pump_messages_until(
        [&]() { return (figure = frame_psnr(&screen)) >= MinimumPsnr; }, FrameDeadline);
    RECT place = movie_rect();
    note("movie picture at (%ld, %ld): PSNR %.2f dB against the reference decode of frame 0, "
         "%lu ms after the stream ended",
         place.left, place.top, figure, GetTickCount() - waited_from);
    CHECK_TRUE(shown, "the movie's first frame is on screen, PSNR at least 30 dB");
    // A moment later it is still the first frame: nobody asked the movie to play.
    pump_messages_for(1000);
    figure = frame_psnr(&screen);
    note("one second later: PSNR %.2f dB", figure);
    bool kept = CHECK_TRUE(figure >= MinimumPsnr, "the stopped movie still shows its first frame");
    if (!check_poster_gone(screen) || !kept) keep_screen(screen, "movie_streamed_in_blocks");
}

// The point the user right-clicks: the middle of the movie.
POINT movie_centre() {
    RECT movie = movie_rect();
    return POINT{(movie.left + movie.right) / 2, (movie.top + movie.bottom) / 2};
}

void copy_location_case() {
    if (!CHECK_TRUE(g.has_instance, "the instance exists")) return;
    const char placeholder[] = "text the user copied before";
    set_clipboard_text(g.windows.page, placeholder);
    CHECK_EQ_STR(placeholder, clipboard_text(g.windows.page), "clipboard before the menu");
    POINT at = movie_centre();
    WatchReport report = choose_from_context_menu(g.windows.embed, at.x, at.y, CopyLocationItem);
    bool copied = pump_messages_until(
        [&]() { return clipboard_text(g.windows.page) != placeholder; }, CommandDeadline);
    if (!CHECK_EQ_INT(1, report.menus.size(), "context menus shown for one right click")) return;
    note("menu: %s", menu_listing(report.menus[0]).c_str());
    CHECK_EQ_STR("Play this Movie | Open this Movie | Save this Movie as... | Copy this Movie "
                 "Frame | Copy this Movie Location | - | Preferences | QuickTime Guide | About "
                 "Lanternix(tm) Plug-in",
                 menu_listing(report.menus[0]), "the context menu of a complete, stopped movie");
    CHECK_TRUE(report.chose_item, "the user chose \"Copy this Movie Location\"");
    CHECK_TRUE(copied, "the clipboard changed after the choice");
    CHECK_EQ_STR(StreamUrl, clipboard_text(g.windows.page),
                 "clipboard text after \"Copy this Movie Location\"");
    CHECK_TRUE(clipboard_has(CF_OEMTEXT), "the address is on the clipboard as OEM text");
    CHECK_EQ_INT(0, host_record().url_requests.size(),
                 "pages the plug-in asked the browser to open");
    CHECK_EQ_INT(0, report.message_boxes.size(), "message boxes shown");
}

// The first item of the one menu the user saw, or an empty text.
std::string first_item(const WatchReport& report) {
    if (report.menus.size() != 1 || report.menus[0].empty()) return "";
    const SeenMenuItem& item = report.menus[0][0];
    return item.text + (item.greyed ? " (greyed)" : "");
}

// The movie's picture, for comparing one moment with another.
Picture movie_picture() {
    RECT place = movie_rect();
    return crop(read_window(g.windows.embed), place.left, place.top, g.reference.width,
                g.reference.height);
}

void play_and_pause_case() {
    if (!CHECK_TRUE(g.has_instance, "the instance exists")) return;
    // Whether the picture moves is judged where the first frame stands still now.
    double before = psnr(movie_picture(), g.reference);
    note("before playing: PSNR %.2f dB against frame 0", before);
    CHECK_TRUE(before >= MinimumPsnr, "the stopped movie shows its first frame before playing");
    POINT at = movie_centre();
    WatchReport report = choose_from_context_menu(g.windows.embed, at.x, at.y, "Play this Movie");
    CHECK_EQ_STR("Play this Movie", first_item(report), "first item of the menu while stopped");
    CHECK_TRUE(report.chose_item, "the user chose \"Play this Movie\"");
    pump_messages_for(PlayingTime);
    double played = psnr(movie_picture(), g.reference);
    note("after %lu ms of playing: PSNR %.2f dB against frame 0", PlayingTime, played);
    CHECK_TRUE(played < MovedPsnr, "the picture has moved on from the first frame");

    report = choose_from_context_menu(g.windows.embed, at.x, at.y, "Pause this Movie");
    CHECK_EQ_STR("Pause this Movie", first_item(report), "first item of the menu while playing");
    CHECK_TRUE(report.chose_item, "the user chose \"Pause this Movie\"");
    pump_messages_for(300);
    Picture paused = movie_picture();
    pump_messages_for(1000);
    Picture later = movie_picture();
    note("paused picture: PSNR %.2f dB against frame 0; one second later the largest channel "
         "difference is %d",
         psnr(paused, g.reference), largest_difference(paused, later));
    CHECK_EQ_INT(0, largest_difference(paused, later), "the paused picture stands still");
    CHECK_TRUE(psnr(paused, g.reference) < MovedPsnr, "pausing keeps the frame it reached");
    CHECK_EQ_INT(0, report.message_boxes.size(), "message boxes shown");
}

// The preferences the library saved when it stopped: a fresh profile's values.
void check_profile() {
    std::string profile = profile_path();
    CHECK_TRUE(file_exists(profile), "the profile " + profile + " is written");
    const char section[] = "Lanternix Plugin";
    CHECK_EQ_STR(temporary_directory(), profile_value(profile, section, "CacheDirectory"),
                 "profile CacheDirectory");
    CHECK_EQ_STR(windows_directory() + "\\Play32.exe", profile_value(profile, section, "HelperApp"),
                 "profile HelperApp");
    CHECK_EQ_STR("1", profile_value(profile, section, "StopLooping"), "profile StopLooping");
    for (const char* key :
         {"PauseInBackground", "DontDeleteMovies", "StartSooner", "UseHelperApplication"})
        CHECK_EQ_STR("0", profile_value(profile, section, key), std::string("profile ") + key);
    CHECK_EQ_STR("3", profile_value(profile, section, "LoopCount"), "profile LoopCount");
}

void teardown_case() {
    if (!CHECK_TRUE(g.started, "the library was started")) return;
    if (g.has_instance) {
        NPSavedData* saved = nullptr;
        CHECK_EQ_INT(NPERR_NO_ERROR, g.table.destroy(&g.instance, &saved), "NPP_Destroy");
        g.has_instance = false;
        CHECK_TRUE(g.instance.pdata == nullptr, "the instance record is empty afterwards");
        if (CHECK_TRUE(saved && is_host_block(saved, sizeof *saved),
                       "saved data handed over in host memory")) {
            CHECK_EQ_INT(24, saved->len, "length of the saved data");
            CHECK_TRUE(saved->buf && is_host_block(saved->buf, 24) &&
                           std::memcmp(saved->buf, "aSavedInstanceDataBlock", 24) == 0,
                       "the saved data's marker text");
            // The browser owns the saved data now and frees it when it no longer needs it.
            host_free(saved->buf);
            host_free(saved);
        }
        CHECK_TRUE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(g.windows.embed, GWLP_WNDPROC)) ==
                       g.windows.embed_procedure,
                   "the embed window has its own procedure back");
        if (!g.cache_file.empty())
            CHECK_TRUE(!file_exists(g.cache_file), "the cache file is deleted");
    }
    pump_messages_for(200);
    destroy_page(g.windows);
    CHECK_EQ_INT(NPERR_NO_ERROR, g.plugin.shutdown(), "NP_Shutdown");
    g.started = false;
    check_profile();
    note("host memory outstanding: %d blocks, %lu bytes", outstanding_blocks(),
         outstanding_bytes());
    CHECK_EQ_INT(0, outstanding_blocks(), "host memory blocks outstanding after NP_Shutdown");
    CHECK_EQ_INT(0, host_record().bad_frees, "frees of blocks the host never handed out");
    CHECK_EQ_INT(0, host_record().unexpected_calls, "calls of services a movie plug-in needs not");
}

} // namespace

void run_movie_cases(const HostOptions& options) {
    g.options = options;
    run_case("poster_before_data", poster_case);
    run_case("movie_streamed_in_blocks", streamed_movie_case);
    run_case("context_menu_copies_location", copy_location_case);
    run_case("context_menu_plays_and_pauses", play_and_pause_case);
    run_case("page_and_library_end", teardown_case);
}

} // namespace winhost
