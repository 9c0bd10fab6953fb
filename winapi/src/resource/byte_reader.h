// Little-endian numbers read out of a block of resource bytes. Resource formats (.res
// entries, bitmap and cursor headers, version trees) store every number little-endian
// whatever the machine, and their data comes from files that may be cut short or crafted: a
// read that would pass the end of the block answers 0 instead of reading beyond it. Callers
// still check sizes where a short block must be refused; the reader makes sure a missed check
// cannot read out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>

namespace winapi::resource {

class ByteReader {
  public:
    ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    // Whether `count` bytes from `offset` lie inside the block.
    bool has(size_t offset, size_t count) const {
        return offset <= m_size && m_size - offset >= count;
    }

    uint16_t u16(size_t offset) const {
        if (!has(offset, 2)) return 0;
        const uint8_t* p = m_data + offset;
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }

    uint32_t u32(size_t offset) const {
        if (!has(offset, 4)) return 0;
        const uint8_t* p = m_data + offset;
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    }

  private:
    const uint8_t* m_data;
    size_t m_size;
};

// The fields of a DIB's info header (BITMAPINFOHEADER) that bitmap and cursor resources
// check, as stored: each reader decides what it accepts.
struct InfoHeaderFields {
    uint32_t header_size;
    int32_t width;
    int32_t height;
    uint16_t bit_count;
    uint32_t compression;
    uint32_t colours_used;
};

inline InfoHeaderFields read_info_header(const ByteReader& bytes) {
    return {bytes.u32(0),
            static_cast<int32_t>(bytes.u32(4)),
            static_cast<int32_t>(bytes.u32(8)),
            bytes.u16(14),
            bytes.u32(16),
            bytes.u32(32)};
}

} // namespace winapi::resource
