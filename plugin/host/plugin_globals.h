// What the library holds once for all its instances, from start-up (NPP_Initialize) to
// shutdown (NPP_Shutdown). All of it is plain data used only on the host's thread.
#pragma once

#include <afxwin.h>

#include "prefs/preferences.h"

// 1 once the media engine has started and initialised its movies, else 0. Set by start-up
// only; shutdown leaves it as it is, since the engine stays loaded. Movie instances refuse to
// serve an embed while it is 0.
extern int EngineAvailable;

// The library's menu resource (IDR_CONTEXT_MENU) from start-up to shutdown; holds no menu
// before, after, or when the resource could not be loaded.
extern CMenu PluginMenu;

// The framework object for the first pop-up of PluginMenu: the menu shown on a right click.
// Null whenever PluginMenu holds no menu.
extern CMenu* ContextMenu;

// The one preferences record, in host memory: made and loaded by start-up when none exists,
// saved and freed by shutdown. Null before start-up, after shutdown, and after a start-up
// that found no memory for it.
extern Preferences* PluginPreferences;
