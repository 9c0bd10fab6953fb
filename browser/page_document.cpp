#include "page_document.h"

#include "html_bounds.h"

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace browser {

namespace {

// How deep the walk follows the parser's tree. The HTML handed to the parser is already
// bounded (html_bounds.h); the parser may still nest a little deeper than the tags say (it
// adds the elements a page leaves out), and this keeps the walk on the stack whatever it
// does.
constexpr int kMaxWalkDepth = 4 * static_cast<int>(kMaxNestingDepth);

struct Context {
    int depth = 0;
    bool bold = false;
    std::string link;
    std::string target;
};

const char* attribute_value(const GumboElement& element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
    return attribute ? attribute->value : nullptr;
}

bool breaks_paragraph(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_P:
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_H1:
    case GUMBO_TAG_H2:
    case GUMBO_TAG_H3:
    case GUMBO_TAG_H4:
    case GUMBO_TAG_H5:
    case GUMBO_TAG_H6:
    case GUMBO_TAG_UL:
    case GUMBO_TAG_OL:
    case GUMBO_TAG_TABLE:
    case GUMBO_TAG_CENTER:
    case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_PRE:
    case GUMBO_TAG_HR:
        return true;
    default:
        return false;
    }
}

bool breaks_line(GumboTag tag) {
    return tag == GUMBO_TAG_BR || tag == GUMBO_TAG_LI || tag == GUMBO_TAG_TR ||
           tag == GUMBO_TAG_DT || tag == GUMBO_TAG_DD;
}

bool is_bold(GumboTag tag) {
    return tag == GUMBO_TAG_B || tag == GUMBO_TAG_STRONG || tag == GUMBO_TAG_H1 ||
           tag == GUMBO_TAG_H2 || tag == GUMBO_TAG_H3 || tag == GUMBO_TAG_TH;
}

bool is_skipped(GumboTag tag) {
    return tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || tag == GUMBO_TAG_NOEMBED ||
           tag == GUMBO_TAG_TEMPLATE;
}

class Builder {
  public:
    explicit Builder(PageDocument& document) : m_document(document) {}

    // Whether part of the tree lay too deep to be walked.
    bool cut() const { return m_cut; }

    void visit(const GumboNode* node, const Context& context) {
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
            node->type == GUMBO_NODE_CDATA) {
            add_words(node->v.text.text, context);
        } else if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
            visit_element(node->v.element, context);
        }
    }

  private:
    void add(PageItem::Kind kind) {
        // A page does not start with empty lines, and paragraph gaps do not pile up.
        if (m_document.items.empty()) return;
        if (kind == PageItem::Kind::Paragraph &&
            m_document.items.back().kind == PageItem::Kind::Paragraph)
            return;
        m_document.items.push_back(PageItem{kind, {}, false, {}, {}, 0});
    }

    void add_words(const char* text, const Context& context) {
        const char* p = text;
        while (*p) {
            while (*p && std::isspace(static_cast<unsigned char>(*p)))
                ++p;
            const char* start = p;
            while (*p && !std::isspace(static_cast<unsigned char>(*p)))
                ++p;
            if (p == start) continue;
            PageItem word{PageItem::Kind::Word, std::string(start, p), context.bold,
                          context.link,         context.target,        0};
            m_document.items.push_back(std::move(word));
        }
    }

    void add_embed(const GumboElement& element) {
        EmbedElement embed;
        for (unsigned i = 0; i < element.attributes.length; ++i) {
            auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
            std::string name(attribute->original_name.data, attribute->original_name.length);
            if (name.empty()) name = attribute->name;
            embed.attributes.emplace_back(std::move(name), attribute->value);
        }
        PageItem item{PageItem::Kind::Embed, {}, false, {}, {}, m_document.embeds.size()};
        m_document.embeds.push_back(std::move(embed));
        m_document.items.push_back(std::move(item));
    }

    void visit_element(const GumboElement& element, Context context) {
        GumboTag tag = element.tag;
        if (tag == GUMBO_TAG_TITLE) {
            read_title(element);
            return;
        }
        if (tag == GUMBO_TAG_BODY) read_body(element);
        if (is_skipped(tag)) return;
        if (tag == GUMBO_TAG_EMBED) {
            add_embed(element);
            return;
        }
        if (++context.depth > kMaxWalkDepth) {
            m_cut = true;
            return;
        }
        if (is_bold(tag)) context.bold = true;
        if (tag == GUMBO_TAG_A) {
            if (const char* href = attribute_value(element, "href")) context.link = href;
            if (const char* target = attribute_value(element, "target")) context.target = target;
        }
        if (breaks_paragraph(tag)) add(PageItem::Kind::Paragraph);
        if (breaks_line(tag)) add(PageItem::Kind::Break);
        for (unsigned i = 0; i < element.children.length; ++i)
            visit(static_cast<const GumboNode*>(element.children.data[i]), context);
        if (breaks_paragraph(tag)) add(PageItem::Kind::Paragraph);
    }

    void read_title(const GumboElement& element) {
        for (unsigned i = 0; i < element.children.length; ++i) {
            auto* child = static_cast<const GumboNode*>(element.children.data[i]);
            if (child->type == GUMBO_NODE_TEXT) m_document.title += child->v.text.text;
        }
    }

    void read_body(const GumboElement& element) {
        if (const char* color = attribute_value(element, "bgcolor"))
            m_document.background = parse_color(color, m_document.background);
        if (const char* color = attribute_value(element, "text"))
            m_document.text_color = parse_color(color, m_document.text_color);
    }

    PageDocument& m_document;
    bool m_cut = false;
};

