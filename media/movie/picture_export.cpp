#include "movie/picture_export.h"

#include <windows.h>

#include <cstring>

namespace lanternix::media {

EngineResult make_packed_dib(const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0) return 0;
    size_t row = static_cast<size_t>(picture.width) * 4;
    size_t bits = row * picture.height;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + bits);
    if (!block) return 0;
    auto value = reinterpret_cast<uintptr_t>(block);
    if (value > UINT32_MAX) {
        GlobalFree(block);
        return 0;
    }
    auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = picture.width;
    header.biHeight = picture.height; // bottom-up, as most readers of the clipboard expect
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(bits);
    std::memcpy(bytes, &header, sizeof header);
    uint8_t* out = bytes + sizeof header;
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(out + row * (picture.height - 1 - y), picture.pixels.data() + row * y, row);
    GlobalUnlock(block);
    return static_cast<EngineResult>(value);
}

} // namespace lanternix::media
