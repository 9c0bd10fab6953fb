// EmbedInstance: the instance object NPP_New creates for now. It adds nothing to
// PluginInstance; the movie instance replaces it once movie playback exists.
#pragma once

#include "instance/plugin_instance.h"

class EmbedInstance : public PluginInstance {};
