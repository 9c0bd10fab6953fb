#include "gdi/stretch_copy.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace winapi::gdi {

namespace {

// One axis of a transfer: destination pixels [lo, hi) and the source pixel each one takes
// (-1 where it falls outside the source).
struct AxisMap {
    LONG lo = 0;
    LONG hi = 0;
    std::vector<int> source;
};

// Samples the source at the centre of every destination pixel: destination pixel i of n
// takes source pixel floor((i + 1/2) * m / n) of m, counted from the far end when mirrored.
AxisMap map_axis(int64_t dest_start, int64_t dest_len, int64_t src_start, int64_t src_len,
                 LONG clip_lo, LONG clip_hi, int src_limit) {
    bool mirror = (dest_len < 0) != (src_len < 0);
    if (dest_len < 0) {
        dest_start += dest_len;
        dest_len = -dest_len;
    }
    if (src_len < 0) {
        src_start += src_len;
        src_len = -src_len;
    }
    AxisMap map;
    map.lo = static_cast<LONG>(std::max<int64_t>(dest_start, clip_lo));
    map.hi = static_cast<LONG>(std::min<int64_t>(dest_start + dest_len, clip_hi));
    if (map.hi <= map.lo || src_len == 0) {
        map.hi = map.lo;
        return map;
    }
    map.source.resize(static_cast<size_t>(map.hi - map.lo));
    if (dest_len == src_len && !mirror) {
        // Equal extents map pixel to pixel: no division per pixel for the common case of a
        // picture shown at its own size.
        for (LONG d = map.lo; d < map.hi; ++d) {
            int64_t s = src_start + (d - dest_start);
            map.source[static_cast<size_t>(d - map.lo)] = (s < 0 || s >= src_limit) ? -1 : int(s);
        }
        return map;
    }
    for (LONG d = map.lo; d < map.hi; ++d) {
        int64_t i = d - dest_start;
        // Far-off rectangles can make this product exceed 64 bits.
        auto k = static_cast<int64_t>((__int128(2 * i + 1) * src_len) / (2 * dest_len));
        int64_t s = src_start + (mirror ? src_len - 1 - k : k);
        map.source[static_cast<size_t>(d - map.lo)] = (s < 0 || s >= src_limit) ? -1 : int(s);
    }
    return map;
}

// A 32-bit copy of the source rows a transfer reads, for transfers within one buffer, so
// that pixels already written are never read again as source.
struct Snapshot {
    std::vector<uint32_t> pixels;
    PixelBuffer view;
};

void take_snapshot(const PixelBuffer& source, const AxisMap& rows, Snapshot& snapshot) {
    snapshot.pixels.assign(static_cast<size_t>(source.width) * source.height, 0);
    for (int y : rows.source) {
        if (y < 0) continue;
        uint32_t* out = snapshot.pixels.data() + static_cast<size_t>(y) * source.width;
        for (int x = 0; x < source.width; ++x)
            out[x] = source.get(x, y);
    }
    snapshot.view = PixelBuffer{};
    snapshot.view.top = reinterpret_cast<uint8_t*>(snapshot.pixels.data());
    snapshot.view.pitch = static_cast<ptrdiff_t>(source.width) * 4;
    snapshot.view.width = source.width;
    snapshot.view.height = source.height;
    snapshot.view.bpp = 32;
    snapshot.view.monochrome = source.monochrome;
}

uint32_t read_source(const PixelBuffer& source, const PixelBuffer& dest, int x, int y,
                     const MonochromeColors& colors) {
    uint32_t rgb = source.get(x, y);
    if (!colors.convert || source.monochrome == dest.monochrome) return rgb;
    if (source.monochrome) return rgb == 0 ? colors.dest_text : colors.dest_background;
    return rgb == colors.source_background ? 0xffffffu : 0u;
}

// Whether the columns are one unbroken run of source pixels in order, as when a picture is
// shown at its own size; the first source column, or -1.
int contiguous_start(const AxisMap& columns) {
    const std::vector<int>& source = columns.source;
    if (source.empty() || source.front() < 0) return -1;
    for (size_t i = 1; i < source.size(); ++i)
        if (source[i] != source[0] + static_cast<int>(i)) return -1;
    return source.front();
}

// Four pixels in the compilers' portable vector type: a row is copied a block at a time, as
// the plain loop is left scalar at the optimisation level the libraries build with.
typedef uint32_t PixelBlock __attribute__((vector_size(16)));

// A row of an unstretched copy, with the destination's alpha put into every pixel.
void copy_row_32(uint8_t* to, const uint8_t* from, size_t count, uint32_t alpha) {
    const PixelBlock colour = {0xffffffu, 0xffffffu, 0xffffffu, 0xffffffu};
    const PixelBlock opaque = {alpha, alpha, alpha, alpha};
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        PixelBlock block;
        std::memcpy(&block, from + i * 4, sizeof block);
        block = (block & colour) | opaque;
        std::memcpy(to + i * 4, &block, sizeof block);
    }
    for (; i < count; ++i) {
        uint32_t value;
        std::memcpy(&value, from + i * 4, 4);
        value = (value & 0xffffffu) | alpha;
        std::memcpy(to + i * 4, &value, 4);
    }
}

