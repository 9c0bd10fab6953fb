// The instance area: the poster picture, invalidation and the base Draw.
#include "instance/plugin_instance.h"

// Placement of the poster comes with drawing; until then the range is only kept, which is
// what SetWindow needs to ask again for the same range.
void PluginInstance::ShowPicture(short first, short last, BOOL) {
    if (!PictureAllowed) return;
    PictureFirstId = first;
    PictureLastId = last;
}

void PluginInstance::InvalidateAll() {
    if (WindowHandle) InvalidateRect(WindowHandle, nullptr, TRUE);
}

// Placeholder until the poster and the status line are drawn.
void PluginInstance::Draw(const RECT&) {}
