// InstanceList: every live instance, found by the window it has subclassed.
#include "instance/plugin_instance.h"

PluginInstance* InstanceList = nullptr;

void AddInstance(HWND hwnd, PluginInstance* instance) {
    instance->WindowHandle = hwnd;
    if (!InstanceList) {
        InstanceList = instance;
        return;
    }
    PluginInstance* last = InstanceList;
    for (;;) {
        if (last == instance) return; // never in the list twice
        if (!last->Next) break;
        last = last->Next;
    }
    last->Next = instance;
}

PluginInstance* FindInstance(HWND hwnd) {
    for (PluginInstance* instance = InstanceList; instance; instance = instance->Next) {
        if (instance->WindowHandle == hwnd) return instance;
    }
    return nullptr;
}

void PluginInstance::UnlinkFromInstanceList() {
    if (InstanceList == this) {
        InstanceList = Next;
    } else {
        PluginInstance* previous = InstanceList;
        while (previous && previous->Next != this)
            previous = previous->Next;
        if (previous) previous->Next = Next;
    }
    Next = nullptr;
}
