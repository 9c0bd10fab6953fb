// Median-cut palette reduction.
#include "palette.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>

namespace art {
namespace {

using Channels = std::array<int, 3>;

Channels channels(Rgb colour) {
    return {colour.red, colour.green, colour.blue};
}

// A box of colours: the pixels it holds, and which channel spans the widest range in it.
struct Box {
    std::vector<Channels> pixels;
    int widest_channel = 0;
    int range = 0;
};

void measure(Box* box) {
    box->range = -1;
    for (int channel = 0; channel < 3; ++channel) {
        int low = 255, high = 0;
        for (const Channels& pixel : box->pixels) {
            low = std::min(low, pixel[channel]);
            high = std::max(high, pixel[channel]);
        }
        if (high - low > box->range) {
            box->range = high - low;
            box->widest_channel = channel;
        }
    }
}

// Splits the box at the median of its widest channel; the upper half is returned. The sort
// is stable, so equal inputs always give equal palettes.
Box split(Box* box) {
    const int channel = box->widest_channel;
    std::stable_sort(
        box->pixels.begin(), box->pixels.end(),
        [channel](const Channels& a, const Channels& b) { return a[channel] < b[channel]; });
    const auto middle = box->pixels.begin() + static_cast<std::ptrdiff_t>(box->pixels.size() / 2);
    Box upper;
    upper.pixels.assign(middle, box->pixels.end());
    box->pixels.erase(middle, box->pixels.end());
    measure(box);
    measure(&upper);
    return upper;
}

// The box most worth splitting: the widest range, weighted by how many pixels it holds.
Box* box_to_split(std::vector<Box>& boxes) {
    Box* best = nullptr;
    double best_weight = 0;
    for (Box& box : boxes) {
        if (box.pixels.size() < 2 || box.range == 0) continue;
        double weight = static_cast<double>(box.range) * static_cast<double>(box.pixels.size());
        if (weight > best_weight) {
            best_weight = weight;
            best = &box;
        }
    }
    return best;
}

Rgb average(const Box& box) {
    Channels sum{0, 0, 0};
    for (const Channels& pixel : box.pixels) {
        for (int channel = 0; channel < 3; ++channel)
            sum[channel] += pixel[channel];
    }
    const int count = static_cast<int>(box.pixels.size());
    auto mean = [count](int total) { return static_cast<uint8_t>((total + count / 2) / count); };
    return Rgb{mean(sum[0]), mean(sum[1]), mean(sum[2])};
}

uint8_t nearest_entry(const std::vector<Rgb>& palette, Rgb colour) {
    int best = 0;
    int best_distance = std::numeric_limits<int>::max();
    const Channels wanted = channels(colour);
    for (size_t entry = 0; entry < palette.size(); ++entry) {
        const Channels candidate = channels(palette[entry]);
        int distance = 0;
        for (int channel = 0; channel < 3; ++channel) {
            int difference = candidate[channel] - wanted[channel];
            distance += difference * difference;
        }
        if (distance < best_distance) {
            best_distance = distance;
            best = static_cast<int>(entry);
        }
    }
    return static_cast<uint8_t>(best);
}

} // namespace

IndexedImage reduce_to_palette(const RgbImage& picture, int colours) {
    IndexedImage result{picture.width, picture.height, {}, {}};
    if (picture.pixels.empty()) return result;
    colours = std::clamp(colours, 1, 256);

    std::vector<Box> boxes(1);
    for (Rgb pixel : picture.pixels)
        boxes[0].pixels.push_back(channels(pixel));
    measure(&boxes[0]);
    while (static_cast<int>(boxes.size()) < colours) {
        Box* box = box_to_split(boxes);
        if (!box) break;
        Box upper = split(box);
        boxes.push_back(std::move(upper));
    }

    for (const Box& box : boxes)
        result.palette.push_back(average(box));
    result.indices.reserve(picture.pixels.size());
    for (Rgb pixel : picture.pixels)
        result.indices.push_back(nearest_entry(result.palette, pixel));
    return result;
}

} // namespace art
