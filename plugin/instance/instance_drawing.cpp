// The instance area before a movie covers it: the poster picture in its middle, the status
// line along its bottom edge, the base Draw that paints both, and the invalidation rules
// that decide what gets repainted.
#include "instance/plugin_instance.h"

namespace {

// The status line is the strip of this many pixels along the bottom of the instance area.
const LONG StatusLineHeight = 16;

// The size of the buffer a status message is loaded into, zero included.
const int StatusBufferSize = 256;

// The instance area of a window record: it always starts at (0, 0) in window coordinates.
RECT InstanceArea(const NPWindow* record) {
    RECT area = {0, 0, static_cast<LONG>(record->width), static_cast<LONG>(record->height)};
    return area;
}

} // namespace

void PluginInstance::ShowPicture(short first, short last, BOOL updateNow) {
    if (!PictureAllowed) return;
    if (!WindowRecord) {
        // SetWindow asks again for this range once the area is known.
        PictureFirstId = first;
        PictureLastId = last;
        return;
    }
    RECT bounds = InstanceArea(WindowRecord);
    RECT candidate = {0, 0, 0, 0};
    if (Picture.GetSafeHandle()) {
        Picture.DeleteObject();
        InvalidateArea(PictureRect);
    }
    // Bitmaps are taken from the highest number down; the first one smaller than the area in
    // both directions is shown at its own size. A poster is never scaled.
    for (int id = last; id >= first; --id) {
        if (!Picture.LoadBitmap(static_cast<UINT>(static_cast<WORD>(id)))) continue;
        BITMAP info = {};
        Picture.GetBitmap(&info);
        RECT size = {0, 0, info.bmWidth, info.bmHeight};
        candidate = size;
        if (bounds.bottom > info.bmHeight && bounds.right > info.bmWidth) {
            CenterRect(&candidate, bounds);
            break;
        }
        Picture.DeleteObject();
    }
    if (Picture.GetSafeHandle()) {
        PictureRect = candidate;
        InvalidateArea(PictureRect);
    } else {
        InvalidateAll();
    }
    if (updateNow) UpdateNow();
    PictureFirstId = first;
    PictureLastId = last;
}

void PluginInstance::ShowStatusMessage(short base, short offset, BOOL updateNow) {
    if (!StatusAllowed || !WindowRecord) return;
    RECT area = InstanceArea(WindowRecord);
    RECT strip = {0, area.bottom - StatusLineHeight, area.right, area.bottom};
    if (StatusText) {
        NPN_MemFree(StatusText);
        StatusText = nullptr;
        InvalidateArea(StatusRect);
    }
    char text[StatusBufferSize];
    LoadStringResource(text, base, offset);
    if (text[0]) {
        // Without memory for the copy the line stays empty, but the strip is still repainted.
        StatusText = CopyToHostMemory(text);
        StatusRect = strip;
        InvalidateArea(strip);
    }
    if (updateNow) UpdateNow();
}

// The rectangle to update is not looked at: both parts are small and drawn whole.
void PluginInstance::Draw(const RECT&) {
    if (Picture.GetSafeHandle()) {
        HDC dc = GetDC(WindowHandle);
        if (dc) {
            StretchBitmap(dc, Picture, PictureRect, SRCCOPY);
            ReleaseDC(WindowHandle, dc);
        }
    }
    if (StatusText) {
        HDC dc = GetDC(WindowHandle);
        if (dc) {
            RECT strip = StatusRect;
            DrawTextA(dc, StatusText, -1, &strip, DT_SINGLELINE | DT_BOTTOM);
            ReleaseDC(WindowHandle, dc);
        }
    }
}

void PluginInstance::InvalidateAll() {
    if (WindowHandle) InvalidateRect(WindowHandle, nullptr, TRUE);
}

void PluginInstance::InvalidateArea(const RECT& area) {
    if (WindowHandle) InvalidateRect(WindowHandle, &area, TRUE);
}

void PluginInstance::UpdateNow() {
    if (WindowHandle) UpdateWindow(WindowHandle);
}

void PluginInstance::CenterRect(RECT* rect, const RECT& bounds) {
    if (rect->left != 0 || rect->top != 0) {
        rect->right -= rect->left;
        rect->bottom -= rect->top;
        rect->left = 0;
        rect->top = 0;
    }
    LONG width = bounds.right - bounds.left;
    LONG height = bounds.bottom - bounds.top;
    // Each direction is clipped on its own: the proportions are not kept.
    if (rect->right > width) rect->right = width;
    if (rect->bottom > height) rect->bottom = height;
    short dx = static_cast<short>((width - rect->right) / 2);
    short dy = static_cast<short>((height - rect->bottom) / 2);
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
}

void PluginInstance::StretchBitmap(HDC dc, HBITMAP bitmap, const RECT& destination, DWORD rop) {
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    HGDIOBJ previous = SelectObject(memory, bitmap);
    SetMapMode(memory, GetMapMode(dc));
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    // Both rectangles are given in device units; the transfer wants each in the logical units
    // of its own context.
    POINT target[2] = {{destination.left, destination.top},
                       {destination.right, destination.bottom}};
    POINT source[2] = {{0, 0}, {info.bmWidth, info.bmHeight}};
    DPtoLP(dc, target, 2);
    DPtoLP(memory, source, 2);
    StretchBlt(dc, target[0].x, target[0].y, target[1].x - target[0].x, target[1].y - target[0].y,
               memory, source[0].x, source[0].y, source[1].x - source[0].x,
               source[1].y - source[0].y, rop);
    SelectObject(memory, previous);
    DeleteDC(memory);
}
