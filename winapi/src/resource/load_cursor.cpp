// LoadCursorA and DestroyCursor.
#include <winerror.h>
#include <winuser_resource.h>

#include "resource/cursor_cache.h"
#include "resource/cursor_image.h"
#include "resource/resource_index.h"
#include "resource/system_cursors.h"

namespace winapi::resource {

namespace {

HCURSOR load_system_cursor(LPCSTR name) {
    // The system provides its cursors by integer id only.
    std::optional<Cursor> image;
    if (IS_INTRESOURCE(name)) {
        if (HCURSOR shared = cached_cursor(0, ResName::from_id(LOWORD(name)))) return shared;
        image = system_cursor_image(LOWORD(name));
    }
    if (!image) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return add_shared_cursor(0, ResName::from_id(LOWORD(name)), std::move(*image));
}

// Decodes the module's cursor: the group names the images, one of which is decoded.
std::optional<Cursor> decode_module_cursor(const ModuleResources& resources, const ResName& name) {
    const ResEntry* group = find_entry(resources, ResName::from_id(12), name, 0);
    if (!group) return std::nullopt;
    std::optional<uint16_t> image_id = choose_cursor_image(group->data, group->size);
    const ResEntry* image =
        image_id ? find_entry(resources, ResName::from_id(1), ResName::from_id(*image_id), 0)
                 : nullptr;
    std::optional<Cursor> cursor =
        image ? decode_cursor_resource(image->data, image->size) : std::nullopt;
    if (!cursor) SetLastError(ERROR_INVALID_DATA);
    return cursor;
}

} // namespace

} // namespace winapi::resource

using namespace winapi::resource;

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    if (!hInstance) return load_system_cursor(lpCursorName);
    const ModuleResources* resources = module_resources(hInstance);
    if (!resources) return nullptr;
    std::optional<ResName> name = lpCursorName ? name_from_argument(lpCursorName) : std::nullopt;
    if (!name) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    if (HCURSOR shared = cached_cursor(resources->base, *name)) return shared;
    std::optional<Cursor> cursor = decode_module_cursor(*resources, *name);
    if (!cursor) return nullptr;
    return add_shared_cursor(resources->base, *name, std::move(*cursor));
}

BOOL WINAPI DestroyCursor(HCURSOR hCursor) {
    // Every cursor of this layer is shared, and shared cursors outlive DestroyCursor.
    if (!find_cursor(hCursor)) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    return TRUE;
}
