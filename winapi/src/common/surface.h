// Pixels of one top-level window (or of a bitmap): 32-bit BGRA, rows top to bottom.
// Displays keep one surface per top-level window; child windows draw into their top-level
// window's surface through a device context with an origin and a clip rectangle.
#pragma once

#include <cstdint>
#include <vector>

namespace winapi {

struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB in memory order B, G, R, A

    void resize(int w, int h, uint32_t fill = 0xffffffff) {
        width = w < 0 ? 0 : w;
        height = h < 0 ? 0 : h;
        pixels.assign(static_cast<size_t>(width) * height, fill);
    }
    uint32_t* row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint32_t* row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
};

} // namespace winapi
