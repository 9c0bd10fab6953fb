// Finding a named section of an ELF file through its section headers. Resources live in a
// section of their own; the loader does not keep section headers in memory, so the file is
// read to learn where the section lies.
#pragma once

#include "common/internal_api.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace winapi::resource {

struct ElfSection {
    uint64_t address = 0; // link-time address; add the module's load bias for run time
    uint64_t offset = 0;  // position in the file
    uint64_t size = 0;
};

enum class ElfLookup {
    Found,
    NoFile,    // the file cannot be opened
    NotElf,    // not an ELF file of this process's class and byte order, or damaged
    NoSection, // a valid ELF file without the section
};

// Looks the section up in the file at `path`. Every offset and size read from the file is
// checked against the file's size, so a damaged file gives NotElf, never a wild read.
LX_INTERNAL_API ElfLookup find_elf_section(const std::string& path, std::string_view name,
                                           ElfSection* section);

// Reads `size` bytes at `offset` of the file; empty when the file is shorter.
LX_INTERNAL_API std::optional<std::vector<uint8_t>> read_file_range(const std::string& path,
                                                                    uint64_t offset, uint64_t size);

} // namespace winapi::resource
