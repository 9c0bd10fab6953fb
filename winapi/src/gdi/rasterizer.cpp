#include "gdi/rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace winapi::gdi {

namespace {

// On and off lengths, in pixels, of the cosmetic line styles.
struct DashPattern {
    const int* lengths;
    int count;
};

DashPattern dash_pattern(int style) {
    static const int dash[] = {18, 6};
    static const int dot[] = {3, 3};
    static const int dash_dot[] = {9, 6, 3, 6};
    static const int dash_dot_dot[] = {9, 3, 3, 3, 3, 3};
    static const int alternate[] = {1, 1};
    switch (style) {
    case PS_DASH:
        return {dash, 2};
    case PS_DOT:
        return {dot, 2};
    case PS_DASHDOT:
        return {dash_dot, 4};
    case PS_DASHDOTDOT:
        return {dash_dot_dot, 6};
    case PS_ALTERNATE:
        return {alternate, 2};
    default:
        return {nullptr, 0};
    }
}

// Whether the pixel at `phase` of a styled line is drawn (inside an "on" length).
bool dash_on(const DashPattern& pattern, int phase) {
    int period = 0;
    for (int i = 0; i < pattern.count; ++i)
        period += pattern.lengths[i];
    int position = phase % period;
    for (int i = 0; i < pattern.count; ++i) {
        if (position < pattern.lengths[i]) return (i % 2) == 0;
        position -= pattern.lengths[i];
    }
    return true;
}

// Paints a round pen of the stroke's width centred on (x, y).
void stamp(const Target& target, int x, int y, int width, uint32_t rgb) {
    if (width <= 1) {
        plot(target, x, y, rgb);
        return;
    }
    // An even width has its centre between pixels; the pen covers the pixels whose centres
    // lie within half the width of it.
    double centre = (width % 2 == 0) ? 0.5 : 0.0;
    double radius = width / 2.0;
    int low = -(width - 1) / 2;
    int high = width / 2;
    for (int dy = low; dy <= high; ++dy) {
        for (int dx = low; dx <= high; ++dx) {
            double fx = dx - centre, fy = dy - centre;
            if (fx * fx + fy * fy <= radius * radius + 0.25) plot(target, x + dx, y + dy, rgb);
        }
    }
}

void draw_point(const Target& target, int x, int y, Stroke& stroke, const DashPattern& pattern) {
    bool on = pattern.count == 0 || dash_on(pattern, stroke.phase);
    ++stroke.phase;
    if (on) {
        stamp(target, x, y, stroke.width, stroke.rgb);
    } else if (stroke.opaque_gaps) {
        stamp(target, x, y, stroke.width, stroke.gap_rgb);
    }
}

struct Crossing {
    double x;
    int direction;
};

// Where the edges cross the horizontal line through pixel centres of row y.
void row_crossings(const POINT* points, size_t count, double yc, std::vector<Crossing>& out) {
    out.clear();
    for (size_t i = 0; i < count; ++i) {
        POINT a = points[i];
        POINT b = points[(i + 1) % count];
        if (a.y == b.y) continue;
        bool down = a.y < b.y;
        double y0 = down ? a.y : b.y, y1 = down ? b.y : a.y;
        if (yc < y0 || yc >= y1) continue;
        double x = a.x + (yc - a.y) * double(b.x - a.x) / double(b.y - a.y);
        out.push_back({x, down ? 1 : -1});
    }
    std::sort(out.begin(), out.end(),
              [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
}

// Fills the pixels of row y whose centres lie in [x0, x1).
void fill_span(const Target& target, int y, double x0, double x1, uint32_t rgb) {
    int first = static_cast<int>(std::ceil(x0 - 0.5));
    int last = static_cast<int>(std::ceil(x1 - 0.5)); // exclusive
    fill_rect(target, RECT{first, y, last, y + 1}, rgb);
}

} // namespace

RECT intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

bool rect_empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

RECT ordered_rect(POINT a, POINT b) {
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

uint32_t apply_rop3(uint8_t index, uint32_t pattern, uint32_t source, uint32_t dest) {
    uint32_t result = 0;
    for (int term = 0; term < 8; ++term) {
        if (((index >> term) & 1u) == 0) continue;
        uint32_t p = (term & 4) ? pattern : ~pattern;
        uint32_t s = (term & 2) ? source : ~source;
        uint32_t d = (term & 1) ? dest : ~dest;
        result |= p & s & d;
    }
    return result & 0xffffffu;
}

bool rop_uses_source(DWORD rop) {
    uint8_t index = rop3_index(rop);
    return ((index >> 2) & 0x33u) != (index & 0x33u);
}

bool rop_uses_pattern(DWORD rop) {
    uint8_t index = rop3_index(rop);
    return ((index >> 4) & 0x0fu) != (index & 0x0fu);
}

void fill_rect(const Target& target, const RECT& rect, uint32_t rgb) {
    RECT r = intersect(rect, target.clip);
    if (rect_empty(r)) return;
    const PixelBuffer& px = target.pixels;
    if (px.bpp == 32) {
        uint32_t value = (rgb & 0xffffffu) | px.alpha;
        for (int y = r.top; y < r.bottom; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(px.row(y));
            std::fill(row + r.left, row + r.right, value);
        }
        return;
    }
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            px.put(x, y, rgb);
}

void pattern_rect(const Target& target, const RECT& rect, uint32_t pattern, uint8_t rop_index) {
    if (rop_index == rop3_index(PATCOPY)) {
        fill_rect(target, rect, pattern);
        return;
    }
    RECT r = intersect(rect, target.clip);
    if (rect_empty(r)) return;
    const PixelBuffer& px = target.pixels;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            px.put(x, y, apply_rop3(rop_index, pattern, 0, px.get(x, y)));
}

void plot(const Target& target, int x, int y, uint32_t rgb) {
    if (target.inside(x, y)) target.pixels.put(x, y, rgb);
}

void blend(const Target& target, int x, int y, uint32_t rgb, uint32_t coverage) {
    if (coverage == 0 || !target.inside(x, y)) return;
    if (coverage >= 255) {
        target.pixels.put(x, y, rgb);
        return;
    }
    uint32_t dest = target.pixels.get(x, y);
    uint32_t mixed = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int d = static_cast<int>((dest >> shift) & 0xffu);
        int s = static_cast<int>((rgb >> shift) & 0xffu);
        int value = d + ((s - d) * static_cast<int>(coverage) + 127) / 255;
        mixed |= static_cast<uint32_t>(value) << shift;
    }
    target.pixels.put(x, y, mixed);
}

namespace {

// Lines longer than this are first cut to the neighbourhood of the clip, so that a line to a
// far-away point costs no more than one across the buffer. Shorter lines are stepped whole,
// which keeps their pixels exactly those of the unclipped line.
constexpr int64_t kLongLine = 1 << 16;

// Cuts the segment to `area` (Liang-Barsky); false when nothing of it lies inside.
bool cut_to(POINT& from, POINT& to, const RECT& area) {
    double x0 = from.x, y0 = from.y, dx = double(to.x) - from.x, dy = double(to.y) - from.y;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - area.left, area.right - x0, y0 - area.top, area.bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
    from = POINT{LONG(std::lround(x0 + t0 * dx)), LONG(std::lround(y0 + t0 * dy))};
    to = POINT{LONG(std::lround(x0 + t1 * dx)), LONG(std::lround(y0 + t1 * dy))};
    return true;
}

} // namespace

void draw_line(const Target& target, POINT from, POINT to, Stroke& stroke, bool include_last) {
    if (std::llabs(int64_t(to.x) - from.x) + std::llabs(int64_t(to.y) - from.y) > kLongLine) {
        LONG margin = stroke.width + 2;
        RECT area{target.clip.left - margin, target.clip.top - margin, target.clip.right + margin,
                  target.clip.bottom + margin};
        if (!cut_to(from, to, area)) return;
        include_last = true;
    }
    DashPattern pattern = stroke.width <= 1 ? dash_pattern(stroke.line_style) : DashPattern{};
    bool wide = stroke.width > 1;
    int64_t x = from.x, y = from.y;
    int64_t dx = std::llabs(int64_t(to.x) - from.x), dy = -std::llabs(int64_t(to.y) - from.y);
    int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
    int64_t error = dx + dy;
    for (;;) {
        if (x == to.x && y == to.y) {
            if (include_last || wide) draw_point(target, int(x), int(y), stroke, pattern);
            return;
        }
        draw_point(target, int(x), int(y), stroke, pattern);
        int64_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void fill_polygon(const Target& target, const POINT* points, size_t count, uint32_t rgb,
                  bool winding) {
    if (count < 3) return;
    LONG top = points[0].y, bottom = points[0].y;
    for (size_t i = 1; i < count; ++i) {
        top = std::min(top, points[i].y);
        bottom = std::max(bottom, points[i].y);
    }
    top = std::max(top, target.clip.top);
    bottom = std::min(bottom, target.clip.bottom);
    std::vector<Crossing> crossings;
    for (LONG y = top; y < bottom; ++y) {
        row_crossings(points, count, y + 0.5, crossings);
        if (!winding) {
            for (size_t i = 0; i + 1 < crossings.size(); i += 2)
                fill_span(target, y, crossings[i].x, crossings[i + 1].x, rgb);
            continue;
        }
        int depth = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            depth += crossings[i].direction;
            if (depth != 0) fill_span(target, y, crossings[i].x, crossings[i + 1].x, rgb);
        }
    }
}

} // namespace winapi::gdi