// The common case of movie frames and back buffers: a plain copy between 32-bit buffers.
void copy_32(const PixelBuffer& dest, const PixelBuffer& source, const AxisMap& columns,
             const AxisMap& rows) {
    int run = contiguous_start(columns);
    for (LONG y = rows.lo; y < rows.hi; ++y) {
        int sy = rows.source[static_cast<size_t>(y - rows.lo)];
        if (sy < 0) continue;
        const uint8_t* from = source.row(sy);
        uint8_t* to = dest.row(y);
        if (run >= 0) {
            copy_row_32(to + static_cast<ptrdiff_t>(columns.lo) * 4,
                        from + static_cast<ptrdiff_t>(run) * 4,
                        static_cast<size_t>(columns.hi - columns.lo), dest.alpha);
            continue;
        }
        for (LONG x = columns.lo; x < columns.hi; ++x) {
            int sx = columns.source[static_cast<size_t>(x - columns.lo)];
            if (sx < 0) continue;
            uint32_t value;
            std::memcpy(&value, from + static_cast<ptrdiff_t>(sx) * 4, 4);
            value = (value & 0xffffffu) | dest.alpha;
            std::memcpy(to + static_cast<ptrdiff_t>(x) * 4, &value, 4);
        }
    }
}

} // namespace

void stretch_copy(const Target& dest, SignedRect dest_rect, const PixelBuffer& source,
                  SignedRect source_rect, DWORD rop, uint32_t pattern,
                  const MonochromeColors& colors) {
    AxisMap columns = map_axis(dest_rect.x, dest_rect.width, source_rect.x, source_rect.width,
                               dest.clip.left, dest.clip.right, source.width);
    AxisMap rows = map_axis(dest_rect.y, dest_rect.height, source_rect.y, source_rect.height,
                            dest.clip.top, dest.clip.bottom, source.height);
    if (columns.hi <= columns.lo || rows.hi <= rows.lo) return;

    Snapshot snapshot;
    const PixelBuffer* from = &source;
    if (source.top == dest.pixels.top) {
        take_snapshot(source, rows, snapshot);
        from = &snapshot.view;
    }
    const PixelBuffer& px = dest.pixels;
    uint8_t index = rop3_index(rop);
    bool copy = rop == SRCCOPY;
    if (copy && from->bpp == 32 && px.bpp == 32) {
        copy_32(px, *from, columns, rows);
        return;
    }
    for (LONG y = rows.lo; y < rows.hi; ++y) {
        int sy = rows.source[static_cast<size_t>(y - rows.lo)];
        if (sy < 0) continue;
        for (LONG x = columns.lo; x < columns.hi; ++x) {
            int sx = columns.source[static_cast<size_t>(x - columns.lo)];
            if (sx < 0) continue;
            uint32_t s = read_source(*from, px, sx, sy, colors);
            px.put(x, y, copy ? s : apply_rop3(index, pattern, s, px.get(x, y)));
        }
    }
}

} // namespace winapi::gdi
