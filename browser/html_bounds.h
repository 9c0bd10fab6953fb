// The limits a page's HTML is held to before the HTML parser sees it. The parser's time and
// memory grow much faster than the page for very deep nesting (thousands of open tables)
// and for elements with thousands of attributes, so the viewer hands over only a page that
// stays within these bounds: the HTML is cut before the first element that nests too deep,
// and an element keeps only its first attributes. What was cut is said, so the user knows
// the page is not shown whole.
#pragma once

#include <cstddef>
#include <string>

namespace browser {

// Elements open at once, counted the way the parser will nest them, as far as a quick look
// at the tags can tell (end tags that HTML lets a page leave out are taken into account).
constexpr size_t kMaxNestingDepth = 256;
// Attributes kept on one element.
constexpr size_t kMaxAttributes = 256;

struct BoundedHtml {
    std::string html; // the page, cut to the bounds
    std::string note; // empty when nothing was cut; else what was cut, in words
};

BoundedHtml bound_html(const std::string& html);

} // namespace browser
