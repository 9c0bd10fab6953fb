#include "resource/string_table.h"

#include "resource/ansi_text.h"

namespace winapi::resource {

std::optional<std::string> string_from_block(const uint8_t* data, size_t size, unsigned position) {
    size_t offset = 0;
    for (unsigned index = 0;; ++index) {
        if (size - offset < 2) return std::nullopt;
        size_t length = static_cast<size_t>(data[offset] | (data[offset + 1] << 8));
        offset += 2;
        if ((size - offset) / 2 < length) return std::nullopt;
        if (index == position) {
            if (length == 0) return std::nullopt;
            return ansi_from_utf16le(data + offset, length);
        }
        offset += length * 2;
    }
}

} // namespace winapi::resource
