// The plug-in installed without the movie engine: the browser starts it as usual, and every
// movie on a page tells the user, once, that it cannot be shown.
#include "check.h"
#include "host_cases.h"
#include "host_services.h"
#include "page_window.h"
#include "plugin_module.h"
#include "ui_watcher.h"
#include "windows_files.h"

namespace winhost {

namespace {

const char MissingEngineText[] = "Can not load the plug-in because Quicktime is not installed.";

HostOptions g_options;

bool engine_loaded() {
    return module_loaded("QTIM32.DLL") || module_loaded("CMGR32.DLL");
}

void missing_engine_case() {
    std::vector<std::string> files = list_files(g_options.plugin_folder, "*.dll");
    std::string listed;
    for (const std::string& name : files)
        listed += (listed.empty() ? "" : " ") + name;
    CHECK_EQ_STR("NPLant32.dll", listed, "libraries in the plug-in folder");
    // Windows looks beside the program first; an engine there would be found all the same.
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string program_folder(program);
    program_folder.erase(program_folder.find_last_of('\\') + 1);
    CHECK_TRUE(list_files(program_folder, "QTIM32.DLL").empty() &&
                   list_files(program_folder, "CMGR32.DLL").empty(),
               "no engine library beside the host program in " + program_folder);
    PluginModule plugin = load_plugin(g_options.plugin_folder);
    if (!CHECK_TRUE(plugin.module && plugin.get_entry_points && plugin.initialize &&
                        plugin.shutdown,
                    "NPLant32.dll loads with its three entry points"))
        return;
    NPPluginFuncs table = {};
    table.size = sizeof table;
    CHECK_EQ_INT(NPERR_NO_ERROR, plugin.get_entry_points(&table), "NP_GetEntryPoints");
    NPNetscapeFuncs host_table = make_host_table();
    CHECK_EQ_INT(NPERR_NO_ERROR, plugin.initialize(&host_table),
                 "NP_Initialize succeeds without the engine");
    CHECK_TRUE(!engine_loaded(), "no engine library is loaded");

    PageWindows windows = create_page(20, 20, 320, 240);
    set_host_window(windows.page);
    UiWatcher watcher;
    watcher.start();
    char type[] = "video/quicktime";
    char src_name[] = "SRC", width_name[] = "WIDTH", height_name[] = "HEIGHT";
    char src_value[] = "clips/testsrc.mov", width_value[] = "320", height_value[] = "240";
    char* names[] = {src_name, width_name, height_name};
    char* values[] = {src_value, width_value, height_value};
    NPP_t instance = {};
    NPError created = table.newp(type, &instance, NP_EMBED, 3, names, values, nullptr);
    pump_messages_for(500);
    WatchReport report = watcher.stop();
    CHECK_EQ_INT(NPERR_GENERIC_ERROR, created, "NPP_New refuses the movie");

    if (CHECK_EQ_INT(1, report.message_boxes.size(), "message boxes shown for one movie")) {
        const SeenMessageBox& box = report.message_boxes[0];
        CHECK_EQ_STR("Error", box.caption, "the message box's caption");
        CHECK_EQ_INT(1, box.texts.size(), "texts in the message box");
        CHECK_EQ_STR(MissingEngineText, box.texts.empty() ? "" : box.texts[0],
                     "the message box's text");
        CHECK_TRUE(box.has_ok && !box.has_cancel, "the message box has an OK button only");
        CHECK_TRUE(!box.has_owner, "the message box has no owner window");
    }
    CHECK_TRUE(!engine_loaded(), "still no engine library loaded");

    // A refused instance still holds its record until the browser destroys it.
    if (instance.pdata) {
        NPSavedData* saved = nullptr;
        CHECK_EQ_INT(NPERR_NO_ERROR, table.destroy(&instance, &saved), "NPP_Destroy");
        if (saved) {
            host_free(saved->buf);
            host_free(saved);
        }
    }
    pump_messages_for(200);
    destroy_page(windows);
    CHECK_EQ_INT(NPERR_NO_ERROR, plugin.shutdown(), "NP_Shutdown");
    CHECK_EQ_INT(0, outstanding_blocks(), "host memory blocks outstanding after NP_Shutdown");
    CHECK_EQ_INT(0, host_record().bad_frees, "frees of blocks the host never handed out");
    CHECK_TRUE(!engine_loaded(), "no engine library was loaded at any time");
}

} // namespace

void run_missing_engine_cases(const HostOptions& options) {
    g_options = options;
    run_case("missing_engine_message", missing_engine_case);
}

} // namespace winhost
