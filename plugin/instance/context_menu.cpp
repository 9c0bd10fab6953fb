// The base context menu: the link items around the shared pop-up's own three, showing the
// menu at the click, and the commands every instance understands.
#include "instance/plugin_instance.h"

#include "host/plugin_globals.h"
#include "resource.h"

#include <string.h>

namespace {

// The size of the buffers LoadStringResource fills, zero included.
const int StringBufferSize = 256;

// The link commands; their menu identifiers are these plus 8 (see MovieInstance).
const short CommandOpenLink = 5;
const short CommandNewWindowWithLink = 6;
const short CommandCopyLinkLocation = 7;
const short CommandCopyMovieLocation = 16;

// Items the link adds above the shared pop-up's own: three and a separator.
const int LinkItems = 4;

// The menu's items are numbered from the top; inserting "by position 0" puts an item first.
void InsertAtTop(CMenu* menu, UINT id, short stringId) {
    char text[StringBufferSize];
    PluginInstance::LoadStringResource(text, IDS_ITEM_BASE, stringId - IDS_ITEM_BASE);
    menu->InsertMenu(0, MF_BYPOSITION | MF_STRING, id, text);
}

} // namespace

void PluginInstance::TrackContextMenu(int x, int y) {
    if (!ContextMenu) return;
    if (Href) {
        ContextMenu->InsertMenu(0, MF_BYPOSITION | MF_SEPARATOR);
        UINT count = ContextMenu->GetMenuItemCount();
        InsertAtTop(ContextMenu, count + 3, IDS_OPEN_LINK);
        InsertAtTop(ContextMenu, count + 4, IDS_NEW_WINDOW_WITH_LINK);
        InsertAtTop(ContextMenu, count + 5, IDS_COPY_LINK_LOCATION);
    }
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    // The choice comes back later as a WM_COMMAND to the window, after the items are gone.
    TrackPopupMenu(ContextMenu->GetSafeHmenu(), 0, x, y, 0, WindowHandle, nullptr);
    if (Href) {
        for (int i = 0; i < LinkItems; ++i)
            ContextMenu->DeleteMenu(0, MF_BYPOSITION);
    }
}

void PluginInstance::DoMenuCommand(short command) {
    switch (command) {
    case IDM_ABOUT:
        OpenResourceAddress(IDS_ABOUT_URL);
        break;
    case IDM_GUIDE:
        OpenResourceAddress(IDS_GUIDE_URL);
        break;
    case IDM_PREFERENCES:
        if (PluginPreferences) PluginPreferences->ShowDialog();
        break;
    case CommandOpenLink:
    case CommandNewWindowWithLink:
    case CommandCopyLinkLocation: {
        char* address = BuildLinkURL();
        if (!address) {
            MessageBeep(0xFFFFFFFF);
            break;
        }
        if (command == CommandCopyLinkLocation)
            CopyTextToClipboard(address);
        else
            NPN_GetURL(HostHandle, address,
                       command == CommandNewWindowWithLink ? "_new"
                       : HrefTarget                        ? HrefTarget
                                                           : "_top");
        NPN_MemFree(address);
        break;
    }
    case CommandCopyMovieLocation:
        CopyTextToClipboard(StreamURL);
        break;
    default:
        break;
    }
}

void PluginInstance::OpenResourceAddress(short stringId) {
    char address[StringBufferSize];
    LoadStringResource(address, IDS_MENU_BASE, stringId - IDS_MENU_BASE);
    NPN_GetURL(HostHandle, address, "_top");
}

void PluginInstance::CopyTextToClipboard(const char* text) {
    OpenClipboard(WindowHandle);
    EmptyClipboard();
    size_t size = (text ? strlen(text) : 0) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    char* copy = memory ? static_cast<char*>(GlobalLock(memory)) : nullptr;
    if (copy) {
        memcpy(copy, text ? text : "", size);
        GlobalUnlock(memory);
        // From here on the clipboard owns the memory.
        SetClipboardData(CF_OEMTEXT, memory);
    } else if (memory) {
        GlobalFree(memory);
    }
    CloseClipboard();
}
