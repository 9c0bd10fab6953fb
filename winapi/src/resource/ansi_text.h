// Text conversion between the UTF-16 of resources and the ANSI code page of the A functions,
// which is Windows Latin-1 (code page 1252) here.
#pragma once

#include "common/internal_api.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace winapi::resource {

// The UTF-16 character for a code page 1252 byte.
char16_t utf16_from_ansi(unsigned char byte);

// Converts `units` little-endian UTF-16 code units (read byte-wise, so `bytes` needs no
// alignment) to code page 1252. A character the code page lacks becomes '?', a surrogate
// pair one '?'.
LX_INTERNAL_API std::string ansi_from_utf16le(const uint8_t* bytes, size_t units);

LX_INTERNAL_API std::u16string utf16_from_ansi(std::string_view text);

// Upper case for the Latin-1 range, enough to compare resource names the way Windows does
// for the names this code page can express.
char16_t upper_case(char16_t c);
std::u16string upper_case(std::u16string text);

} // namespace winapi::resource
