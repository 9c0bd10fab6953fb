#include "gdi/surface_dc.h"

#include "gdi/device_context.h"

namespace winapi::gdi {

HDC open_surface_dc(Surface* surface, POINT origin, RECT clip) {
    if (surface == nullptr) return nullptr;
    auto dc = std::make_unique<DeviceContext>();
    dc->memory = false;
    dc->surface = surface;
    dc->origin = origin;
    dc->clip = clip;
    return add_dc(std::move(dc));
}

void close_surface_dc(HDC handle) {
    DeviceContext* dc = find_dc(handle);
    if (dc == nullptr || dc->memory) return;
    destroy_dc(handle);
}

} // namespace winapi::gdi
