// MovieInstance: the movie's own items of the context menu and their commands: play or
// pause, open, save, and copying the frame or the address.
#include "movie/movie_instance.h"

#include "engine/engine_operations.h"
#include "host/plugin_globals.h"
#include "resource.h"

#include <stdint.h>

namespace {

// The size of the buffers LoadStringResource fills, zero included.
const int StringBufferSize = 256;

// Menu identifiers of the movie items.
const UINT ItemCopyLocation = 5;
const UINT ItemCopyFrame = 6;
const UINT ItemUnused = 7;
const UINT ItemSave = 9;
const UINT ItemOpen = 10;
const UINT ItemPlay = 11;
// Identifiers above this one (and 4 and 8) are the base's commands shifted by 8.
const short LastMovieItem = 11;
const short BaseShift = 8;
// The base's command that copies the movie's address.
const short CommandCopyMovieLocation = 16;

// The shared pop-up's own items; more means another showing's items are still in.
const UINT ResourceItems = 3;
// The movie items and their separator.
const int MovieItems = 6;

const ULONG NormalRate = 0x10000;

void InsertItem(CMenu* menu, UINT id, short stringId) {
    char text[StringBufferSize];
    PluginInstance::LoadStringResource(text, IDS_ITEM_BASE, stringId - IDS_ITEM_BASE);
    menu->InsertMenu(0, MF_BYPOSITION | MF_STRING, id, text);
}

void Grey(CMenu* menu, UINT position, BOOL grey) {
    menu->EnableMenuItem(position, MF_BYPOSITION | (grey ? MF_GRAYED | MF_DISABLED : MF_ENABLED));
}

} // namespace

void MovieInstance::TrackContextMenu(int x, int y) {
    if (!ContextMenu || ContextMenu->GetMenuItemCount() > ResourceItems) return;
    ContextMenu->InsertMenu(0, MF_BYPOSITION | MF_SEPARATOR);
    InsertItem(ContextMenu, ItemCopyLocation, IDS_COPY_MOVIE_LOCATION);
    InsertItem(ContextMenu, ItemCopyFrame, IDS_COPY_MOVIE_FRAME);
    InsertItem(ContextMenu, ItemSave, IDS_SAVE_MOVIE);
    InsertItem(ContextMenu, ItemOpen, IDS_OPEN_MOVIE);
    InsertItem(ContextMenu, ItemPlay, IDS_PLAY_MOVIE);
    if (Movie && Controller) {
        ULONG rate = 0;
        EngineControllerAction(Controller, EngineActionGetRate, &rate);
        char text[StringBufferSize];
        short stringId = rate ? IDS_PAUSE_MOVIE : IDS_PLAY_STOPPED_MOVIE;
        LoadStringResource(text, IDS_MENU_BASE, stringId - IDS_MENU_BASE);
        ContextMenu->ModifyMenu(0, MF_BYPOSITION | MF_STRING, ItemPlay, text);
    } else {
        Grey(ContextMenu, 0, TRUE);
    }
    BOOL incomplete = StreamLength > BytesWritten;
    BOOL helper =
        PluginPreferences && (PluginPreferences->Flags & Preferences::UseHelperApplication);
    Grey(ContextMenu, 1, incomplete && helper);
    Grey(ContextMenu, 2, incomplete);
    Grey(ContextMenu, 3, !Movie);
    Grey(ContextMenu, 4, !Movie);
    PluginInstance::TrackContextMenu(x, y);
    for (int i = 0; i < MovieItems; ++i)
        ContextMenu->DeleteMenu(0, MF_BYPOSITION);
}

void MovieInstance::DoMenuCommand(short command) {
    switch (command) {
    case ItemCopyLocation:
        PluginInstance::DoMenuCommand(CommandCopyMovieLocation);
        break;
    case ItemCopyFrame:
        CopyFrame();
        break;
    case ItemUnused:
        break;
    case ItemSave:
        SaveMovie();
        break;
    case ItemOpen:
        OpenMovieElsewhere();
        break;
    case ItemPlay:
        PlayOrPause();
        break;
    default:
        PluginInstance::DoMenuCommand(command < 4 ? command : short(command - BaseShift));
        break;
    }
}

void MovieInstance::CopyFrame() {
    ULONG time = EngineGetMovieTime(Movie, nullptr);
    ULONG picture = EngineGetFramePicture(Movie, time);
    HGLOBAL bitmap = EngineMakeDibFromPicture(picture);
    OpenClipboard(WindowHandle);
    EmptyClipboard();
    // From here on the clipboard owns the bitmap's memory.
    if (bitmap) SetClipboardData(CF_DIB, bitmap);
    CloseClipboard();
    EngineFreePicture(picture);
}

void MovieInstance::SaveMovie() {
    CFileDialog dialog(FALSE, ".mov", FileName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "Movie Files (*.mov) | *.mov | All Files (*.*) | *.* ||", nullptr);
    if (dialog.DoModal() != IDOK) return;
    if (!CopyFileA(CacheFilePath, dialog.GetPathName(), FALSE))
        MessageBoxA(nullptr, "Error saving the movie...", "Error", MB_OK);
}

void MovieInstance::OpenMovieElsewhere() {
    if (PluginPreferences && (PluginPreferences->Flags & Preferences::UseHelperApplication)) {
        char program[StringBufferSize];
        lstrcpynA(program, PluginPreferences->HelperApp, sizeof program);
        ShellExecuteA(nullptr, "open", program, CacheFilePath, nullptr, SW_SHOW);
    } else {
        NPN_GetURL(HostHandle, StreamURL, "_top");
    }
}

void MovieInstance::PlayOrPause() {
    ULONG rate = 0;
    EngineControllerAction(Controller, EngineActionGetRate, &rate);
    ULONG newRate = 0;
    if (!rate) newRate = PlayRateGiven ? static_cast<ULONG>(PlayRate) : NormalRate;
    EngineControllerAction(Controller, EngineActionPlay, EngineActionValue(newRate));
}
