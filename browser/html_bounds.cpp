#include "html_bounds.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>
#include <vector>

namespace browser {

namespace {

bool one_of(const std::string& name, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* candidate) { return name == candidate; });
}

// Elements that never hold anything: they open nothing to nest in.
bool is_void(const std::string& name) {
    return one_of(name, {"area",  "base",   "basefont", "bgsound", "br",     "col",    "embed",
                         "frame", "hr",     "img",      "input",   "keygen", "link",   "meta",
                         "param", "source", "spacer",   "track",   "wbr",    "isindex"});
}

// Elements whose content is text up to their end tag, never tags.
bool is_raw_text(const std::string& name) {
    return one_of(name,
                  {"script", "style", "textarea", "title", "xmp", "iframe", "noembed", "noframes"});
}

// Block elements, whose start closes an open paragraph.
bool closes_paragraph(const std::string& name) {
    return one_of(name, {"address", "article", "aside",    "blockquote", "center", "details", "dir",
                         "div",     "dl",      "fieldset", "figure",     "footer", "form",    "h1",
                         "h2",      "h3",      "h4",       "h5",         "h6",     "header",  "hr",
                         "li",      "main",    "menu",     "nav",        "ol",     "p",       "pre",
                         "section", "table",   "ul"});
}

// Elements a container starts afresh: lists, tables and menus hold their own items.
bool is_container(const std::string& name) {
    return one_of(name, {"table", "ul", "ol", "dl", "select", "html"});
}

// The open elements that a start tag of `name` ends, when a page leaves their end tags out:
// a new list item ends the open one, a new cell the open cell, and so on.
std::vector<const char*> implied_ends(const std::string& name) {
    if (name == "li") return {"li"};
    if (name == "dt" || name == "dd") return {"dt", "dd"};
    if (name == "td" || name == "th") return {"td", "th"};
    if (name == "tr") return {"tr"};
    if (name == "thead" || name == "tbody" || name == "tfoot") return {"thead", "tbody", "tfoot"};
    if (name == "option" || name == "optgroup") return {"option"};
    return {};
}

struct StartTag {
    std::string name;
    size_t end = 0;        // just past its '>' (or the end of the page)
    size_t attributes = 0; // how many it has
    size_t keep_until = 0; // where the attributes that are kept end
    bool self_closing = false;
};

class Scanner {
  public:
    explicit Scanner(const std::string& html) : m_in(html) {}

    BoundedHtml run() {
        size_t pos = 0;
        while ((pos = m_in.find('<', pos)) != std::string::npos) {
            if (!step(pos)) return std::move(m_out);
        }
        m_out.html.append(m_in, m_copied);
        return std::move(m_out);
    }

  private:
    // Handles the markup at `pos` (a '<') and moves past it; false once the page is cut.
    bool step(size_t& pos) {
        if (m_in.compare(pos, 4, "<!--") == 0) {
            pos = past(m_in.find("-->", pos + 4), 3);
        } else if (pos + 1 < m_in.size() && (m_in[pos + 1] == '!' || m_in[pos + 1] == '?')) {
            pos = past(m_in.find('>', pos), 1);
        } else if (pos + 1 < m_in.size() && m_in[pos + 1] == '/') {
            size_t name_end = pos + 2;
            close(read_name(name_end));
            pos = past(m_in.find('>', name_end), 1);
        } else if (pos + 1 < m_in.size() &&
                   std::isalpha(static_cast<unsigned char>(m_in[pos + 1]))) {
            return start_tag(pos);
        } else {
            ++pos;
        }
        return true;
    }

    bool start_tag(size_t& pos) {
        StartTag tag = read_start_tag(pos);
        if (!open(tag)) {
            m_out.html.append(m_in, m_copied, pos - m_copied);
            m_out.note = "The rest of this page was cut: it nests elements more than " +
                         std::to_string(kMaxNestingDepth) + " deep.";
            return false;
        }
        if (tag.attributes > kMaxAttributes) {
            m_out.html.append(m_in, m_copied, tag.keep_until - m_copied);
            m_out.html += tag.self_closing ? "/>" : ">";
            m_copied = tag.end;
            if (m_out.note.empty())
                m_out.note = "Part of this page was cut: an element has more than " +
                             std::to_string(kMaxAttributes) + " attributes.";
        }
        pos = tag.end;
        // Text elements end at their own end tag; what looks like tags inside is text.
        if (is_raw_text(tag.name) && !tag.self_closing) pos = raw_text_end(tag.name, pos);
        return true;
    }

