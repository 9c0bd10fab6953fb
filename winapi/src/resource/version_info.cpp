#include "resource/version_info.h"

#include "resource/ansi_text.h"
#include "resource/byte_reader.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace winapi::resource {

namespace {

// Real version trees are three levels deep below the root; the limit only stops runaway
// recursion on damaged data.
constexpr int deepest_node = 8;
constexpr size_t node_header_size = 6;      // length, value length, type
constexpr size_t ansi_node_header_size = 4; // length, value length

size_t align4(size_t value) {
    return (value + 3) & ~size_t(3);
}
void write16(uint8_t* p, size_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

struct VersionNode {
    std::string key;
    std::vector<uint8_t> value; // ANSI text with its zero, or the binary bytes
    std::vector<VersionNode> children;
};

// Reads UTF-16 units from `offset` up to a zero (or `end`); `offset` moves past the zero.
std::string read_text(const uint8_t* data, size_t end, size_t& offset) {
    const ByteReader bytes(data, end);
    size_t start = offset;
    while (end - offset >= 2 && bytes.u16(offset) != 0)
        offset += 2;
    std::string text = ansi_from_utf16le(data + start, (offset - start) / 2);
    offset = std::min(end, offset + 2);
    return text;
}

std::optional<VersionNode> parse_node(const uint8_t* data, size_t size, int depth) {
    if (depth > deepest_node || size < node_header_size) return std::nullopt;
    const ByteReader bytes(data, size);
    size_t end = bytes.u16(0);
    size_t value_length = bytes.u16(2);
    bool text = bytes.u16(4) == 1;
    if (end < node_header_size || end > size) return std::nullopt;
    VersionNode node;
    size_t offset = node_header_size;
    node.key = read_text(data, end, offset);
    offset = std::min(end, align4(offset));
    if (text && value_length > 0) {
        // Text lengths count characters; compilers disagree on whether the zero is included,
        // so the text ends at its zero or at the node's end, whichever comes first.
        size_t value_end = std::min(end, offset + value_length * 2);
        size_t cursor = offset;
        std::string value = read_text(data, value_end, cursor);
        node.value.assign(value.begin(), value.end());
        node.value.push_back(0);
        offset = value_end;
    } else if (value_length > 0) {
        size_t value_end = std::min(end, offset + value_length);
        node.value.assign(data + offset, data + value_end);
        offset = value_end;
    }
    for (offset = align4(offset); offset < end;) {
        size_t child_length = ByteReader(data, end).u16(offset);
        if (child_length < node_header_size) break;
        if (std::optional<VersionNode> child = parse_node(data + offset, end - offset, depth + 1))
            node.children.push_back(std::move(*child));
        offset = align4(offset + child_length);
    }
    return node;
}

void pad4(std::vector<uint8_t>& out) {
    while (out.size() % 4)
        out.push_back(0);
}

void write_node(const VersionNode& node, std::vector<uint8_t>& out) {
    size_t start = out.size();
    out.resize(start + ansi_node_header_size);
    out.insert(out.end(), node.key.begin(), node.key.end());
    out.push_back(0);
    pad4(out);
    out.insert(out.end(), node.value.begin(), node.value.end());
    pad4(out);
    for (const VersionNode& child : node.children) {
        write_node(child, out);
        pad4(out);
    }
    write16(out.data() + start, out.size() - start);
    write16(out.data() + start + 2, node.value.size());
}

bool key_matches(const uint8_t* key, size_t available, std::string_view wanted) {
    if (available < wanted.size() + 1 || key[wanted.size()] != 0) return false;
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (std::tolower(key[i]) != std::tolower(static_cast<unsigned char>(wanted[i])))
            return false;
    }
    return true;
}

// Where a node's key, value and children lie inside [node, node + size).
struct AnsiNode {
    size_t end = 0;
    size_t value = 0;
    size_t value_length = 0;
    size_t children = 0;
};

std::optional<AnsiNode> read_ansi_node(const uint8_t* node, size_t size) {
    if (size < ansi_node_header_size) return std::nullopt;
    const ByteReader bytes(node, size);
    AnsiNode layout;
    layout.end = bytes.u16(0);
    if (layout.end < ansi_node_header_size || layout.end > size) return std::nullopt;
    size_t offset = ansi_node_header_size;
    while (offset < layout.end && node[offset] != 0)
        ++offset;
    if (offset == layout.end) return std::nullopt;
    layout.value = std::min(layout.end, align4(offset + 1));
    layout.value_length = std::min<size_t>(bytes.u16(2), layout.end - layout.value);
    layout.children = std::min(layout.end, align4(layout.value + layout.value_length));
    return layout;
}

// The child of `node` whose key is `key`; its offset from `node`.
std::optional<size_t> find_child(const uint8_t* node, const AnsiNode& layout,
                                 std::string_view key) {
    for (size_t offset = layout.children; offset < layout.end;) {
        std::optional<AnsiNode> child = read_ansi_node(node + offset, layout.end - offset);
        if (!child) return std::nullopt;
        if (key_matches(node + offset + ansi_node_header_size, child->end - ansi_node_header_size,
                        key))
            return offset;
        offset = align4(offset + child->end);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::vector<uint8_t>> ansi_version_block(const uint8_t* data, size_t size) {
    std::optional<VersionNode> root = parse_node(data, size, 0);
    if (!root) return std::nullopt;
    std::vector<uint8_t> block;
    write_node(*root, block);
    // Lengths are WORDs; a tree that grew beyond them cannot be described.
    if (block.size() > 0xffff) return std::nullopt;
    return block;
}

void truncate_version_block(uint8_t* block, size_t size) {
    if (size < ansi_node_header_size || ByteReader(block, size).u16(0) <= size) return;
    write16(block, size);
}

bool query_version_block(const uint8_t* block, std::string_view path, const uint8_t** value,
                         unsigned* length) {
    const uint8_t* node = block;
    // The block starts with its own length: a version block always holds at least that.
    size_t size = ByteReader(block, ansi_node_header_size).u16(0);
    std::optional<AnsiNode> layout = read_ansi_node(node, size);
    while (layout && !path.empty()) {
        size_t separator = path.find('\\');
        std::string_view key = path.substr(0, separator);
        path =
            separator == std::string_view::npos ? std::string_view() : path.substr(separator + 1);
        if (key.empty()) continue;
        std::optional<size_t> child = find_child(node, *layout, key);
        if (!child) return false;
        node += *child;
        size = layout->end - *child;
        layout = read_ansi_node(node, size);
    }
    if (!layout) return false;
    *value = node + layout->value;
    *length = static_cast<unsigned>(layout->value_length);
    return true;
}

} // namespace winapi::resource
