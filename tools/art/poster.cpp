// The poster, drawn as a small scene: each sample point asks the layers from the back to the
// front what colour they put there.
#include "poster.h"

#include <algorithm>
#include <cmath>

namespace art {
namespace {

constexpr int kSamples = 4; // per pixel and axis
constexpr float kLanternX = 61.0f;
constexpr float kGlowY = 57.0f;
constexpr float kFilmHeight = 13.0f; // each of the two strips

struct Colour {
    float red;
    float green;
    float blue;
};

Colour mix(Colour a, Colour b, float t) {
    return {a.red + (b.red - a.red) * t, a.green + (b.green - a.green) * t,
            a.blue + (b.blue - a.blue) * t};
}

Colour scale(Colour c, float factor) {
    return {c.red * factor, c.green * factor, c.blue * factor};
}

bool in_rect(float x, float y, float left, float top, float right, float bottom) {
    return x >= left && x < right && y >= top && y < bottom;
}

// A rectangle whose corners are rounded with `radius`.
bool in_rounded_rect(float x, float y, float left, float top, float right, float bottom,
                     float radius) {
    if (!in_rect(x, y, left, top, right, bottom)) return false;
    float dx = std::max({left + radius - x, x - (right - radius), 0.0f});
    float dy = std::max({top + radius - y, y - (bottom - radius), 0.0f});
    return dx * dx + dy * dy <= radius * radius;
}

// A trapezoid centred on the lantern's axis, `top_half` wide at `top` and `bottom_half` wide
// at `bottom` (half widths).
bool in_trapezoid(float x, float y, float top, float bottom, float top_half, float bottom_half) {
    if (y < top || y >= bottom) return false;
    float half = top_half + (bottom_half - top_half) * (y - top) / (bottom - top);
    return std::fabs(x - kLanternX) < half;
}

// The play symbol: a triangle pointing right, given by its left edge and its tip.
bool in_play_triangle(float x, float y, float left, float top, float bottom, float tip) {
    if (x < left || x >= tip) return false;
    float middle = (top + bottom) / 2;
    float half = (bottom - top) / 2 * (tip - x) / (tip - left);
    return std::fabs(y - middle) < half;
}

// Night blue at the top to near black at the bottom, lit around the lantern by a warm glow
// with faint rays.
Colour background(float x, float y) {
    Colour sky = mix({24, 30, 68}, {6, 7, 18}, y / kPosterHeight);
    float dx = x - kLanternX, dy = y - kGlowY;
    float distance = std::sqrt(dx * dx + dy * dy);
    float glow = std::pow(std::clamp(1.0f - distance / 62.0f, 0.0f, 1.0f), 2.0f);
    float rays = 0.8f + 0.2f * std::cos(14.0f * std::atan2(dy, dx));
    return mix(sky, {250, 168, 72}, 0.6f * glow * rays);
}

// The film frame: dark strips along the top and bottom with sprocket holes that let the
// light through, and a thin edge where the strips meet the picture.
bool film(float x, float y, Colour* out) {
    const bool top = y < kFilmHeight;
    if (!top && y < kPosterHeight - kFilmHeight) return false;
    const float hole_y = top ? kFilmHeight / 2 : kPosterHeight - kFilmHeight / 2;
    const float hole_x = 7.0f + 12.0f * std::round((x - 7.0f) / 12.0f);
    if (in_rounded_rect(x, y, hole_x - 3.0f, hole_y - 2.5f, hole_x + 3.0f, hole_y + 2.5f, 1.3f)) {
        *out = {226, 218, 196};
        return true;
    }
    const bool edge = top ? y >= kFilmHeight - 1 : y < kPosterHeight - kFilmHeight + 1;
    *out = edge ? Colour{64, 66, 82} : Colour{20, 20, 25};
    return true;
}

// Polished brass, brightest a little left of the lantern's axis as if lit from the left.
Colour brass(float x, float shade) {
    float highlight = 1.0f - std::min(std::fabs(x - (kLanternX - 6.0f)) / 26.0f, 1.0f);
    return scale({196, 146, 60}, shade * (0.6f + 0.55f * highlight));
}

// The light inside the glass: pale yellow at its heart, deep amber at the panes' edges.
Colour glass_light(float x, float y) {
    float dx = (x - kLanternX) / 17.0f, dy = (y - kGlowY) / 22.0f;
    float t = std::clamp(std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
    return mix({255, 248, 214}, {232, 134, 34}, std::pow(t, 1.2f));
}

bool lantern(float x, float y, Colour* out) {
    float ring_dx = x - kLanternX, ring_dy = y - 21.5f;
    float ring = std::fabs(std::sqrt(ring_dx * ring_dx + ring_dy * ring_dy) - 5.5f);
    if (ring < 1.1f || in_rect(x, y, kLanternX - 3, 26, kLanternX + 3, 28.5f) ||
        in_trapezoid(x, y, 28, 36, 7, 17)) {
        *out = brass(x, 1.0f); // handle ring, knob and cap
    } else if (in_rounded_rect(x, y, 39, 36, 83, 40, 1.5f) ||
               in_rounded_rect(x, y, 39, 77, 83, 81, 1.5f)) {
        *out = brass(x, 0.85f); // the rims above and below the glass
    } else if (in_trapezoid(x, y, 81, 89, 18, 12)) {
        *out = brass(x, 0.75f); // the foot
    } else if (in_rect(x, y, 42, 40, 46, 77) || in_rect(x, y, 76, 40, 80, 77)) {
        *out = brass(x, 0.9f); // the posts that hold the glass
    } else if (in_play_triangle(x, y, 55, 47, 67, 71)) {
        *out = {122, 36, 18};
    } else if (in_rect(x, y, 46, 40, 76, 77)) {
        *out = glass_light(x, y);
    } else {
        return false;
    }
    return true;
}

Colour scene(float x, float y) {
    Colour colour;
    if (film(x, y, &colour) || lantern(x, y, &colour)) return colour;
    return background(x, y);
}

uint8_t to_byte(float value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 255.0f)));
}

} // namespace

RgbImage draw_poster() {
    RgbImage image{kPosterWidth, kPosterHeight, {}};
    image.pixels.reserve(kPosterWidth * kPosterHeight);
    const float weight = 1.0f / (kSamples * kSamples);
    for (int y = 0; y < kPosterHeight; ++y) {
        for (int x = 0; x < kPosterWidth; ++x) {
            Colour sum{0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    Colour c = scene(x + (sx + 0.5f) / kSamples, y + (sy + 0.5f) / kSamples);
                    sum = {sum.red + c.red, sum.green + c.green, sum.blue + c.blue};
                }
            }
            image.pixels.push_back({to_byte(sum.red * weight), to_byte(sum.green * weight),
                                    to_byte(sum.blue * weight)});
        }
    }
    return image;
}

} // namespace art
