// Small rectangle helpers shared by the window manager. Rectangles are right/bottom
// exclusive, as everywhere in Win32.
#pragma once

#include <windef.h>

#include <algorithm>

namespace winapi::window {

inline bool rect_empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

inline RECT rect_intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (rect_empty(r)) r = RECT{};
    return r;
}

// The bounding rectangle of both; an empty rectangle adds nothing.
inline RECT rect_union(const RECT& a, const RECT& b) {
    if (rect_empty(a)) return rect_empty(b) ? RECT{} : b;
    if (rect_empty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

inline RECT rect_offset(RECT r, LONG dx, LONG dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
    return r;
}

inline bool rect_contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

inline bool rect_covers(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// `from` less `cut`, as a bounding rectangle: exact when `cut` removes a whole band along
// one edge, otherwise `from` is kept whole (a larger area than needed is never wrong for
// an update region, only slower to paint).
inline RECT rect_subtract(const RECT& from, const RECT& cut) {
    RECT overlap = rect_intersect(from, cut);
    if (rect_empty(overlap)) return from;
    if (rect_covers(cut, from)) return RECT{};
    RECT r = from;
    bool full_width = overlap.left == from.left && overlap.right == from.right;
    bool full_height = overlap.top == from.top && overlap.bottom == from.bottom;
    if (full_width && overlap.top == from.top)
        r.top = overlap.bottom;
    else if (full_width && overlap.bottom == from.bottom)
        r.bottom = overlap.top;
    else if (full_height && overlap.left == from.left)
        r.left = overlap.right;
    else if (full_height && overlap.right == from.right)
        r.right = overlap.left;
    return r;
}

} // namespace winapi::window
