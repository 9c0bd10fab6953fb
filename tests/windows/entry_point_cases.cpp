// What a browser relies on before and while it starts the plug-in: the version information
// it registers the plug-in from, the three exports, and the checks of the two tables.
#include "check.h"
#include "host_cases.h"
#include "host_services.h"
#include "plugin_module.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace winhost {

namespace {

HostOptions g_options;
PluginModule g_plugin;
NPNetscapeFuncs g_host_table;

// A byte the plug-in never writes, to see which bytes of a table it touched.
const unsigned char Untouched = 0xA5;

std::string plugin_file() {
    return join_path(g_options.plugin_folder, "NPLant32.dll");
}

void check_version_string(const char* key, const char* expected) {
    bool missing = true;
    std::string value = version_string(plugin_file(), key, &missing);
    CHECK_TRUE(!missing, std::string("the version information has a ") + key + " entry");
    CHECK_EQ_STR(expected, value, std::string("version information ") + key);
}

void version_information_case() {
    check_version_string("MIMEType",
                         "video/quicktime|application/x-qtc-broadcast|application/x-qtc");
    bool missing = true;
    std::string types = version_string(plugin_file(), "MIMEType", &missing);
    CHECK_EQ_STR("video/quicktime", types.substr(0, types.find('|')),
                 "the first MIME type the browser registers");
    check_version_string("FileExtents", "mov|qtb|qtv|qtc");
    check_version_string("FileOpenName",
                         "QuickTime Movie (*.mov)|Lanternix server card (*.qtb)|Lanternix server "
                         "card (*.qtv)|QTC calling card (*.qtc)");
    check_version_string("OriginalFilename", "NPLant32.dll");
    check_version_string("ProductName", "Lanternix Movie Plug-in");
    CHECK_EQ_HEX(MAKELONG(0x0409, 1252), version_translation(plugin_file()),
                 "translation: US English, Windows Latin-1");
    CHECK_EQ_HEX(0x0001000000000000ULL, fixed_file_version(plugin_file()),
                 "fixed file version 1.0.0.0");
}

// Fills `bytes` bytes of a plug-in table with the untouched pattern and sets its size.
void prepare_plugin_table(NPPluginFuncs* table, uint16 size) {
    std::memset(table, Untouched, sizeof *table);
    table->size = size;
}

bool bytes_untouched(const void* start, size_t from, size_t to) {
    const unsigned char* bytes = static_cast<const unsigned char*>(start);
    for (size_t i = from; i < to; ++i) {
        if (bytes[i] != Untouched) return false;
    }
    return true;
}

void check_filled_table(const NPPluginFuncs& table, uint16 size) {
    CHECK_EQ_INT(size, table.size, "the table's size stays as the host wrote it");
    CHECK_EQ_INT(6, table.version, "plug-in table version");
    CHECK_TRUE(table.newp && table.destroy && table.setwindow && table.newstream &&
                   table.destroystream && table.asfile && table.writeready && table.write &&
                   table.print,
               "the nine entries from newp to print are filled");
    CHECK_TRUE(table.event == nullptr, "the event entry is null");
    CHECK_TRUE(bytes_untouched(&table, offsetof(NPPluginFuncs, urlnotify), sizeof table),
               "entries after event stay untouched");
}

void plugin_table_checks() {
    CHECK_EQ_INT(NPERR_INVALID_FUNCTABLE_ERROR, g_plugin.get_entry_points(nullptr),
                 "NP_GetEntryPoints with no table");
    NPPluginFuncs table;
    prepare_plugin_table(&table, 43);
    CHECK_EQ_INT(NPERR_INVALID_FUNCTABLE_ERROR, g_plugin.get_entry_points(&table),
                 "NP_GetEntryPoints with a 43-byte table");
    CHECK_TRUE(bytes_untouched(&table, sizeof table.size, sizeof table),
               "a 43-byte table is left untouched");
    prepare_plugin_table(&table, 44);
    CHECK_EQ_INT(NPERR_NO_ERROR, g_plugin.get_entry_points(&table),
                 "NP_GetEntryPoints with a 44-byte table");
    check_filled_table(table, 44);
    prepare_plugin_table(&table, sizeof table);
    CHECK_EQ_INT(NPERR_NO_ERROR, g_plugin.get_entry_points(&table),
                 "NP_GetEntryPoints with a whole table");
    check_filled_table(table, sizeof table);
}

void host_table_checks() {
    CHECK_EQ_INT(NPERR_INVALID_FUNCTABLE_ERROR, g_plugin.initialize(nullptr),
                 "NP_Initialize with no table");
    g_host_table = make_host_table();
    g_host_table.size = 51;
    CHECK_EQ_INT(NPERR_INVALID_FUNCTABLE_ERROR, g_plugin.initialize(&g_host_table),
                 "NP_Initialize with a 51-byte host table");
    g_host_table = make_host_table();
    g_host_table.version = 0x0100;
    CHECK_EQ_INT(NPERR_INCOMPATIBLE_VERSION_ERROR, g_plugin.initialize(&g_host_table),
                 "NP_Initialize with major version 1");
    CHECK_TRUE(!module_loaded("QTIM32.DLL") && !module_loaded("CMGR32.DLL"),
               "a refused host table starts no movie engine");
    g_host_table = make_host_table();
    g_host_table.size = 52;
    CHECK_EQ_INT(NPERR_NO_ERROR, g_plugin.initialize(&g_host_table),
                 "NP_Initialize with the smallest host table, 52 bytes");
    CHECK_EQ_INT(NPERR_NO_ERROR, g_plugin.shutdown(), "NP_Shutdown");
    g_host_table = make_host_table();
    CHECK_EQ_INT(NPERR_NO_ERROR, g_plugin.initialize(&g_host_table),
                 "NP_Initialize with a whole host table");
    CHECK_TRUE(module_loaded("QTIM32.DLL") && module_loaded("CMGR32.DLL"),
               "the start-up loaded the movie engine from beside the plug-in");
}

void entry_points_case() {
    g_plugin = load_plugin(g_options.plugin_folder);
    if (!CHECK_TRUE(g_plugin.module != nullptr, "NPLant32.dll loads")) return;
    std::vector<std::string> names = export_names(g_plugin.module);
    std::sort(names.begin(), names.end());
    std::string listed;
    for (const std::string& name : names)
        listed += (listed.empty() ? "" : " ") + name;
    CHECK_EQ_STR("NP_GetEntryPoints NP_Initialize NP_Shutdown", listed,
                 "the library's exported names");
    if (!CHECK_TRUE(g_plugin.get_entry_points && g_plugin.initialize && g_plugin.shutdown,
                    "GetProcAddress finds the three entry points"))
        return;
    plugin_table_checks();
    host_table_checks();
}

// Types that the version information declares or that differ in case are refused without
// creating anything.
void other_types_case() {
    if (!CHECK_TRUE(g_plugin.get_entry_points != nullptr, "the library is loaded")) return;
    NPPluginFuncs table = {};
    table.size = sizeof table;
    g_plugin.get_entry_points(&table);
    int blocks = outstanding_blocks();
    NPP_t instance = {};
    char capital_type[] = "video/QuickTime";
    char call_type[] = "application/x-qtc";
    char movie_type[] = "video/quicktime";
    CHECK_EQ_INT(NPERR_INVALID_PLUGIN_ERROR,
                 table.newp(capital_type, &instance, NP_EMBED, 0, nullptr, nullptr, nullptr),
                 "NPP_New for video/QuickTime");
    CHECK_EQ_INT(NPERR_INVALID_PLUGIN_ERROR,
                 table.newp(call_type, &instance, NP_EMBED, 0, nullptr, nullptr, nullptr),
                 "NPP_New for application/x-qtc");
    CHECK_EQ_INT(NPERR_INVALID_INSTANCE_ERROR,
                 table.newp(movie_type, nullptr, NP_EMBED, 0, nullptr, nullptr, nullptr),
                 "NPP_New without an instance record");
    CHECK_TRUE(instance.pdata == nullptr, "a refused instance record stays empty");
    CHECK_EQ_INT(blocks, outstanding_blocks(), "refused types take no host memory");
    CHECK_EQ_INT(NPERR_INVALID_INSTANCE_ERROR, table.destroy(nullptr, nullptr),
                 "NPP_Destroy without an instance record");
    CHECK_EQ_INT(NPERR_INVALID_INSTANCE_ERROR, table.writeready(nullptr, nullptr),
                 "NPP_WriteReady without an instance record");
}

// The browser stops the library and starts it again (as on reloading its plug-ins).
void restart_case() {
    if (!CHECK_TRUE(g_plugin.shutdown != nullptr, "the library is loaded")) return;
    CHECK_EQ_INT(NPERR_NO_ERROR, g_plugin.shutdown(), "NP_Shutdown");
    CHECK_EQ_INT(0, outstanding_blocks(), "host memory blocks outstanding after NP_Shutdown");
    CHECK_EQ_INT(NPERR_NO_ERROR, g_plugin.initialize(&g_host_table), "NP_Initialize again");
    CHECK_TRUE(outstanding_blocks() > 0, "the started library holds host memory");
    CHECK_EQ_INT(NPERR_NO_ERROR, g_plugin.shutdown(), "NP_Shutdown again");
    CHECK_EQ_INT(0, outstanding_blocks(), "host memory blocks outstanding at the end");
    CHECK_EQ_INT(0, host_record().bad_frees, "frees of blocks the host never handed out");
    CHECK_EQ_INT(0, host_record().unexpected_calls, "calls of services a movie plug-in needs not");
}

} // namespace

void run_entry_point_cases(const HostOptions& options) {
    g_options = options;
    run_case("version_information", version_information_case);
    run_case("entry_points", entry_points_case);
    run_case("other_types_refused", other_types_case);
    run_case("library_restart", restart_case);
}

} // namespace winhost
