// Version information. The resource holds a tree of nodes in UTF-16: each node is a length,
// a value length, a type (1 text, 0 binary), a key, its value and its children, every part
// DWORD aligned. The root "VS_VERSION_INFO" holds the VS_FIXEDFILEINFO; below it
// "StringFileInfo" holds one table per language and code page ("040904e4") of string values,
// and "VarFileInfo" the "Translation" list.
//
// GetFileVersionInfoA hands out the same tree with keys and strings in the ANSI code page, in
// the older single-byte layout: per node a WORD total length, a WORD value length in bytes, the
// zero-terminated key, padding to a DWORD, the value, padding, then the children. Text values
// keep their terminating zero, so their length in bytes is their length in characters with it.
#pragma once

#include "common/internal_api.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace winapi::resource {

// Converts a UTF-16 version resource to the ANSI block. Empty when the root node is malformed;
// damaged children are left out. Never reads outside [data, data + size).
LX_INTERNAL_API std::optional<std::vector<uint8_t>> ansi_version_block(const uint8_t* data,
                                                                       size_t size);

// Shortens a block to `size` bytes (at least 4), keeping it walkable: the root's length is cut
// to match, so lookups stay inside the bytes that remain.
void truncate_version_block(uint8_t* block, size_t size);

// Finds `path` ("\\", "\\StringFileInfo\\040904e4\\MIMEType", ...; components separated by
// backslashes, keys compared without regard to case) in an ANSI block. On success *value
// points into the block and *length is the value's length in bytes.
LX_INTERNAL_API bool query_version_block(const uint8_t* block, std::string_view path,
                                         const uint8_t** value, unsigned* length);

} // namespace winapi::resource
