// Pages beyond the bounds the viewer keeps to: nesting too deep for the parser (and for a
// walk of its tree), elements with thousands of attributes. Such a page shows what lies
// within the bounds and ends with a note that says the rest was cut; ordinary pages, with
// the end tags HTML lets them leave out, are shown whole.
#include "html_bounds.h"
#include "page_document.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace browser;
using ::testing::HasSubstr;

namespace {

std::string repeat(const std::string& text, size_t count) {
    std::string result;
    result.reserve(text.size() * count);
    for (size_t i = 0; i < count; ++i)
        result += text;
    return result;
}

std::vector<std::string> words(const PageDocument& document) {
    std::vector<std::string> result;
    for (const PageItem& item : document.items)
        if (item.kind == PageItem::Kind::Word) result.push_back(item.text);
    return result;
}

TEST(PageBounds, FiftyThousandNestedSpansAreCutAndTheTopIsShown) {
    std::string html =
        "<p>before " + repeat("<span>", 50000) + "deep" + repeat("</span>", 50000) + " after";
    PageDocument document = parse_page(html);
    EXPECT_THAT(document.cut_note, HasSubstr("cut"));
    std::vector<std::string> shown = words(document);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), "before");
    // The text inside the cut part is not there; the note ends the page.
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "deep"), 0);
    EXPECT_EQ(shown.back(), "deep.");
}

TEST(PageBounds, FiveThousandNestedTablesAreCut) {
    std::string html = "<embed src=a.mov>" + repeat("<table><tr><td>", 5000) + "x";
    PageDocument document = parse_page(html);
    EXPECT_THAT(document.cut_note, HasSubstr("more than 256 deep"));
    // What came before the deep part is there.
    ASSERT_EQ(document.embeds.size(), 1u);
}

TEST(PageBounds, ElementWithFortyThousandAttributesKeepsTheFirst256) {
    std::string html = "<embed src=a.mov type=video/quicktime";
    for (int i = 0; i < 40000; ++i)
        html += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    html += "> after";
    PageDocument document = parse_page(html);
    ASSERT_EQ(document.embeds.size(), 1u);
    const EmbedElement& embed = document.embeds[0];
    ASSERT_EQ(embed.attributes.size(), kMaxAttributes);
    EXPECT_EQ(embed.attributes[0].first, "src");
    EXPECT_EQ(embed.attributes[1].second, "video/quicktime");
    EXPECT_EQ(embed.attributes.back().first, "a253");
    EXPECT_THAT(document.cut_note, HasSubstr("more than 256 attributes"));
    // The text after the element is still part of the page.
    std::vector<std::string> shown = words(document);
    EXPECT_NE(std::find(shown.begin(), shown.end(), "after"), shown.end());
}

TEST(PageBounds, OrdinaryPagesWithOmittedEndTagsAreWhole) {
    // Thousands of list items, paragraphs, rows and cells without end tags nest nothing.
    std::string html = "<ul>" + repeat("<li>item", 3000) + "</ul>" + repeat("<p>para", 3000) +
                       "<table>" + repeat("<tr><td>a<td>b", 3000) + "</table>" +
                       repeat("<div>", 200) + "inner" + repeat("</div>", 200) + "<dl>" +
                       repeat("<dt>t<dd>d", 1000) + "</dl>" + "<embed src=end.mov>";
    PageDocument document = parse_page(html);
    EXPECT_EQ(document.cut_note, "");
    EXPECT_EQ(document.embeds.size(), 1u);
    std::vector<std::string> shown = words(document);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "inner"), 1);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "item"), 3000);
}

TEST(PageBounds, TagsInsideScriptsCommentsAndQuotesAreNotCounted) {
    std::string html = "<script>" + repeat("<div>", 1000) + "</script><!--" +
                       repeat("<div>", 1000) + "--><embed src=a.mov alt=\"" +
                       repeat("<div>", 1000) + "\">shown";
    PageDocument document = parse_page(html);
    EXPECT_EQ(document.cut_note, "");
    ASSERT_EQ(document.embeds.size(), 1u);
    EXPECT_EQ(words(document), std::vector<std::string>{"shown"});
}

TEST(PageBounds, CutHappensBeforeTheFirstElementTooDeep) {
    BoundedHtml bounded = bound_html(repeat("<div>", 300) + "text");
    EXPECT_EQ(bounded.html, repeat("<div>", kMaxNestingDepth));
    EXPECT_FALSE(bounded.note.empty());
    BoundedHtml within = bound_html(repeat("<div>", 256) + "text");
    EXPECT_EQ(within.html, repeat("<div>", 256) + "text");
    EXPECT_EQ(within.note, "");
}

} // namespace
