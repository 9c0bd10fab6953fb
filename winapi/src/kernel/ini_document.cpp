#include "kernel/ini_document.h"

#include <algorithm>

namespace winapi::kernel {
namespace {

enum class LineKind { other, section, entry };

struct ParsedLine {
    LineKind kind = LineKind::other;
    std::string_view name;
    std::string_view value;
};

std::string_view trim(std::string_view text) {
    constexpr std::string_view blanks = " \t\r";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool same_name(std::string_view a, std::string_view b) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}

ParsedLine parse_line(std::string_view text) {
    ParsedLine parsed;
    std::string_view line = trim(text);
    if (line.empty() || line[0] == ';') return parsed;
    if (line[0] == '[') {
        size_t close = line.find(']');
        if (close == std::string_view::npos) return parsed;
        parsed.kind = LineKind::section;
        parsed.name = trim(line.substr(1, close - 1));
        return parsed;
    }
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return parsed;
    parsed.name = trim(line.substr(0, equals));
    if (parsed.name.empty()) return parsed;
    parsed.kind = LineKind::entry;
    parsed.value = trim(line.substr(equals + 1));
    return parsed;
}

} // namespace

IniDocument::IniDocument(std::string_view bytes) {
    bool newline_known = false;
    while (!bytes.empty()) {
        size_t end = bytes.find('\n');
        Line line;
        if (end == std::string_view::npos) {
            line.text = std::string(bytes);
            bytes = {};
        } else {
            bool crlf = end > 0 && bytes[end - 1] == '\r';
            line.text = std::string(bytes.substr(0, crlf ? end - 1 : end));
            line.ending = crlf ? "\r\n" : "\n";
            bytes.remove_prefix(end + 1);
            if (!newline_known) m_newline = line.ending;
            newline_known = true;
        }
        m_lines.push_back(std::move(line));
    }
}

std::string IniDocument::bytes() const {
    std::string result;
    for (const Line& line : m_lines)
        result += line.text + line.ending;
    return result;
}

std::optional<IniDocument::Range> IniDocument::find_section(std::string_view name) const {
    for (size_t i = 0; i < m_lines.size(); ++i) {
        ParsedLine parsed = parse_line(m_lines[i].text);
        if (parsed.kind != LineKind::section || !same_name(parsed.name, name)) continue;
        size_t end = i + 1;
        while (end < m_lines.size() && parse_line(m_lines[end].text).kind != LineKind::section)
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> IniDocument::find_entry(const Range& range, std::string_view key) const {
    for (size_t i = range.header + 1; i < range.end; ++i) {
        ParsedLine parsed = parse_line(m_lines[i].text);
        if (parsed.kind == LineKind::entry && same_name(parsed.name, key)) return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    std::optional<Range> range = find_section(section);
    if (!range) return std::nullopt;
    std::optional<size_t> entry = find_entry(*range, key);
    if (!entry) return std::nullopt;
    return std::string(parse_line(m_lines[*entry].text).value);
}

// Appends a name unless an equal one (ignoring case) is already listed.
static void add_once(std::vector<std::string>& names, std::string_view name) {
    for (const std::string& known : names)
        if (same_name(known, name)) return;
    names.emplace_back(name);
}

std::vector<std::string> IniDocument::section_names() const {
    std::vector<std::string> names;
    for (const Line& line : m_lines) {
        ParsedLine parsed = parse_line(line.text);
        if (parsed.kind == LineKind::section) add_once(names, parsed.name);
    }
    return names;
}

std::optional<std::vector<std::string>> IniDocument::key_names(std::string_view section) const {
    std::optional<Range> range = find_section(section);
    if (!range) return std::nullopt;
    std::vector<std::string> names;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        ParsedLine parsed = parse_line(m_lines[i].text);
        if (parsed.kind == LineKind::entry) add_once(names, parsed.name);
    }
    return names;
}

void IniDocument::insert_line(size_t index, std::string text) {
    // Only the last line can lack an ending; a line added after it needs one there.
    if (index == m_lines.size() && !m_lines.empty() && m_lines.back().ending.empty())
        m_lines.back().ending = m_newline;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index),
                   Line{std::move(text), m_newline});
}

bool IniDocument::set_value(std::string_view section, std::string_view key,
                            std::string_view value) {
    std::optional<Range> range = find_section(section);
    if (!range) {
        if (!m_lines.empty() && !trim(m_lines.back().text).empty()) insert_line(m_lines.size(), "");
        insert_line(m_lines.size(), "[" + std::string(section) + "]");
        insert_line(m_lines.size(), std::string(key) + "=" + std::string(value));
        return true;
    }
    if (std::optional<size_t> entry = find_entry(*range, key)) {
        std::string text =
            std::string(parse_line(m_lines[*entry].text).name) + "=" + std::string(value);
        if (text == m_lines[*entry].text) return false;
        m_lines[*entry].text = std::move(text);
        return true;
    }
    // New keys go right after the section's last entry (or its header), so blank lines,
    // comments and stray lines that trail the section stay between it and what follows.
    size_t index = range->header + 1;
    for (size_t i = range->header + 1; i < range->end; ++i)
        if (parse_line(m_lines[i].text).kind == LineKind::entry) index = i + 1;
    insert_line(index, std::string(key) + "=" + std::string(value));
    return true;
}

bool IniDocument::remove_key(std::string_view section, std::string_view key) {
    std::optional<Range> range = find_section(section);
    if (!range) return false;
    std::optional<size_t> entry = find_entry(*range, key);
    if (!entry) return false;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*entry));
    return true;
}

bool IniDocument::remove_section(std::string_view section) {
    std::optional<Range> range = find_section(section);
    if (!range) return false;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(range->end));
    return true;
}

} // namespace winapi::kernel
