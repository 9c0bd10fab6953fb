#include "page_layout.h"

#include <algorithm>

namespace browser {

namespace {

struct Box {
    size_t index; // item or embed index
    bool embed;
    SIZE size;
    int x;
};

class LineBuilder {
  public:
    LineBuilder(PageLayout& layout, int width, int line_height, int space)
        : m_layout(layout), m_right(width - kPageMargin), m_line_height(line_height),
          m_space(space) {}

    void add(size_t index, bool embed, SIZE size) {
        int gap = m_boxes.empty() ? 0 : m_space;
        if (!m_boxes.empty() && m_x + gap + size.cx > m_right) {
            finish_line();
            gap = 0;
        }
        m_boxes.push_back(Box{index, embed, size, m_x + gap});
        m_x += gap + size.cx;
    }

    // Ends the line; `gap` more lines of blank space follow it (paragraphs).
    void finish_line(double gap = 0) {
        int height = m_line_height;
        for (const Box& box : m_boxes)
            height = std::max<int>(height, box.size.cy);
        int bottom = m_y + height;
        for (const Box& box : m_boxes) {
            RECT rect{box.x, bottom - box.size.cy, box.x + box.size.cx, bottom};
            if (box.embed)
                m_layout.embeds.push_back(PlacedEmbed{rect, box.index});
            else
                m_layout.words.push_back(PlacedWord{rect, box.index});
        }
        m_y = bottom + static_cast<int>(gap * m_line_height);
        m_boxes.clear();
        m_x = kPageMargin;
    }

    bool empty() const { return m_boxes.empty(); }
    int y() const { return m_y; }

  private:
    PageLayout& m_layout;
    int m_right;
    int m_line_height;
    int m_space;
    std::vector<Box> m_boxes;
    int m_x = kPageMargin;
    int m_y = kPageMargin;
};

} // namespace

PageLayout layout_page(const PageDocument& document, int width, const TextMeasure& measure) {
    PageLayout layout;
    SIZE space = measure(" ", false);
    LineBuilder line(layout, width, std::max<int>(space.cy, 1), space.cx);
    for (size_t i = 0; i < document.items.size(); ++i) {
        const PageItem& item = document.items[i];
        switch (item.kind) {
        case PageItem::Kind::Word:
            line.add(i, false, measure(item.text, item.bold));
            break;
        case PageItem::Kind::Break:
            line.finish_line();
            break;
        case PageItem::Kind::Paragraph:
            if (!line.empty()) line.finish_line(0.5);
            break;
        case PageItem::Kind::Embed: {
            const EmbedElement& embed = document.embeds[item.embed];
            if (embed.hidden()) break;
            SIZE size{embed.width(kDefaultEmbedWidth), embed.height(kDefaultEmbedHeight)};
            line.add(item.embed, true, size);
            break;
        }
        }
    }
    if (!line.empty()) line.finish_line();
    layout.height = line.y() + kPageMargin;
    return layout;
}

} // namespace browser
