// A page as the viewer shows it: a flat run of words, line breaks and embedded objects,
// taken from the HTML by gumbo. Only what the viewer lays out is kept: text (with bold and
// links), the elements that break lines, EMBED elements with all their attributes, the
// title and the body's colours.
#pragma once

#include <windef.h>

#include <string>
#include <utility>
#include <vector>

namespace browser {

struct EmbedElement {
    // Every attribute in document order, names as the page wrote them.
    std::vector<std::pair<std::string, std::string>> attributes;

    // The value of the first attribute of that name (compared without regard to case);
    // null when absent.
    const std::string* attribute(const char* name) const;
    bool hidden() const;
    // WIDTH and HEIGHT as given; `fallback` when missing or not a number.
    int width(int fallback) const;
    int height(int fallback) const;
};

struct PageItem {
    enum class Kind { Word, Break, Paragraph, Embed };
    Kind kind = Kind::Word;
    std::string text;   // Word
    bool bold = false;  // Word
    std::string link;   // Word inside <a href>: the href as written
    std::string target; // and its target attribute
    size_t embed = 0;   // Embed: index into PageDocument::embeds
};

struct PageDocument {
    std::string title;
    COLORREF background = RGB(255, 255, 255);
    COLORREF text_color = RGB(0, 0, 0);
    std::vector<PageItem> items;
    std::vector<EmbedElement> embeds;
    // Empty when the whole page is shown; else what was left out, in words (html_bounds.h).
    std::string cut_note;
};

// The page, within the bounds of html_bounds.h: what lies beyond them is left out, and the
// page ends with a paragraph that says so.
PageDocument parse_page(const std::string& html);

// A page of text only, for messages shown in place of a page that could not be opened.
PageDocument text_page(const std::string& title, const std::string& text);

// "#rrggbb", "rrggbb" or one of the sixteen basic colour names; `fallback` otherwise.
COLORREF parse_color(const std::string& text, COLORREF fallback);

} // namespace browser
