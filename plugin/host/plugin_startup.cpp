// The library start-up and shutdown: what the library holds once for all its instances (the
// media engine, the context menu and the preferences record).
#include <afxwin.h>

#include "engine/engine_loader.h"
#include "engine/engine_operations.h"
#include "host/plugin_entries.h"
#include "host/plugin_globals.h"
#include "movie/movie_instance.h"
#include "resource.h"

int EngineAvailable = 0;
CMenu PluginMenu;
CMenu* ContextMenu = nullptr;
Preferences* PluginPreferences = nullptr;

namespace {

// Starts the media engine and records whether it can be used. A missing or failing engine
// does not stop the library: each movie instance refuses its embed later instead. The
// engine's version is not asked for: an engine that starts is used.
void StartMediaEngine() {
    if (StartEngine() != 0) return;
    if (EngineInitializeMovies() != 0) return;
    EngineAvailable = 1;
}

// Loads menu resource IDR_CONTEXT_MENU into PluginMenu and points ContextMenu at its first
// pop-up. When PluginMenu already holds the menu (a second start-up without a shutdown in
// between) the attach fails: the copy just loaded is destroyed again and the menu held, with
// its ContextMenu, stays as it is.
void LoadContextMenu() {
    LPCSTR name = MAKEINTRESOURCEA(IDR_CONTEXT_MENU);
    HMENU menu = LoadMenuA(AfxFindResourceHandle(name, RT_MENU), name);
    if (!PluginMenu.Attach(menu)) {
        if (menu) DestroyMenu(menu);
        return;
    }
    ContextMenu = CMenu::FromHandle(GetSubMenu(PluginMenu.GetSafeHmenu(), 0));
}

} // namespace

NPError NPP_Initialize(void) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    StartMediaEngine();
    LoadContextMenu();
    // A record that exists already stays as it is and is not read again.
    if (!PluginPreferences) {
        Preferences* preferences = new Preferences;
        // The pointer stays null, so the next start-up tries again.
        if (!preferences) return NPERR_OUT_OF_MEMORY_ERROR;
        PluginPreferences = preferences;
        PluginPreferences->Load();
        RemoveStaleCacheFiles(PluginPreferences->CacheDirectory);
    }
    return NPERR_NO_ERROR;
}

void NPP_Shutdown(void) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    // Nobody may reach the pop-up once its menu is gone, so the pointer goes first. The menu
    // is destroyed whenever one is held, so PluginMenu holds none after any shutdown.
    ContextMenu = nullptr;
    if (PluginMenu.GetSafeHmenu()) PluginMenu.DestroyMenu();
    if (PluginPreferences) {
        PluginPreferences->Save();
        // The record's memory goes back to the host here: this is the last host call of the
        // library before NP_Shutdown forgets the host's table.
        delete PluginPreferences;
        PluginPreferences = nullptr;
    }
}
