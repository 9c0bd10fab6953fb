// The standard compiled resource format (.res), as the resource compiler writes it and as it
// is embedded in our modules: a sequence of entries, each a header (data size, header size,
// type, name, data version, memory flags, language, version, characteristics) followed by the
// data, both DWORD aligned. The first entry is an empty one that marks the format.
#pragma once

#include "common/internal_api.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace winapi::resource {

// A resource type or name: an integer id, or a string kept in upper case so that lookups
// ignore case.
struct ResName {
    bool is_id = true;
    uint16_t id = 0;
    std::u16string text;

    static ResName from_id(uint16_t id) { return {true, id, {}}; }
    LX_INTERNAL_API static ResName from_text(std::u16string text);
    bool operator==(const ResName& other) const {
        return is_id == other.is_id && (is_id ? id == other.id : text == other.text);
    }
};

struct ResEntry {
    ResName type;
    ResName name;
    uint16_t language = 0;
    const uint8_t* data = nullptr; // points into the parsed buffer
    uint32_t size = 0;
};

struct ResParse {
    std::vector<ResEntry> entries;
    // False when the data ended inside an entry or held an impossible header; the entries
    // before that point are still returned.
    bool complete = true;
};

// Parses a .res image. Never reads outside [data, data + size); every returned entry's data
// lies inside it. Empty entries (type 0) are skipped.
LX_INTERNAL_API ResParse parse_res(const uint8_t* data, size_t size);

} // namespace winapi::resource