// Ends the page with a paragraph that says what was left out.
void add_cut_note(PageDocument& document, const std::string& note) {
    document.cut_note = note;
    document.items.push_back(PageItem{PageItem::Kind::Paragraph, {}, false, {}, {}, 0});
    PageDocument said = text_page("", note);
    for (PageItem& word : said.items) {
        word.bold = true;
        document.items.push_back(std::move(word));
    }
}

int number_attribute(const EmbedElement& embed, const char* name, int fallback) {
    const std::string* value = embed.attribute(name);
    if (!value || value->empty()) return fallback;
    char* end = nullptr;
    long number = std::strtol(value->c_str(), &end, 10);
    if (end == value->c_str() || number < 0) return fallback;
    // Percentages and other units are not laid out; the number is taken as pixels.
    return static_cast<int>(std::min<long>(number, 4096));
}

} // namespace

const std::string* EmbedElement::attribute(const char* name) const {
    for (const auto& [key, value] : attributes)
        if (strcasecmp(key.c_str(), name) == 0) return &value;
    return nullptr;
}

bool EmbedElement::hidden() const {
    const std::string* value = attribute("HIDDEN");
    // HIDDEN alone hides; HIDDEN=FALSE is the one value that does not.
    return value && strcasecmp(value->c_str(), "false") != 0;
}

int EmbedElement::width(int fallback) const {
    return number_attribute(*this, "WIDTH", fallback);
}

int EmbedElement::height(int fallback) const {
    return number_attribute(*this, "HEIGHT", fallback);
}

PageDocument parse_page(const std::string& html) {
    PageDocument document;
    BoundedHtml bounded = bound_html(html);
    GumboOutput* output =
        gumbo_parse_with_options(&kGumboDefaultOptions, bounded.html.data(), bounded.html.size());
    Builder builder(document);
    builder.visit(output->root, Context{});
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    auto& title = document.title;
    std::replace_if(
        title.begin(), title.end(), [](char c) { return c == '\n' || c == '\t'; }, ' ');
    if (bounded.note.empty() && builder.cut())
        bounded.note = "The rest of this page was cut: it nests elements too deep.";
    if (!bounded.note.empty()) add_cut_note(document, bounded.note);
    return document;
}

PageDocument text_page(const std::string& title, const std::string& text) {
    PageDocument document;
    document.title = title;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        if (end > start)
            document.items.push_back(
                PageItem{PageItem::Kind::Word, text.substr(start, end - start), false, {}, {}, 0});
        start = end + 1;
    }
    return document;
}

COLORREF parse_color(const std::string& text, COLORREF fallback) {
    static const struct {
        const char* name;
        COLORREF color;
    } kNames[] = {
        {"black", RGB(0, 0, 0)},       {"silver", RGB(192, 192, 192)}, {"gray", RGB(128, 128, 128)},
        {"white", RGB(255, 255, 255)}, {"maroon", RGB(128, 0, 0)},     {"red", RGB(255, 0, 0)},
        {"purple", RGB(128, 0, 128)},  {"fuchsia", RGB(255, 0, 255)},  {"green", RGB(0, 128, 0)},
        {"lime", RGB(0, 255, 0)},      {"olive", RGB(128, 128, 0)},    {"yellow", RGB(255, 255, 0)},
        {"navy", RGB(0, 0, 128)},      {"blue", RGB(0, 0, 255)},       {"teal", RGB(0, 128, 128)},
        {"aqua", RGB(0, 255, 255)},
    };
    for (const auto& entry : kNames)
        if (strcasecmp(text.c_str(), entry.name) == 0) return entry.color;
    std::string hex = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (hex.size() != 6 || !std::all_of(hex.begin(), hex.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c));
        }))
        return fallback;
    unsigned long value = std::strtoul(hex.c_str(), nullptr, 16);
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

} // namespace browser
