#include "gdi/device_context.h"

#include <winerror.h>

#include <algorithm>
#include <cstdlib>

#include "common/handle_table.h"
#include "gdi/bitmap.h"
#include "gdi/gdi_object.h"

namespace winapi::gdi {

namespace {

// Handle values of device contexts carry this tag ('D').
constexpr uintptr_t kContextTag = 0x44;

// Wider pens are drawn at this width: the round stamp costs the square of the width per
// pixel of line, and nothing the layer draws needs more.
constexpr LONG kMaxPenWidth = 255;

// Never destroyed, like the object table: windows may close their contexts while the process
// ends.
HandleTable<DeviceContext>& contexts() {
    static auto* table = new HandleTable<DeviceContext>(kContextTag);
    return *table;
}

// Counts one more holder of an object; a bitmap remembers the context that holds it.
void hold(HGDIOBJ handle, HDC owner) {
    GdiObject* object = find_object(handle);
    if (object == nullptr) return;
    ++object->selections;
    if (object->kind == ObjectKind::Bitmap && !object->stock)
        static_cast<Bitmap*>(object)->owner = owner;
}

void release(HGDIOBJ handle) {
    GdiObject* object = find_object(handle);
    if (object == nullptr || object->selections == 0) return;
    --object->selections;
    if (object->kind == ObjectKind::Bitmap && object->selections == 0)
        static_cast<Bitmap*>(object)->owner = nullptr;
}

void hold_state(const DcState& state, HDC owner) {
    hold(state.pen, owner);
    hold(state.brush, owner);
    hold(state.font, owner);
    hold(state.bitmap, owner);
}

void release_state(const DcState& state) {
    release(state.pen);
    release(state.brush);
    release(state.font);
    release(state.bitmap);
}

// Swaps one selected handle for another, keeping the holder counts right.
template <typename Handle>
HGDIOBJ swap_selected(Handle& slot, HGDIOBJ object, HDC owner) {
    HGDIOBJ previous = slot;
    hold(object, owner);
    release(previous);
    slot = static_cast<Handle>(object);
    return previous;
}

} // namespace

HDC add_dc(std::unique_ptr<DeviceContext> dc) {
    DcState& state = dc->state;
    state.pen = static_cast<HPEN>(stock_object(BLACK_PEN));
    state.brush = static_cast<HBRUSH>(stock_object(WHITE_BRUSH));
    state.font = static_cast<HFONT>(stock_object(SYSTEM_FONT));
    state.bitmap = dc->memory ? default_bitmap() : nullptr;
    DcState initial = state;
    HDC handle = reinterpret_cast<HDC>(contexts().add(std::move(dc)));
    hold_state(initial, handle);
    return handle;
}

DeviceContext* find_dc(HDC handle) {
    if (handle == nullptr) return nullptr;
    return contexts().find(handle);
}

DeviceContext* get_dc(HDC handle) {
    DeviceContext* dc = find_dc(handle);
    if (dc == nullptr) SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

void destroy_dc(HDC handle) {
    std::unique_ptr<DeviceContext> dc = contexts().remove(handle);
    if (!dc) return;
    release_state(dc->state);
    for (const DcState& saved : dc->saved)
        release_state(saved);
}

HGDIOBJ select_object(HDC handle, DeviceContext& dc, HGDIOBJ object) {
    GdiObject* target = find_object(object);
    if (target == nullptr) return nullptr;
    switch (target->kind) {
    case ObjectKind::Pen:
        return swap_selected(dc.state.pen, object, handle);
    case ObjectKind::Brush:
        return swap_selected(dc.state.brush, object, handle);
    case ObjectKind::Font:
        return swap_selected(dc.state.font, object, handle);
    case ObjectKind::Bitmap: {
        // Bitmaps go only into memory contexts, and into one context at a time (the shared
        // default bitmap excepted).
        auto* bitmap = static_cast<Bitmap*>(target);
        if (!dc.memory) return nullptr;
        if (!bitmap->stock && bitmap->owner != nullptr && bitmap->owner != handle) return nullptr;
        return swap_selected(dc.state.bitmap, object, handle);
    }
    }
    return nullptr;
}

int save_state(HDC handle, DeviceContext& dc) {
    dc.saved.push_back(dc.state);
    hold_state(dc.state, handle);
    return static_cast<int>(dc.saved.size());
}

bool restore_state(DeviceContext& dc, int level) {
    int depth = static_cast<int>(dc.saved.size());
    if (level < 0) level = depth + 1 + level;
    if (level < 1 || level > depth) return false;
    // The restored state's holds pass to the current state; the current state and every
    // state saved after the restored one let go of theirs.
    release_state(dc.state);
    for (int i = depth - 1; i >= level; --i)
        release_state(dc.saved[static_cast<size_t>(i)]);
    dc.state = dc.saved[static_cast<size_t>(level - 1)];
    dc.saved.resize(static_cast<size_t>(level - 1));
    return true;
}

bool dc_target(DeviceContext& dc, Target& target) {
    if (dc.memory) {
        Bitmap* bitmap = find_bitmap(dc.state.bitmap);
        if (bitmap == nullptr) return false;
        target.pixels = bitmap->pixels();
        target.clip = RECT{0, 0, bitmap->width, bitmap->height};
        return true;
    }
    Surface* surface = dc.surface;
    if (surface == nullptr || surface->pixels.size() < size_t(surface->width) * surface->height)
        return false;
    PixelBuffer& px = target.pixels;
    px = PixelBuffer{};
    px.top = reinterpret_cast<uint8_t*>(surface->pixels.data());
    px.pitch = static_cast<ptrdiff_t>(surface->width) * 4;
    px.width = surface->width;
    px.height = surface->height;
    px.bpp = 32;
    px.alpha = 0xff000000u;
    target.clip = intersect(dc.clip, RECT{0, 0, surface->width, surface->height});
    return true;
}

POINT to_target(const DeviceContext& dc, POINT logical) {
    POINT device = dc.state.mapping.to_device(logical);
    int64_t x = device.x, y = device.y;
    if (!dc.memory) {
        x += dc.origin.x;
        y += dc.origin.y;
    }
    return POINT{static_cast<LONG>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX)),
                 static_cast<LONG>(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX))};
}

