#include "dialog/dialog_template.h"

#include "resource/ansi_text.h"

#include <cstring>

namespace winapi::dialog {

namespace {

// Reads little-endian values from a template, failing (not crashing) at its end.
class TemplateReader {
  public:
    TemplateReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }
    size_t offset() const { return m_offset; }

    uint16_t word() {
        if (!take(2)) return 0;
        return static_cast<uint16_t>(m_data[m_offset - 2] | (m_data[m_offset - 1] << 8));
    }
    uint32_t dword() {
        uint32_t low = word();
        return low | (static_cast<uint32_t>(word()) << 16);
    }
    uint8_t byte() { return take(1) ? m_data[m_offset - 1] : 0; }
    short signed_word() { return static_cast<short>(word()); }

    // A zero-terminated UTF-16 string.
    std::string string() {
        size_t start = m_offset;
        size_t units = 0;
        while (ok() && word() != 0)
            ++units;
        return ok() ? resource::ansi_from_utf16le(m_data + start, units) : std::string();
    }

    // A string or, after 0xFFFF, an ordinal (returned in *ordinal, with an empty string).
    std::string string_or_ordinal(uint16_t* ordinal) {
        *ordinal = 0;
        size_t start = m_offset;
        uint16_t first = word();
        if (first == 0) return {};
        if (first == 0xFFFF) {
            *ordinal = word();
            return {};
        }
        m_offset = start;
        return string();
    }

    void align_dword() {
        size_t pad = (4 - m_offset % 4) % 4;
        take(pad);
    }

    std::vector<uint8_t> bytes(size_t count) {
        if (!take(count)) return {};
        return std::vector<uint8_t>(m_data + m_offset - count, m_data + m_offset);
    }

  private:
    bool take(size_t count) {
        if (!m_ok || (m_size && m_offset + count > m_size)) {
            m_ok = false;
            return false;
        }
        m_offset += count;
        return true;
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_offset = 0;
    bool m_ok = true;
};

// The predefined control classes that templates name by ordinal.
std::string class_for_ordinal(uint16_t ordinal) {
    switch (ordinal) {
    case 0x80:
        return "BUTTON";
    case 0x81:
        return "EDIT";
    case 0x82:
        return "STATIC";
    case 0x83:
        return "LISTBOX";
    case 0x84:
        return "SCROLLBAR";
    case 0x85:
        return "COMBOBOX";
    default:
        return "#" + std::to_string(ordinal);
    }
}

RECT read_rect(TemplateReader& in) {
    short x = in.signed_word();
    short y = in.signed_word();
    short cx = in.signed_word();
    short cy = in.signed_word();
    return RECT{x, y, x + cx, y + cy};
}

DialogItem read_item(TemplateReader& in, bool extended) {
    in.align_dword();
    DialogItem item;
    if (extended) {
        in.dword(); // help id
        item.ex_style = in.dword();
        item.style = in.dword();
        item.rect = read_rect(in);
        item.id = in.dword();
    } else {
        item.style = in.dword();
        item.ex_style = in.dword();
        item.rect = read_rect(in);
        item.id = in.word();
    }
    uint16_t ordinal = 0;
    item.class_name = in.string_or_ordinal(&ordinal);
    if (ordinal) item.class_name = class_for_ordinal(ordinal);
    item.title = in.string_or_ordinal(&ordinal);
    uint16_t extra = in.word();
    // In standard templates the count includes itself; in extended ones it does not.
    if (!extended && extra >= 2) extra = static_cast<uint16_t>(extra - 2);
    item.creation_data = in.bytes(extra);
    return item;
}

void read_header(TemplateReader& in, DialogTemplate* out) {
    if (out->extended) {
        in.word();  // version
        in.word();  // signature
        in.dword(); // help id
        out->ex_style = in.dword();
        out->style = in.dword();
    } else {
        out->style = in.dword();
        out->ex_style = in.dword();
    }
}

void read_font(TemplateReader& in, DialogTemplate* out) {
    if (!(out->style & (DS_SETFONT | DS_SHELLFONT))) return;
    out->has_font = true;
    out->font_points = in.word();
    if (out->extended) {
        out->font_weight = in.word();
        out->font_italic = in.byte() != 0;
        in.byte(); // character set
    }
    out->font_face = in.string();
}

} // namespace

bool parse_dialog_template(const void* data, size_t size, DialogTemplate* out) {
    if (!data || !out) return false;
    auto* bytes = static_cast<const uint8_t*>(data);
    TemplateReader in(bytes, size);
    *out = DialogTemplate{};
    out->extended = (size == 0 || size >= 4) && bytes[0] == 1 && bytes[1] == 0 &&
                    bytes[2] == 0xFF && bytes[3] == 0xFF;
    read_header(in, out);
    uint16_t count = in.word();
    out->rect = read_rect(in);
    uint16_t ordinal = 0;
    in.string_or_ordinal(&ordinal); // menu: dialogs here have no menu bar
    out->class_name = in.string_or_ordinal(&ordinal);
    if (ordinal) out->class_name = class_for_ordinal(ordinal);
    out->title = in.string();
    read_font(in, out);
    for (uint16_t i = 0; i < count && in.ok(); ++i)
        out->items.push_back(read_item(in, out->extended));
    return in.ok();
}

} // namespace winapi::dialog
