#include "menu/menu_template.h"

#include <winerror.h>
#include <winuser_menu.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "menu/menu.h"

namespace winapi::menu {

namespace {

// Nesting deeper than this is taken as a damaged template rather than a real menu.
constexpr int kMaxDepth = 16;

// In an extended template: the item opens a submenu / is the last item of its level.
constexpr WORD kExPopup = 0x01;
constexpr WORD kExLast = 0x80;

// Reads little-endian values from the template, never past its end. Offsets are kept from
// the template's start because the extended format aligns items to that start.
class TemplateReader {
  public:
    TemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    bool seek(size_t offset) {
        if (offset > m_size) return false;
        m_pos = offset;
        return true;
    }
    bool word(WORD& out) {
        if (m_size - m_pos < 2) return false;
        out = static_cast<WORD>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return true;
    }
    bool dword(DWORD& out) {
        WORD low, high;
        if (!word(low) || !word(high)) return false;
        out = low | (static_cast<DWORD>(high) << 16);
        return true;
    }
    // A zero-terminated UTF-16 text, converted to the ANSI code page. Code units of Latin-1
    // keep their value; anything else has no ANSI form and becomes '?'.
    bool text(std::string& out) {
        out.clear();
        for (WORD unit; word(unit);) {
            if (unit == 0) return true;
            out += unit < 0x100 ? static_cast<char>(unit) : '?';
        }
        return false;
    }
    bool align_dword() { return seek((m_pos + 3) & ~static_cast<size_t>(3)); }
    size_t position() const { return m_pos; }

  private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// Appends to `menu` a new submenu for a pop-up item and returns its handle.
HMENU add_popup(Menu& menu, UINT flags, std::string text) {
    HMENU submenu = create_menu(true);
    MenuItem item;
    item.flags = (flags & kItemFlagMask) | MF_POPUP;
    item.id = reinterpret_cast<UINT_PTR>(submenu);
    item.text = std::move(text);
    item.submenu = submenu;
    menu.items.push_back(std::move(item));
    return submenu;
}

// Reads one level of a standard template into `handle`: items until the one marked MF_END,
// each pop-up item directly followed by its own level.
bool read_standard_level(TemplateReader& in, HMENU handle, int depth) {
    if (depth > kMaxDepth) return false;
    for (;;) {
        WORD option = 0, id = 0;
        std::string text;
        if (!in.word(option)) return false;
        bool popup = option & MF_POPUP;
        if (!popup && !in.word(id)) return false;
        if (!in.text(text)) return false;
        UINT flags = option & ~(MF_END | MF_POPUP);
        Menu& menu = *find_menu(handle);
        if (popup) {
            if (!read_standard_level(in, add_popup(menu, flags, std::move(text)), depth + 1))
                return false;
        } else {
            // A separator is written as an item with no id and no text.
            if (id == 0 && text.empty() && !(flags & (MF_BITMAP | MF_OWNERDRAW)))
                flags |= MF_SEPARATOR;
            MenuItem item;
            item.flags = flags & kItemFlagMask;
            item.id = id;
            item.text = std::move(text);
            menu.items.push_back(std::move(item));
        }
        if (option & MF_END) return true;
    }
}

// Reads one level of an extended template; each item starts on a DWORD boundary.
bool read_extended_level(TemplateReader& in, HMENU handle, int depth) {
    if (depth > kMaxDepth) return false;
    for (;;) {
        DWORD type = 0, state = 0, id = 0, help_id = 0;
        WORD res_info = 0;
        std::string text;
        if (!in.align_dword() || !in.dword(type) || !in.dword(state) || !in.dword(id) ||
            !in.word(res_info) || !in.text(text) || !in.align_dword())
            return false;
        UINT flags = (type | state) & ~MF_POPUP;
        Menu& menu = *find_menu(handle);
        if (res_info & kExPopup) {
            if (!in.dword(help_id)) return false;
            if (!read_extended_level(in, add_popup(menu, flags, std::move(text)), depth + 1))
                return false;
        } else {
            MenuItem item;
            item.flags = flags & kItemFlagMask;
            item.id = id;
            if (!(flags & MF_SEPARATOR)) item.text = std::move(text);
            menu.items.push_back(std::move(item));
        }
        if (res_info & kExLast) return true;
    }
}

bool read_template(TemplateReader& in, HMENU handle) {
    WORD version = 0, offset = 0;
    if (!in.word(version) || !in.word(offset)) return false;
    // Both headers give the distance to the first item from the end of their offset field.
    if (!in.seek(in.position() + offset)) return false;
    if (version == 0) return read_standard_level(in, handle, 0);
    if (version == 1) return read_extended_level(in, handle, 0);
    return false;
}

} // namespace

HMENU load_menu_template(const void* data, size_t size) {
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    TemplateReader in(static_cast<const BYTE*>(data), size);
    HMENU handle = create_menu(false);
    if (!read_template(in, handle)) {
        destroy_menu(handle);
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return handle;
}

} // namespace winapi::menu
