#include "resource/elf_section.h"

#include <elf.h>
#include <link.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace winapi::resource {

namespace {

// Section name tables are small; anything larger marks a damaged file.
constexpr uint64_t largest_name_table = 1 << 20;
constexpr uint64_t largest_section_count = 1 << 16;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

bool read_at(FILE* file, uint64_t file_size, uint64_t offset, void* buffer, uint64_t size) {
    if (offset > file_size || size > file_size - offset) return false;
    if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    return size == 0 || std::fread(buffer, size, 1, file) == 1;
}

bool is_own_kind(const ElfW(Ehdr) & header) {
    const bool little_endian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
    return std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 &&
           header.e_ident[EI_CLASS] == (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32) &&
           header.e_ident[EI_DATA] == (little_endian ? ELFDATA2LSB : ELFDATA2MSB) &&
           header.e_shentsize == sizeof(ElfW(Shdr));
}

// The section headers, with the extended numbering used when there are very many sections.
bool read_section_headers(FILE* file, uint64_t file_size, const ElfW(Ehdr) & header,
                          std::vector<ElfW(Shdr)>& sections, uint64_t& names_index) {
    if (header.e_shoff == 0) return false;
    ElfW(Shdr) first{};
    if (!read_at(file, file_size, header.e_shoff, &first, sizeof first)) return false;
    uint64_t count = header.e_shnum ? header.e_shnum : first.sh_size;
    names_index = header.e_shstrndx == SHN_XINDEX ? first.sh_link : header.e_shstrndx;
    if (count == 0 || count > largest_section_count || names_index >= count) return false;
    sections.resize(count);
    return read_at(file, file_size, header.e_shoff, sections.data(), count * sizeof(ElfW(Shdr)));
}

} // namespace

ElfLookup find_elf_section(const std::string& path, std::string_view name, ElfSection* section) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) return ElfLookup::NoFile;
    if (fseeko(file.get(), 0, SEEK_END) != 0) return ElfLookup::NotElf;
    uint64_t file_size = static_cast<uint64_t>(ftello(file.get()));
    ElfW(Ehdr) header{};
    if (!read_at(file.get(), file_size, 0, &header, sizeof header) || !is_own_kind(header))
        return ElfLookup::NotElf;
    std::vector<ElfW(Shdr)> sections;
    uint64_t names_index = 0;
    if (!read_section_headers(file.get(), file_size, header, sections, names_index))
        return ElfLookup::NotElf;
    const ElfW(Shdr)& names = sections[names_index];
    if (names.sh_size > largest_name_table) return ElfLookup::NotElf;
    std::vector<char> table(names.sh_size + 1, '\0');
    if (!read_at(file.get(), file_size, names.sh_offset, table.data(), names.sh_size))
        return ElfLookup::NotElf;
    for (const ElfW(Shdr) & candidate : sections) {
        if (candidate.sh_name >= names.sh_size) continue;
        if (name != std::string_view(table.data() + candidate.sh_name)) continue;
        *section = {candidate.sh_addr, candidate.sh_offset, candidate.sh_size};
        return ElfLookup::Found;
    }
    return ElfLookup::NoSection;
}

std::optional<std::vector<uint8_t>> read_file_range(const std::string& path, uint64_t offset,
                                                    uint64_t size) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file || fseeko(file.get(), 0, SEEK_END) != 0) return std::nullopt;
    uint64_t file_size = static_cast<uint64_t>(ftello(file.get()));
    std::vector<uint8_t> bytes;
    if (offset > file_size || size > file_size - offset) return std::nullopt;
    bytes.resize(size);
    if (!read_at(file.get(), file_size, offset, bytes.data(), size)) return std::nullopt;
    return bytes;
}

} // namespace winapi::resource