    // Takes a start tag into the open elements; false when it would nest too deep.
    bool open(const StartTag& tag) {
        if (is_void(tag.name) || is_raw_text(tag.name) || tag.self_closing) return true;
        if (closes_paragraph(tag.name) && !m_open.empty() && m_open.back() == "p")
            m_open.pop_back();
        std::vector<const char*> ends = implied_ends(tag.name);
        for (size_t i = m_open.size(); i-- > 0 && !ends.empty();) {
            if (is_container(m_open[i])) break;
            if (std::find(ends.begin(), ends.end(), m_open[i]) != ends.end()) {
                m_open.resize(i);
                break;
            }
        }
        if (m_open.size() >= kMaxNestingDepth) return false;
        m_open.push_back(tag.name);
        return true;
    }

    void close(const std::string& name) {
        for (size_t i = m_open.size(); i-- > 0;) {
            if (m_open[i] == name) {
                m_open.resize(i);
                return;
            }
        }
    }

    StartTag read_start_tag(size_t pos) {
        StartTag tag;
        size_t at = pos + 1;
        tag.name = read_name(at);
        tag.keep_until = at;
        while (at < m_in.size() && m_in[at] != '>') {
            unsigned char c = static_cast<unsigned char>(m_in[at]);
            if (std::isspace(c) || c == '/') {
                tag.self_closing = c == '/';
                ++at;
                continue;
            }
            tag.self_closing = false;
            skip_attribute(at);
            if (++tag.attributes <= kMaxAttributes) tag.keep_until = at;
        }
        tag.end = past(at < m_in.size() ? at : std::string::npos, 1);
        return tag;
    }

    // Moves past one attribute: its name, and its value when it has one.
    void skip_attribute(size_t& at) {
        ++at; // the first character belongs to the name, even an '='
        while (at < m_in.size() && !std::strchr(" \t\n\r\f/>=", m_in[at]))
            ++at;
        size_t after_name = at;
        while (at < m_in.size() && std::isspace(static_cast<unsigned char>(m_in[at])))
            ++at;
        if (at >= m_in.size() || m_in[at] != '=') {
            at = after_name;
            return;
        }
        ++at;
        while (at < m_in.size() && std::isspace(static_cast<unsigned char>(m_in[at])))
            ++at;
        if (at < m_in.size() && (m_in[at] == '"' || m_in[at] == '\'')) {
            size_t quote = m_in.find(m_in[at], at + 1);
            at = quote == std::string::npos ? m_in.size() : quote + 1;
            return;
        }
        while (at < m_in.size() && !std::isspace(static_cast<unsigned char>(m_in[at])) &&
               m_in[at] != '>')
            ++at;
    }

    // A tag name at `at`, in lower case; `at` moves past it.
    std::string read_name(size_t& at) {
        std::string name;
        while (at < m_in.size() && !std::strchr(" \t\n\r\f/>", m_in[at]))
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(m_in[at++])));
        return name;
    }

    size_t raw_text_end(const std::string& name, size_t from) {
        std::string end = "</" + name;
        for (size_t at = m_in.find("</", from); at != std::string::npos;
             at = m_in.find("</", at + 2)) {
            if (strncasecmp(m_in.c_str() + at, end.c_str(), end.size()) == 0) return at;
        }
        return m_in.size();
    }

    // The position `length` past `found`, or the end of the page when nothing was found.
    size_t past(size_t found, size_t length) const {
        return found == std::string::npos ? m_in.size() : found + length;
    }

    const std::string& m_in;
    size_t m_copied = 0;
    std::vector<std::string> m_open;
    BoundedHtml m_out;
};

} // namespace

BoundedHtml bound_html(const std::string& html) {
    return Scanner(html).run();
}

} // namespace browser
