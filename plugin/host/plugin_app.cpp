#include "host/plugin_app.h"

PluginApplication PluginApp;
