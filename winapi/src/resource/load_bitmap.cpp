// LoadBitmapA: a bitmap resource turned into a bitmap compatible with the screen.
#include <wingdi.h>
#include <winerror.h>
#include <winuser.h>
#include <winuser_resource.h>

#include "resource/bitmap_resource.h"
#include "resource/resource_index.h"

using namespace winapi::resource;

HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName) {
    if (!hInstance) {
        // The system's own bitmaps (OBM_) are not provided.
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const ResEntry* entry = find_resource(hInstance, RT_BITMAP, lpBitmapName, 0);
    if (!entry) return nullptr;
    std::optional<size_t> bits = bitmap_bits_offset(entry->data, entry->size);
    if (!bits) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    // Resource data is DWORD aligned, so the header can be read in place.
    const auto* info = reinterpret_cast<const BITMAPINFO*>(entry->data);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, entry->data + *bits, info,
                                    DIB_RGB_COLORS);
    if (screen) ReleaseDC(nullptr, screen);
    return bitmap;
}
