// The nine entry points of the plug-in table: each finds the instance object in the host's
// NPP record and forwards the call to one of its virtual operations.
#include <afxwin.h>

#include <cstring>

#include "host/plugin_entries.h"
#include "movie/movie_instance.h"

namespace {

// The one MIME type the library serves. The version information declares more, for the
// host's benefit, but none of the others ever yields an instance.
const char ServedMimeType[] = "video/quicktime";

// The instance object of `instance`, or null when the record or its pdata is null.
PluginInstance* InstanceOf(NPP instance) {
    return instance ? static_cast<PluginInstance*>(instance->pdata) : nullptr;
}

} // namespace

NPError NPP_New(NPMIMEType pluginType, NPP instance, uint16 mode, int16 argc, char* argn[],
                char* argv[], NPSavedData* saved) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    if (!pluginType || strcmp(pluginType, ServedMimeType) != 0) return NPERR_INVALID_PLUGIN_ERROR;
    PluginInstance* object = new MovieInstance;
    if (!object) return NPERR_OUT_OF_MEMORY_ERROR;
    instance->pdata = object;
    return object->New(pluginType, instance, mode, argc, argn, argv, saved);
}

NPError NPP_Destroy(NPP instance, NPSavedData** save) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    PluginInstance* object = InstanceOf(instance);
    if (!object) return NPERR_INVALID_INSTANCE_ERROR;
    instance->pdata = nullptr;
    // What Destroy reports does not matter: the instance ends either way.
    object->Destroy(save);
    delete object;
    return NPERR_NO_ERROR;
}

NPError NPP_SetWindow(NPP instance, NPWindow* window) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    PluginInstance* object = InstanceOf(instance);
    if (!object) return NPERR_INVALID_INSTANCE_ERROR;
    return object->SetWindow(window);
}

NPError NPP_NewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable,
                      uint16* stype) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    PluginInstance* object = InstanceOf(instance);
    if (!object) return NPERR_INVALID_INSTANCE_ERROR;
    return object->NewStream(type, stream, seekable, stype);
}

NPError NPP_DestroyStream(NPP instance, NPStream* stream, NPReason reason) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    PluginInstance* object = InstanceOf(instance);
    if (!object) return NPERR_INVALID_INSTANCE_ERROR;
    return object->DestroyStream(stream, reason);
}

void NPP_StreamAsFile(NPP instance, NPStream* stream, const char* fname) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    PluginInstance* object = InstanceOf(instance);
    if (object) object->StreamAsFile(stream, fname);
}

int32 NPP_WriteReady(NPP instance, NPStream* stream) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    PluginInstance* object = InstanceOf(instance);
    if (!object) return NPERR_INVALID_INSTANCE_ERROR;
    return object->WriteReady(stream);
}

int32 NPP_Write(NPP instance, NPStream* stream, int32 offset, int32 len, void* buffer) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    PluginInstance* object = InstanceOf(instance);
    if (!object) return NPERR_INVALID_INSTANCE_ERROR;
    return object->Write(stream, offset, len, buffer);
}

void NPP_Print(NPP instance, NPPrint* platformPrint) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    PluginInstance* object = InstanceOf(instance);
    if (object) object->Print(platformPrint);
}
