// The text of an INI file, line by line, as the profile functions read and edit it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace winapi::kernel {

// Lines are read as follows (leading and trailing blanks never matter):
//   [name]      a section header; text after the ']' is ignored
//   key=value   an entry of the section above it, split at the first '='
//   ;text       a comment
// Anything else (blank lines, lines without '=', a '[' without ']', lines before the first
// header) belongs to the file but not to any entry.
//
// Every line keeps its bytes and its own line ending, so an edit changes only the lines it
// is about: comments, blank lines and malformed lines survive a rewrite untouched. Lines that
// an edit adds end as the file's first line does ("\r\n" for a new file, as on Windows).
// Section and key names compare without regard to ASCII case; when one appears twice, the
// first counts. Bytes are taken as they are, in no particular encoding.
class IniDocument {
  public:
    explicit IniDocument(std::string_view bytes);

    // The document as file content.
    std::string bytes() const;

    // The value of a key, trimmed of blanks, or nothing when the section or key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // The section names in file order, each once, as first written.
    std::vector<std::string> section_names() const;

    // The key names of a section in file order, each once; nothing when it is missing.
    std::optional<std::vector<std::string>> key_names(std::string_view section) const;

    // Sets a key: its line is rewritten as "key=value" (the key spelt as in the file), or a
    // new line is added after the section's last entry, or a new section is added at the
    // end. Returns true when the document changed.
    bool set_value(std::string_view section, std::string_view key, std::string_view value);

    // Removes a key's line; true when there was one.
    bool remove_key(std::string_view section, std::string_view key);

    // Removes a section: its header and every line up to the next header. True when there
    // was one.
    bool remove_section(std::string_view section);

  private:
    struct Line {
        std::string text;
        std::string ending;
    };
    // The lines of one section: its header and the lines up to the next header.
    struct Range {
        size_t header;
        size_t end;
    };

    std::optional<Range> find_section(std::string_view name) const;
    std::optional<size_t> find_entry(const Range& range, std::string_view key) const;
    void insert_line(size_t index, std::string text);

    std::vector<Line> m_lines;
    std::string m_newline = "\r\n";
};

} // namespace winapi::kernel
