// The instance's window: the procedure installed by SetWindow and the base handling of the
// messages that reach the instance through it.
#include "instance/plugin_instance.h"

LRESULT CALLBACK InstanceWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    PluginInstance* instance = FindInstance(hwnd);
    // An instance gives its window's procedure back before it leaves the list, so this is a
    // window the library no longer knows; its own procedure is not known here either.
    if (!instance) return DefWindowProcA(hwnd, message, wParam, lParam);
    return instance->WindowProc(hwnd, message, wParam, lParam);
}

// Painting, the link, the context menu and menu commands are handled here once drawing and
// the menu exist; until then every message goes to the window's own procedure.
LRESULT PluginInstance::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(PrevWindowProc, hwnd, message, wParam, lParam);
}

// Placeholder until the context menu exists.
void PluginInstance::TrackContextMenu(int, int) {}

// Placeholder until the context menu exists.
void PluginInstance::DoMenuCommand(short) {}

short PluginInstance::MapCommandId(short command) {
    return command;
}
