#include "gdi/gdi_object.h"

#include <array>
#include <cstring>

#include "common/handle_table.h"
#include "gdi/bitmap.h"

namespace winapi::gdi {

namespace {

// Handle values of GDI objects carry this tag ('G'), which keeps them apart from device
// contexts and from the handles of other parts of the layer.
constexpr uintptr_t kObjectTag = 0x47;

// The table is never destroyed: other parts of the layer may still release objects from their
// own static destructors when the process ends.
HandleTable<GdiObject>& objects() {
    static auto* table = new HandleTable<GdiObject>(kObjectTag);
    return *table;
}

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

std::array<HGDIOBJ, kStockCount>& stock_handles() {
    static std::array<HGDIOBJ, kStockCount> handles{};
    return handles;
}

HGDIOBJ add_stock(std::unique_ptr<GdiObject> object) {
    object->stock = true;
    return add_object(std::move(object));
}

HGDIOBJ make_stock_brush(UINT style, COLORREF color) {
    auto brush = std::make_unique<Brush>();
    brush->log.lbStyle = style;
    brush->log.lbColor = color;
    return add_stock(std::move(brush));
}

HGDIOBJ make_stock_pen(int style, COLORREF color) {
    auto pen = std::make_unique<Pen>();
    pen->style = static_cast<DWORD>(style);
    pen->width = 1;
    pen->color = color;
    return add_stock(std::move(pen));
}

HGDIOBJ make_stock_font(LONG weight) {
    auto font = std::make_unique<Font>();
    font->log = default_logfont();
    font->log.lfWeight = weight;
    return add_stock(std::move(font));
}

// Builds the stock object for an index; null for indexes without one. The fixed-pitch fonts
// share the default face: the layer maps every face name to the one sans family it ships.
HGDIOBJ make_stock(int index) {
    switch (index) {
    case WHITE_BRUSH:
        return make_stock_brush(BS_SOLID, RGB(255, 255, 255));
    case LTGRAY_BRUSH:
        return make_stock_brush(BS_SOLID, RGB(192, 192, 192));
    case GRAY_BRUSH:
        return make_stock_brush(BS_SOLID, RGB(128, 128, 128));
    case DKGRAY_BRUSH:
        return make_stock_brush(BS_SOLID, RGB(64, 64, 64));
    case BLACK_BRUSH:
        return make_stock_brush(BS_SOLID, RGB(0, 0, 0));
    case NULL_BRUSH:
        return make_stock_brush(BS_NULL, 0);
    case WHITE_PEN:
        return make_stock_pen(PS_SOLID, RGB(255, 255, 255));
    case BLACK_PEN:
        return make_stock_pen(PS_SOLID, RGB(0, 0, 0));
    case NULL_PEN:
        return make_stock_pen(PS_NULL, 0);
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT:
    case DEFAULT_GUI_FONT:
        return make_stock_font(FW_NORMAL);
    default:
        return nullptr;
    }
}

} // namespace

HGDIOBJ add_object(std::unique_ptr<GdiObject> object) {
    return reinterpret_cast<HGDIOBJ>(objects().add(std::move(object)));
}

GdiObject* find_object(HGDIOBJ handle) {
    if (handle == nullptr) return nullptr;
    return objects().find(handle);
}

Brush* find_brush(HGDIOBJ handle) {
    GdiObject* object = find_object(handle);
    return object && object->kind == ObjectKind::Brush ? static_cast<Brush*>(object) : nullptr;
}

Pen* find_pen(HGDIOBJ handle) {
    GdiObject* object = find_object(handle);
    return object && object->kind == ObjectKind::Pen ? static_cast<Pen*>(object) : nullptr;
}

Font* find_font(HGDIOBJ handle) {
    GdiObject* object = find_object(handle);
    return object && object->kind == ObjectKind::Font ? static_cast<Font*>(object) : nullptr;
}

Bitmap* find_bitmap(HGDIOBJ handle) {
    GdiObject* object = find_object(handle);
    return object && object->kind == ObjectKind::Bitmap ? static_cast<Bitmap*>(object) : nullptr;
}

bool destroy_object(HGDIOBJ handle) {
    GdiObject* object = find_object(handle);
    if (object == nullptr || object->stock || object->selections > 0) return false;
    objects().remove(handle);
    return true;
}

HGDIOBJ stock_object(int index) {
    if (index < 0 || index >= kStockCount) return nullptr;
    HGDIOBJ& handle = stock_handles()[static_cast<size_t>(index)];
    if (handle == nullptr) handle = make_stock(index);
    return handle;
}

HBITMAP default_bitmap() {
    static HBITMAP handle = nullptr;
    if (handle == nullptr) {
        auto bitmap = make_device_bitmap(1, 1, 1);
        bitmap->stock = true;
        handle = add_bitmap(std::move(bitmap));
    }
    return handle;
}

void mark_stock_object(HGDIOBJ handle) {
    if (GdiObject* object = find_object(handle)) object->stock = true;
}

LOGFONTA default_logfont() {
    LOGFONTA font{};
    // A negative height asks for the character height: 11 pixels of em square give a cell
    // of 13 pixels with this family's ascent and descent.
    font.lfHeight = -11;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = ANSI_CHARSET;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::strcpy(font.lfFaceName, "DejaVu Sans");
    return font;
}

} // namespace winapi::gdi