RECT rect_to_target(const DeviceContext& dc, POINT a, POINT b) {
    return ordered_rect(to_target(dc, a), to_target(dc, b));
}

bool stroke_for_pen(const DeviceContext& dc, Stroke& stroke) {
    const Pen* pen = find_pen(dc.state.pen);
    // A geometric pen with a hollow brush draws nothing, like the null pen.
    if (pen == nullptr || pen->line_style() == PS_NULL || pen->brush_style == BS_NULL) return false;
    LONG width = 1;
    if (pen->width > 1) {
        width = std::labs(dc.state.mapping.width_to_device(pen->width));
        width = std::clamp<LONG>(width, 1, kMaxPenWidth);
    }
    stroke = Stroke{};
    stroke.rgb = rgb_from_colorref(pen->color);
    stroke.width = static_cast<int>(width);
    // Styled lines exist only one pixel wide; a wider styled pen draws solid.
    stroke.line_style = width == 1 ? pen->line_style() : PS_SOLID;
    stroke.opaque_gaps = dc.state.background_mode == OPAQUE;
    stroke.gap_rgb = rgb_from_colorref(dc.state.background_color);
    return true;
}

bool brush_color(const DeviceContext& dc, uint32_t& rgb) {
    const Brush* brush = find_brush(dc.state.brush);
    if (brush == nullptr || brush->log.lbStyle == BS_NULL) return false;
    rgb = rgb_from_colorref(brush->log.lbColor);
    return true;
}

} // namespace winapi::gdi
