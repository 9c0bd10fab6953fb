// Bitmaps: device-dependent bitmaps (32 bits per pixel, or 1 bit for monochrome ones) and
// DIB sections of every supported depth. Both keep their pixels in memory the bitmap owns;
// for a DIB section that memory is what the caller got as its bits pointer, so the caller
// and GDI see each other's changes at once.
#pragma once

#include <wingdi.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gdi/dib_format.h"
#include "gdi/gdi_object.h"
#include "gdi/pixel_buffer.h"

namespace winapi::gdi {

struct Bitmap final : GdiObject {
    Bitmap() : GdiObject(ObjectKind::Bitmap) {}

    int width = 0;
    int height = 0;
    int bpp = 32;
    int stride = 0;       // bytes per row
    bool top_down = true; // whether the first row in memory is the top row
    bool dib_section = false;
    std::vector<uint8_t> bits;
    std::vector<uint32_t> palette; // colour table (1, 4 and 8 bits), 0x00RRGGBB
    uint32_t masks[3] = {0, 0, 0}; // DIB sections of 16 and 32 bits
    BITMAPINFOHEADER header{};     // DIB sections: the header they were made from
    HDC owner = nullptr;           // the memory context holding it, while one does

    // A view of the pixels; it refers to this bitmap's storage and colour table.
    PixelBuffer pixels();
    bool monochrome() const { return !dib_section && bpp == 1; }
};

// Creates a device-dependent bitmap of 1 or 32 bits per pixel with every pixel 0 (black).
// Rows of a monochrome bitmap are padded to 16 bits, as BITMAP describes them. Null when the
// size is not positive or the pixels would not fit in memory.
std::unique_ptr<Bitmap> make_device_bitmap(int width, int height, int bpp);

// Creates a DIB section in `format`, with its colour table, every pixel 0. Null when the
// pixels would not fit in memory.
std::unique_ptr<Bitmap> make_dib_section(const DibFormat& format, const BITMAPINFOHEADER& header);

// Adds a bitmap to the object table and returns its handle.
HBITMAP add_bitmap(std::unique_ptr<Bitmap> bitmap);

} // namespace winapi::gdi
