// Public functions that create, select, describe and delete GDI objects.
#include <wingdi.h>
#include <winerror.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "gdi/bitmap.h"
#include "gdi/device_context.h"
#include "gdi/gdi_object.h"

using namespace winapi::gdi;

namespace {

HPEN add_pen(std::unique_ptr<Pen> pen) {
    return static_cast<HPEN>(add_object(std::move(pen)));
}

// Bytes of an EXTLOGPEN without style entries: pens here never carry user styles.
constexpr int kExtLogPenSize = static_cast<int>(offsetof(EXTLOGPEN, elpStyleEntry));

bool valid_ext_pen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD count,
                   const DWORD* entries) {
    DWORD type = style & PS_TYPE_MASK;
    DWORD line = style & PS_STYLE_MASK;
    if (brush == nullptr || type > PS_GEOMETRIC) return false;
    // User-defined dash patterns are not supported; without them no entries may be passed.
    if (line == PS_USERSTYLE || line > PS_ALTERNATE || count != 0 || entries != nullptr)
        return false;
    if (type == PS_COSMETIC) {
        return width == 1 && brush->lbStyle == BS_SOLID && line != PS_INSIDEFRAME;
    }
    return (brush->lbStyle == BS_SOLID || brush->lbStyle == BS_NULL) && line != PS_ALTERNATE;
}

int describe_pen(const Pen& pen, int size, void* buffer) {
    if (pen.extended) {
        if (buffer == nullptr) return kExtLogPenSize;
        if (size < kExtLogPenSize) return 0;
        EXTLOGPEN log{};
        log.elpPenStyle = pen.style;
        log.elpWidth = static_cast<DWORD>(pen.width);
        log.elpBrushStyle = pen.brush_style;
        log.elpColor = pen.color;
        log.elpHatch = pen.hatch;
        log.elpNumEntries = 0;
        std::memcpy(buffer, &log, kExtLogPenSize);
        return kExtLogPenSize;
    }
    if (buffer == nullptr) return sizeof(LOGPEN);
    if (size < static_cast<int>(sizeof(LOGPEN))) return 0;
    LOGPEN log{};
    log.lopnStyle = pen.style;
    log.lopnWidth = POINT{pen.width, 0};
    log.lopnColor = pen.color;
    std::memcpy(buffer, &log, sizeof log);
    return sizeof log;
}

BITMAP bitmap_description(Bitmap& bitmap) {
    BITMAP bm{};
    bm.bmType = 0;
    bm.bmWidth = bitmap.width;
    bm.bmHeight = bitmap.height;
    bm.bmWidthBytes = bitmap.stride;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(bitmap.bpp);
    bm.bmBits = bitmap.dib_section ? bitmap.bits.data() : nullptr;
    return bm;
}

// A DIB section answers with a DIBSECTION when the buffer has room for one, otherwise (and
// for every other bitmap) with a BITMAP.
int describe_bitmap(Bitmap& bitmap, int size, void* buffer) {
    int full = bitmap.dib_section ? static_cast<int>(sizeof(DIBSECTION)) : sizeof(BITMAP);
    if (buffer == nullptr) return full;
    if (bitmap.dib_section && size >= static_cast<int>(sizeof(DIBSECTION))) {
        DIBSECTION ds{};
        ds.dsBm = bitmap_description(bitmap);
        ds.dsBmih = bitmap.header;
        if (bitmap.header.biCompression == BI_BITFIELDS)
            std::memcpy(ds.dsBitfields, bitmap.masks, sizeof ds.dsBitfields);
        ds.dshSection = nullptr;
        ds.dsOffset = 0;
        std::memcpy(buffer, &ds, sizeof ds);
        return sizeof ds;
    }
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP bm = bitmap_description(bitmap);
    std::memcpy(buffer, &bm, sizeof bm);
    return sizeof bm;
}

} // namespace

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    auto brush = std::make_unique<Brush>();
    brush->log.lbStyle = BS_SOLID;
    brush->log.lbColor = color & 0x00ffffffu;
    return static_cast<HBRUSH>(add_object(std::move(brush)));
}

HGDIOBJ WINAPI GetStockObject(int index) {
    HGDIOBJ object = stock_object(index);
    if (object == nullptr) SetLastError(ERROR_INVALID_PARAMETER);
    return object;
}

HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
    if (style < PS_SOLID || style > PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto pen = std::make_unique<Pen>();
    pen->style = static_cast<DWORD>(style);
    pen->width = std::abs(width);
    pen->color = color & 0x00ffffffu;
    return add_pen(std::move(pen));
}

