// GetFileVersionInfoSizeA, GetFileVersionInfoA and VerQueryValueA. A host reads a library's
// version information before it decides to load it, so the resource section is read from
// the file, never from a mapping.
#include <winerror.h>
#include <winver.h>

#include "module/library_name.h"
#include "module/module_list.h"
#include "resource/elf_section.h"
#include "resource/resource_index.h"
#include "resource/version_info.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace winapi::resource {

namespace {

// A resource section beyond this size is not something our build produced.
constexpr uint64_t largest_resource_section = 64ull << 20;
constexpr uint16_t version_type = 16;
constexpr uint16_t version_name = 1;

bool exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The file a name means: a path that exists as written, else the library search.
std::optional<std::string> resolve_file(const char* name, const void* caller) {
    std::string direct(name);
    std::replace(direct.begin(), direct.end(), '\\', '/');
    if (module::has_directory(direct) && exists(direct)) return direct;
    std::optional<module::LoadedModule> calling = module::module_at(caller);
    std::string caller_directory = calling ? module::directory_of(calling->path) : std::string();
    return module::find_library_file(module::map_library_name(name), caller_directory);
}

// The version resource among the file's resources: VS_VERSION_INFO, else the first one.
const ResEntry* version_entry(const std::vector<ResEntry>& entries) {
    const ResEntry* found = nullptr;
    for (const ResEntry& entry : entries) {
        if (!entry.type.is_id || entry.type.id != version_type) continue;
        if (entry.name.is_id && entry.name.id == version_name) return &entry;
        if (!found) found = &entry;
    }
    return found;
}

DWORD section_error(ElfLookup lookup) {
    switch (lookup) {
    case ElfLookup::NoFile:
        return ERROR_FILE_NOT_FOUND;
    case ElfLookup::NotElf:
        return ERROR_BAD_FORMAT;
    default:
        return ERROR_RESOURCE_DATA_NOT_FOUND;
    }
}

// The ANSI version block of a file; sets the last error and returns empty on failure.
std::optional<std::vector<uint8_t>> read_version_block(const char* name, const void* caller) {
    std::optional<std::string> path = name && *name ? resolve_file(name, caller) : std::nullopt;
    if (!path) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return std::nullopt;
    }
    ElfSection section;
    ElfLookup lookup = find_elf_section(*path, resource_section_name, &section);
    if (lookup != ElfLookup::Found || section.size > largest_resource_section) {
        SetLastError(lookup == ElfLookup::Found ? ERROR_BAD_FORMAT : section_error(lookup));
        return std::nullopt;
    }
    std::optional<std::vector<uint8_t>> bytes =
        read_file_range(*path, section.offset, section.size);
    if (!bytes) {
        SetLastError(ERROR_BAD_FORMAT);
        return std::nullopt;
    }
    ResParse resources = parse_res(bytes->data(), bytes->size());
    const ResEntry* entry = version_entry(resources.entries);
    if (!entry) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return std::nullopt;
    }
    std::optional<std::vector<uint8_t>> block = ansi_version_block(entry->data, entry->size);
    if (!block) SetLastError(ERROR_INVALID_DATA);
    return block;
}

} // namespace

} // namespace winapi::resource

using namespace winapi::resource;

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle) {
    if (lpdwHandle) *lpdwHandle = 0;
    std::optional<std::vector<uint8_t>> block =
        read_version_block(lptstrFilename, __builtin_return_address(0));
    return block ? static_cast<DWORD>(block->size()) : 0;
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD, DWORD dwLen, LPVOID lpData) {
    if (!lpData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::optional<std::vector<uint8_t>> block =
        read_version_block(lptstrFilename, __builtin_return_address(0));
    if (!block) return FALSE;
    if (dwLen < 4) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    size_t copied = std::min<size_t>(dwLen, block->size());
    std::memcpy(lpData, block->data(), copied);
    truncate_version_block(static_cast<uint8_t*>(lpData), copied);
    return TRUE;
}

BOOL WINAPI VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen) {
    if (lplpBuffer) *lplpBuffer = nullptr;
    if (puLen) *puLen = 0;
    if (!pBlock || !lpSubBlock || !lplpBuffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const uint8_t* value = nullptr;
    unsigned length = 0;
    if (!query_version_block(static_cast<const uint8_t*>(pBlock), lpSubBlock, &value, &length)) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return FALSE;
    }
    *lplpBuffer = const_cast<uint8_t*>(value);
    if (puLen) *puLen = length;
    return TRUE;
}
