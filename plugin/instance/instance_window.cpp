// The instance's window: the procedure installed by SetWindow and the base handling of the
// messages that reach the instance through it.
#include "instance/plugin_instance.h"

#include "resource.h"

LRESULT CALLBACK InstanceWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    PluginInstance* instance = FindInstance(hwnd);
    // An instance gives its window's procedure back before it leaves the list, so this is a
    // window the library no longer knows; its own procedure is not known here either.
    if (!instance) return DefWindowProcA(hwnd, message, wParam, lParam);
    return instance->WindowProc(hwnd, message, wParam, lParam);
}

LRESULT PluginInstance::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_SETCURSOR:
        // The previous procedure never sets the cursor over an instance: without a link the
        // cursor stays as it is.
        if (Href) ShowLinkCursor();
        return TRUE;
    case WM_COMMAND:
        DoMenuCommand(MapCommandId(static_cast<short>(LOWORD(wParam))));
        return 0;
    case WM_MOUSEMOVE:
        if (Href) ShowLinkInStatus();
        return 0;
    case WM_LBUTTONDOWN:
        if (Href) FollowLink();
        return 1;
    case WM_RBUTTONDOWN: {
        POINT point = {LOWORD(lParam), HIWORD(lParam)};
        ClientToScreen(WindowHandle, &point);
        TrackContextMenu(point.x, point.y);
        return 1;
    }
    case WM_PALETTECHANGED:
        InvalidateAll();
        UpdateNow();
        return 0;
    default:
        return CallWindowProcA(PrevWindowProc, hwnd, message, wParam, lParam);
    }
}

void PluginInstance::Paint(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (BackColorGiven) {
        HBRUSH brush = CreateSolidBrush(
            RGB(BackColor.Red & 0xff, BackColor.Green & 0xff, BackColor.Blue & 0xff));
        FillRect(dc, &paint.rcPaint, brush);
        DeleteObject(brush);
    } else {
        HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
        FillRect(dc, &paint.rcPaint, white);
        DeleteObject(white);
        // The frame marks the instance area while a poster stands in for the movie.
        if (WindowRecord && Picture.GetSafeHandle()) {
            RECT area = {0, 0, static_cast<LONG>(WindowRecord->width),
                         static_cast<LONG>(WindowRecord->height)};
            FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
        }
    }
    Draw(paint.rcPaint);
    EndPaint(hwnd, &paint);
}

void PluginInstance::ShowLinkCursor() {
    LPCSTR name = MAKEINTRESOURCE(IDCUR_LINK);
    HCURSOR cursor = LoadCursorA(AfxFindResourceHandle(name, RT_GROUP_CURSOR), name);
    if (cursor && cursor != GetCursor()) SetCursor(cursor);
}

void PluginInstance::ShowLinkInStatus() {
    char* address = BuildLinkURL();
    if (!address) return;
    NPN_Status(HostHandle, address);
    NPN_MemFree(address);
}

void PluginInstance::FollowLink() {
    char* address = BuildLinkURL();
    if (!address) return;
    NPN_GetURL(HostHandle, address, HrefTarget ? HrefTarget : "_top");
    NPN_MemFree(address);
}

short PluginInstance::MapCommandId(short command) {
    return command;
}
