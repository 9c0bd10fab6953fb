// Public functions that create bitmaps and move pixels between bitmaps and DIBs in the
// caller's memory (GetDIBits, SetDIBits, CreateDIBitmap).
#include <wingdi.h>
#include <winerror.h>

#include <algorithm>
#include <cstring>

#include "gdi/bitmap.h"
#include "gdi/device_context.h"
#include "gdi/dib_format.h"

using namespace winapi::gdi;

namespace {

HBITMAP fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

// The depth of a bitmap compatible with a context: a memory context holding a monochrome
// bitmap (its default one included) makes monochrome bitmaps, every other context 32-bit
// colour ones, the depth of the display.
int compatible_depth(const DeviceContext* dc) {
    if (dc != nullptr && dc->memory) {
        const Bitmap* selected = find_bitmap(dc->state.bitmap);
        if (selected != nullptr && selected->monochrome()) return 1;
    }
    return 32;
}

HBITMAP create_device_bitmap(int width, int height, int bpp) {
    // A bitmap without pixels is documented to come back as a 1 x 1 monochrome bitmap.
    if (width == 0 || height == 0) return add_bitmap(make_device_bitmap(1, 1, 1));
    auto bitmap = make_device_bitmap(width, height, bpp);
    if (!bitmap) return fail(ERROR_NOT_ENOUGH_MEMORY);
    return add_bitmap(std::move(bitmap));
}

// Which row of the bitmap DIB scan `scan` is. Scans count from the bottom of a bottom-up DIB
// and from the top of a top-down one; the DIB's top row meets the bitmap's top row.
int bitmap_row(const DibFormat& format, int scan) {
    return format.top_down ? scan : format.height - 1 - scan;
}

// The scans [first, first + count) of the DIB that exist, as a view of the caller's bits
// holding just those scans in the DIB's row order. Returns the number of scans.
int scan_band(const DibFormat& format, UINT start, UINT lines, const void* bits, DibFormat& band,
              PixelBuffer& view) {
    if (start >= static_cast<UINT>(format.height)) return 0;
    int count = static_cast<int>(std::min<UINT>(lines, static_cast<UINT>(format.height) - start));
    band = format;
    band.height = count;
    view = band.view(bits);
    return count;
}

// The band's view row of scan `scan`: a bottom-up band keeps its lowest scan last.
int band_row(const DibFormat& band, int first, int scan) {
    int offset = scan - first;
    return band.top_down ? offset : band.height - 1 - offset;
}

int copy_dib_to_bitmap(Bitmap& bitmap, const DibFormat& format, UINT start, UINT lines,
                       const void* bits) {
    DibFormat band;
    PixelBuffer from;
    int count = scan_band(format, start, lines, bits, band, from);
    PixelBuffer to = bitmap.pixels();
    bool indexed = from.bpp <= 8 && from.bpp == to.bpp;
    int width = std::min(format.width, bitmap.width);
    int first = static_cast<int>(start);
    for (int scan = first; scan < first + count; ++scan) {
        int row = bitmap_row(format, scan);
        if (row < 0 || row >= bitmap.height) continue;
        int source_row = band_row(band, first, scan);
        for (int x = 0; x < width; ++x) {
            if (indexed)
                to.put_index(x, row, from.get_index(x, source_row));
            else
                to.put(x, row, from.get(x, source_row));
        }
    }
    return count;
}

int copy_bitmap_to_dib(Bitmap& bitmap, const DibFormat& format, UINT start, UINT lines,
                       void* bits) {
    DibFormat band;
    PixelBuffer to;
    int count = scan_band(format, start, lines, bits, band, to);
    PixelBuffer from = bitmap.pixels();
    bool indexed = to.bpp <= 8 && from.bpp == to.bpp;
    int first = static_cast<int>(start);
    for (int scan = first; scan < first + count; ++scan) {
        int row = bitmap_row(format, scan);
        int target_row = band_row(band, first, scan);
        for (int x = 0; x < format.width; ++x) {
            bool inside = row >= 0 && row < bitmap.height && x < bitmap.width;
            if (indexed)
                to.put_index(x, target_row, inside ? from.get_index(x, row) : 0);
            else
                to.put(x, target_row, inside ? from.get(x, row) : 0);
        }
    }
    return count;
}

// Fills in a BITMAPINFOHEADER describing the bitmap itself (GetDIBits with no bits and a
// zero bit count).
void describe_bitmap_header(const Bitmap& bitmap, BITMAPINFOHEADER& header) {
    header.biWidth = bitmap.width;
    header.biHeight = bitmap.height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitmap.bpp);
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(dib_stride(bitmap.width, bitmap.bpp)) *
                         static_cast<DWORD>(bitmap.height);
    header.biXPelsPerMeter = 0;
    header.biYPelsPerMeter = 0;
    header.biClrUsed = 0;
    header.biClrImportant = 0;
}

// Colour tables are only given out for the bitmap's own depth: the layer has no standard
// palettes to reduce colour bitmaps to.
bool write_color_table(const Bitmap& bitmap, BITMAPINFO* info) {
    int bpp = info->bmiHeader.biBitCount;
    if (bpp > 8) return true;
    if (bpp != bitmap.bpp || bitmap.palette.empty()) return false;
    int entries = 1 << bpp;
    uint8_t* table = reinterpret_cast<uint8_t*>(info) + info->bmiHeader.biSize;
    for (int i = 0; i < entries; ++i) {
        uint32_t rgb = i < static_cast<int>(bitmap.palette.size()) ? bitmap.palette[size_t(i)] : 0;
        RGBQUAD quad{static_cast<BYTE>(rgb), static_cast<BYTE>(rgb >> 8),
                     static_cast<BYTE>(rgb >> 16), 0};
        std::memcpy(table + static_cast<size_t>(i) * sizeof quad, &quad, sizeof quad);
    }
    info->bmiHeader.biClrUsed = 0;
    return true;
}