HPEN WINAPI ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD style_count,
                         const DWORD* style_entries) {
    if (!valid_ext_pen(style, width, brush, style_count, style_entries) || width > 0x7fffffffu) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto pen = std::make_unique<Pen>();
    pen->extended = true;
    pen->style = style;
    pen->width = static_cast<int>(width);
    pen->color = brush->lbColor & 0x00ffffffu;
    pen->brush_style = brush->lbStyle;
    pen->hatch = brush->lbHatch;
    return add_pen(std::move(pen));
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* log) {
    if (log == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto font = std::make_unique<Font>();
    font->log = *log;
    font->log.lfFaceName[LF_FACESIZE - 1] = '\0';
    return static_cast<HFONT>(add_object(std::move(font)));
}

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strike_out, DWORD charset,
                         DWORD out_precision, DWORD clip_precision, DWORD quality,
                         DWORD pitch_and_family, LPCSTR face_name) {
    LOGFONTA log{};
    log.lfHeight = height;
    log.lfWidth = width;
    log.lfEscapement = escapement;
    log.lfOrientation = orientation;
    log.lfWeight = weight;
    log.lfItalic = static_cast<BYTE>(italic);
    log.lfUnderline = static_cast<BYTE>(underline);
    log.lfStrikeOut = static_cast<BYTE>(strike_out);
    log.lfCharSet = static_cast<BYTE>(charset);
    log.lfOutPrecision = static_cast<BYTE>(out_precision);
    log.lfClipPrecision = static_cast<BYTE>(clip_precision);
    log.lfQuality = static_cast<BYTE>(quality);
    log.lfPitchAndFamily = static_cast<BYTE>(pitch_and_family);
    if (face_name != nullptr) std::strncpy(log.lfFaceName, face_name, LF_FACESIZE - 1);
    return CreateFontIndirectA(&log);
}

HGDIOBJ WINAPI SelectObject(HDC handle, HGDIOBJ object) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return nullptr;
    if (find_object(object) == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return select_object(handle, *dc, object);
}

// Stock objects are not deleted and the call succeeds. An object selected into a device
// context (or held by a state SaveDC saved) is not deleted and the call fails; the caller
// deletes it after selecting it out.
BOOL WINAPI DeleteObject(HGDIOBJ object) {
    GdiObject* target = find_object(object);
    if (target == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (target->stock) return TRUE;
    return destroy_object(object) ? TRUE : FALSE;
}

int WINAPI GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
    GdiObject* target = find_object(object);
    if (target == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (buffer != nullptr && size <= 0) return 0;
    switch (target->kind) {
    case ObjectKind::Pen:
        return describe_pen(*static_cast<Pen*>(target), size, buffer);
    case ObjectKind::Brush:
        if (buffer == nullptr) return sizeof(LOGBRUSH);
        if (size < static_cast<int>(sizeof(LOGBRUSH))) return 0;
        std::memcpy(buffer, &static_cast<Brush*>(target)->log, sizeof(LOGBRUSH));
        return sizeof(LOGBRUSH);
    case ObjectKind::Font: {
        // Fonts copy as much of the LOGFONTA as fits.
        if (buffer == nullptr) return sizeof(LOGFONTA);
        int copied = std::min(size, static_cast<int>(sizeof(LOGFONTA)));
        std::memcpy(buffer, &static_cast<Font*>(target)->log, static_cast<size_t>(copied));
        return copied;
    }
    case ObjectKind::Bitmap:
        return describe_bitmap(*static_cast<Bitmap*>(target), size, buffer);
    }
    return 0;
}

DWORD WINAPI GetObjectType(HGDIOBJ object) {
    if (DeviceContext* dc = find_dc(static_cast<HDC>(object)))
        return dc->memory ? OBJ_MEMDC : OBJ_DC;
    GdiObject* target = find_object(object);
    if (target == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (target->kind) {
    case ObjectKind::Pen:
        return static_cast<Pen*>(target)->extended ? OBJ_EXTPEN : OBJ_PEN;
    case ObjectKind::Brush:
        return OBJ_BRUSH;
    case ObjectKind::Font:
        return OBJ_FONT;
    case ObjectKind::Bitmap:
        return OBJ_BITMAP;
    }
    return 0;
}

HGDIOBJ WINAPI GetCurrentObject(HDC handle, UINT type) {
    DeviceContext* dc = get_dc(handle);
    if (dc == nullptr) return nullptr;
    switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
        return dc->state.pen;
    case OBJ_BRUSH:
        return dc->state.brush;
    case OBJ_FONT:
        return dc->state.font;
    case OBJ_BITMAP:
        return dc->state.bitmap;
    case OBJ_PAL:
        return nullptr; // there are no logical palettes
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}
