// A simple flow layout: words and embeds placed left to right in lines that wrap at the
// page width, each line as tall as its tallest member, everything sitting on the line's
// bottom. Hidden embeds take no room.
#pragma once

#include "page_document.h"

#include <functional>

namespace browser {

struct PlacedWord {
    RECT rect;
    size_t item; // index into PageDocument::items
};

struct PlacedEmbed {
    RECT rect;
    size_t embed; // index into PageDocument::embeds
};

struct PageLayout {
    std::vector<PlacedWord> words;
    std::vector<PlacedEmbed> embeds;
    int height = 0;
};

// The size of a word as drawn (bold or not).
using TextMeasure = std::function<SIZE(const std::string& text, bool bold)>;

// The size an embed gets when the page gives none.
constexpr int kDefaultEmbedWidth = 160;
constexpr int kDefaultEmbedHeight = 120;
constexpr int kPageMargin = 8;

PageLayout layout_page(const PageDocument& document, int width, const TextMeasure& measure);

} // namespace browser