// The BITMAPINFOHEADER of a BITMAPINFO, made from a core header when it is one.
BITMAPINFOHEADER info_header(const void* header) {
    BITMAPINFOHEADER info{};
    DWORD size;
    std::memcpy(&size, header, sizeof size);
    if (size == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, header, sizeof core);
        info.biSize = sizeof info;
        info.biWidth = core.bcWidth;
        info.biHeight = core.bcHeight;
        info.biPlanes = core.bcPlanes;
        info.biBitCount = core.bcBitCount;
        info.biCompression = BI_RGB;
    } else {
        std::memcpy(&info, header, sizeof info);
        info.biSize = sizeof info;
    }
    return info;
}

} // namespace

HBITMAP WINAPI CreateCompatibleBitmap(HDC handle, int width, int height) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return nullptr;
    if (width < 0 || height < 0) return fail(ERROR_INVALID_PARAMETER);
    return create_device_bitmap(width, height, compatible_depth(dc));
}

// Device-dependent bitmaps exist in two depths here: 1 bit (monochrome) and 32 bits.
HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel,
                            const void* bits) {
    if (width < 0 || height < 0 || planes != 1 || (bits_per_pixel != 1 && bits_per_pixel != 32))
        return fail(ERROR_INVALID_PARAMETER);
    HBITMAP handle = create_device_bitmap(width, height, static_cast<int>(bits_per_pixel));
    Bitmap* bitmap = find_bitmap(handle);
    // The caller's rows are padded to 16 bits, which is exactly how the bitmap stores them.
    if (bitmap != nullptr && bits != nullptr && width > 0 && height > 0)
        std::memcpy(bitmap->bits.data(), bits, bitmap->bits.size());
    return handle;
}

// DIB sections live in memory the layer allocates; file-mapping sections are not supported.
HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits,
                                HANDLE section, DWORD) {
    if (bits != nullptr) *bits = nullptr;
    DibFormat format;
    if (section != nullptr || !parse_dib_info(info, usage, format))
        return fail(ERROR_INVALID_PARAMETER);
    auto bitmap = make_dib_section(format, info_header(info));
    if (!bitmap) return fail(ERROR_NOT_ENOUGH_MEMORY);
    if (bits != nullptr) *bits = bitmap->bits.data();
    return add_bitmap(std::move(bitmap));
}

HBITMAP WINAPI CreateDIBitmap(HDC handle, const BITMAPINFOHEADER* header, DWORD init,
                              const void* bits, const BITMAPINFO* info, UINT usage) {
    DeviceContext* dc = nullptr;
    if (handle != nullptr && (dc = get_dc(handle)) == nullptr) return nullptr;
    if (header == nullptr) return fail(ERROR_INVALID_PARAMETER);
    BITMAPINFOHEADER size = info_header(header);
    LONG height = size.biHeight < 0 ? -size.biHeight : size.biHeight;
    if (size.biWidth < 0 || size.biHeight == INT32_MIN) return fail(ERROR_INVALID_PARAMETER);
    DibFormat format;
    bool initialise = (init & CBM_INIT) != 0;
    if (initialise && (bits == nullptr || !parse_dib_info(info, usage, format)))
        return fail(ERROR_INVALID_PARAMETER);
    HBITMAP result = create_device_bitmap(size.biWidth, height, compatible_depth(dc));
    Bitmap* bitmap = find_bitmap(result);
    if (bitmap != nullptr && initialise)
        copy_dib_to_bitmap(*bitmap, format, 0, static_cast<UINT>(format.height), bits);
    return result;
}

int WINAPI GetDIBits(HDC handle, HBITMAP bitmap_handle, UINT start, UINT lines, LPVOID bits,
                     LPBITMAPINFO info, UINT usage) {
    if (get_dc(handle) == nullptr) return 0;
    Bitmap* bitmap = find_bitmap(bitmap_handle);
    if (bitmap == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (info == nullptr || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) ||
        usage != DIB_RGB_COLORS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (bits == nullptr && info->bmiHeader.biBitCount == 0) {
        describe_bitmap_header(*bitmap, info->bmiHeader);
        return bitmap->height;
    }
    DibFormat format;
    if (!write_color_table(*bitmap, info) || !parse_dib_info(info, usage, format)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (bits == nullptr) {
        info->bmiHeader.biSizeImage = static_cast<DWORD>(format.image_size());
        return bitmap->height;
    }
    return copy_bitmap_to_dib(*bitmap, format, start, lines, bits);
}

int WINAPI SetDIBits(HDC handle, HBITMAP bitmap_handle, UINT start, UINT lines, const void* bits,
                     const BITMAPINFO* info, UINT usage) {
    if (handle != nullptr && get_dc(handle) == nullptr) return 0;
    Bitmap* bitmap = find_bitmap(bitmap_handle);
    if (bitmap == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    DibFormat format;
    if (bits == nullptr || !parse_dib_info(info, usage, format)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return copy_dib_to_bitmap(*bitmap, format, start, lines, bits);
}
