#include "gdi/bitmap.h"

#include <new>

namespace winapi::gdi {

namespace {

// The two colours of a monochrome bitmap: bit 0 is black, bit 1 white.
const std::vector<uint32_t> kMonochromePalette = {0x000000u, 0xffffffu};

bool allocate(Bitmap& bitmap) {
    size_t size = static_cast<size_t>(bitmap.stride) * static_cast<size_t>(bitmap.height);
    if (size > kMaxBitmapBytes) return false;
    try {
        bitmap.bits.assign(size, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace

PixelBuffer Bitmap::pixels() {
    PixelBuffer buffer;
    buffer.width = width;
    buffer.height = height;
    buffer.bpp = bpp;
    if (top_down) {
        buffer.top = bits.data();
        buffer.pitch = stride;
    } else {
        buffer.top = bits.data() + static_cast<ptrdiff_t>(height - 1) * stride;
        buffer.pitch = -static_cast<ptrdiff_t>(stride);
    }
    buffer.palette = palette.data();
    buffer.palette_size = static_cast<int>(palette.size());
    if (bpp == 16) {
        buffer.red = ChannelMask::from(masks[0]);
        buffer.green = ChannelMask::from(masks[1]);
        buffer.blue = ChannelMask::from(masks[2]);
    }
    buffer.monochrome = monochrome();
    return buffer;
}

std::unique_ptr<Bitmap> make_device_bitmap(int width, int height, int bpp) {
    if (width <= 0 || height <= 0 || width > (1 << 24) || height > (1 << 24)) return nullptr;
    if (bpp != 1 && bpp != 32) return nullptr;
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bpp = bpp;
    bitmap->stride = bpp == 1 ? ((width + 15) / 16) * 2 : width * 4;
    bitmap->top_down = true;
    if (bpp == 1) bitmap->palette = kMonochromePalette;
    if (!allocate(*bitmap)) return nullptr;
    return bitmap;
}

std::unique_ptr<Bitmap> make_dib_section(const DibFormat& format, const BITMAPINFOHEADER& header) {
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->width = format.width;
    bitmap->height = format.height;
    bitmap->bpp = format.bpp;
    bitmap->stride = format.stride;
    bitmap->top_down = format.top_down;
    bitmap->dib_section = true;
    bitmap->palette = format.palette;
    for (int i = 0; i < 3; ++i)
        bitmap->masks[i] = format.masks[i];
    bitmap->header = header;
    bitmap->header.biSizeImage = static_cast<DWORD>(format.image_size());
    if (!allocate(*bitmap)) return nullptr;
    return bitmap;
}

HBITMAP add_bitmap(std::unique_ptr<Bitmap> bitmap) {
    return static_cast<HBITMAP>(add_object(std::move(bitmap)));
}

} // namespace winapi::gdi
