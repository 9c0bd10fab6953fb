#include "resource/res_format.h"

#include "resource/ansi_text.h"
#include "resource/byte_reader.h"

namespace winapi::resource {

namespace {

// The fixed fields after the type and name: DataVersion, MemoryFlags, LanguageId, Version,
// Characteristics.
constexpr size_t fixed_tail_size = 16;
constexpr size_t smallest_header = 8 + 4 + 4 + fixed_tail_size;

size_t align4(size_t value) {
    return (value + 3) & ~size_t(3);
}

// Reads a type or name at `offset`, which must end before `end`; advances `offset` past it.
bool read_name(const uint8_t* data, size_t end, size_t& offset, ResName& name) {
    const ByteReader bytes(data, end);
    if (end - offset < 2) return false;
    if (bytes.u16(offset) == 0xffff) {
        if (end - offset < 4) return false;
        name = ResName::from_id(bytes.u16(offset + 2));
        offset += 4;
        return true;
    }
    std::u16string text;
    for (; end - offset >= 2; offset += 2) {
        char16_t unit = bytes.u16(offset);
        if (unit == 0) {
            offset += 2;
            name = ResName::from_text(std::move(text));
            return true;
        }
        text.push_back(unit);
    }
    return false;
}

// Parses the entry at `offset`; false when it is malformed or cut off. `next` receives the
// offset of the following entry.
bool parse_entry(const uint8_t* data, size_t size, size_t offset, ResEntry& entry, size_t& next) {
    if (size - offset < 8) return false;
    const ByteReader bytes(data, size);
    uint32_t data_size = bytes.u32(offset);
    uint32_t header_size = bytes.u32(offset + 4);
    if (header_size < smallest_header || header_size > size - offset) return false;
    size_t header_end = offset + header_size;
    size_t cursor = offset + 8;
    if (!read_name(data, header_end, cursor, entry.type)) return false;
    if (!read_name(data, header_end, cursor, entry.name)) return false;
    cursor = align4(cursor);
    if (cursor > header_end || header_end - cursor < fixed_tail_size) return false;
    entry.language = bytes.u16(cursor + 6);
    if (data_size > size - header_end) return false;
    entry.data = data + header_end;
    entry.size = data_size;
    next = align4(header_end + data_size);
    return true;
}

} // namespace

ResName ResName::from_text(std::u16string text) {
    return {false, 0, upper_case(std::move(text))};
}

ResParse parse_res(const uint8_t* data, size_t size) {
    ResParse result;
    size_t offset = 0;
    while (offset < size) {
        ResEntry entry;
        size_t next = 0;
        if (!parse_entry(data, size, offset, entry, next)) {
            result.complete = false;
            break;
        }
        if (!(entry.type.is_id && entry.type.id == 0)) result.entries.push_back(std::move(entry));
        offset = next;
    }
    return result;
}

} // namespace winapi::resource
