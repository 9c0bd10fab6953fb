// The library's application object: constructed when the library is loaded, destroyed when
// it is unloaded.
#include "host/plugin_app.h"

PluginApplication PluginApp;
