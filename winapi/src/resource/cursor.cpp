#include "resource/cursor.h"

#include <winapi/desktop.h>

#include "common/handle_table.h"
#include "resource/cursor_cache.h"

#include <map>
#include <mutex>
#include <tuple>

namespace winapi::resource {

namespace {

// Tag of cursor handle values ('C'), which keeps them apart from other kinds of handles.
constexpr uintptr_t cursor_handle_tag = 0x43;

using CursorKey = std::tuple<uintptr_t, bool, uint16_t, std::u16string>;

struct CursorTable {
    std::mutex mutex;
    HandleTable<Cursor> cursors{cursor_handle_tag};
    std::map<CursorKey, uintptr_t> shared;
};

CursorTable& table() {
    static CursorTable instance;
    return instance;
}

CursorKey key_of(uintptr_t module_base, const ResName& name) {
    return {module_base, name.is_id, name.id, name.text};
}

} // namespace

const Cursor* find_cursor(HCURSOR cursor) {
    CursorTable& cursors = table();
    std::lock_guard lock(cursors.mutex);
    return cursors.cursors.find(cursor);
}

HCURSOR cached_cursor(uintptr_t module_base, const ResName& name) {
    CursorTable& cursors = table();
    std::lock_guard lock(cursors.mutex);
    auto it = cursors.shared.find(key_of(module_base, name));
    return it == cursors.shared.end() ? nullptr : reinterpret_cast<HCURSOR>(it->second);
}

HCURSOR add_shared_cursor(uintptr_t module_base, const ResName& name, Cursor cursor) {
    CursorTable& cursors = table();
    std::lock_guard lock(cursors.mutex);
    uintptr_t value = cursors.cursors.add(std::make_unique<Cursor>(std::move(cursor)));
    cursors.shared[key_of(module_base, name)] = value;
    return reinterpret_cast<HCURSOR>(value);
}

void forget_module_cursors(uintptr_t module_base) {
    CursorTable& cursors = table();
    std::lock_guard lock(cursors.mutex);
    std::erase_if(cursors.shared,
                  [&](const auto& entry) { return std::get<0>(entry.first) == module_base; });
}

} // namespace winapi::resource

bool winapi::desktop::cursor_image(HCURSOR handle, CursorImage* image) {
    const winapi::resource::Cursor* cursor = winapi::resource::find_cursor(handle);
    if (!cursor || !image) return false;
    image->width = cursor->width;
    image->height = cursor->height;
    image->hot_spot = cursor->hot_spot;
    image->pixels = cursor->pixels;
    return true;
}
