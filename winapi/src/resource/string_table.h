// String tables: strings are stored in blocks of sixteen; string id n lives in block
// n / 16 + 1 at position n % 16. Each position holds a WORD length and that many UTF-16
// characters, without a terminating zero; an empty position is a string that does not exist.
#pragma once

#include "common/internal_api.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace winapi::resource {

// The block (RT_STRING resource name) that holds string `id`, and the position in it.
inline uint16_t string_block_of(unsigned id) {
    return static_cast<uint16_t>((id & 0xffff) / 16 + 1);
}
inline unsigned string_position_of(unsigned id) {
    return id % 16;
}

// The string at `position` of a block, converted to code page 1252. Empty when the position
// is empty or the block ends before it; never reads outside [data, data + size).
LX_INTERNAL_API std::optional<std::string> string_from_block(const uint8_t* data, size_t size,
                                                             unsigned position);

} // namespace winapi::resource
