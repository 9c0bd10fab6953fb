#include "resource/resource_index.h"

#include <winerror.h>

#include "module/library_references.h"
#include "module/module_list.h"
#include "resource/ansi_text.h"
#include "resource/cursor_cache.h"
#include "resource/elf_section.h"

#include <map>
#include <memory>
#include <mutex>

namespace winapi::resource {

namespace {

struct Cached {
    std::string path; // a different file at the same address is a different module
    std::unique_ptr<ModuleResources> resources;
};

std::mutex g_mutex;
std::map<uintptr_t, Cached> g_cache;

// Reads where the module's resource section lies from its file and checks that this range is
// really mapped, so a file replaced on disk since loading cannot send us outside the module.
std::unique_ptr<ModuleResources> index_module(const module::LoadedModule& module) {
    auto resources = std::make_unique<ModuleResources>();
    resources->base = module.base;
    ElfSection section;
    if (find_elf_section(module.path, resource_section_name, &section) != ElfLookup::Found)
        return resources;
    uintptr_t start = module.bias + section.address;
    if (section.address == 0 || !module.contains(start, section.size)) return resources;
    resources->has_section = true;
    resources->entries = parse_res(reinterpret_cast<const uint8_t*>(start), section.size).entries;
    return resources;
}

// Language preference when the caller names none: neutral, the process default, US English
// (the language our resource scripts use), the system default.
constexpr uint16_t preferred_languages[] = {0x0000, 0x0400, 0x0409, 0x0800};

} // namespace

const ModuleResources* module_resources(HMODULE handle) {
    std::optional<module::LoadedModule> module = module::find_module(handle);
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // Whatever is kept from here on must go when the module does.
    static const bool listening = (module::listen_for_unloads(forget_module_resources), true);
    (void)listening;
    std::lock_guard lock(g_mutex);
    Cached& cached = g_cache[module->base];
    if (!cached.resources || cached.path != module->path) {
        cached.path = module->path;
        cached.resources = index_module(*module);
    }
    return cached.resources.get();
}

void forget_module_resources(uintptr_t base) {
    {
        std::lock_guard lock(g_mutex);
        g_cache.erase(base);
    }
    forget_module_cursors(base);
}

std::optional<ResName> name_from_argument(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return ResName::from_id(LOWORD(name));
    if (name[0] != '#') return ResName::from_text(utf16_from_ansi(name));
    unsigned value = 0;
    const char* digit = name + 1;
    if (!*digit) return std::nullopt;
    for (; *digit; ++digit) {
        if (*digit < '0' || *digit > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(*digit - '0');
        if (value > 0xffff) return std::nullopt;
    }
    return ResName::from_id(static_cast<uint16_t>(value));
}

const ResEntry* find_entry(const ModuleResources& resources, const ResName& type,
                           const ResName& name, uint16_t language) {
    if (!resources.has_section) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    bool type_found = false;
    const ResEntry* first = nullptr;
    const ResEntry* best = nullptr;
    size_t best_rank = std::size(preferred_languages);
    for (const ResEntry& entry : resources.entries) {
        if (!(entry.type == type)) continue;
        type_found = true;
        if (!(entry.name == name)) continue;
        if (language != 0 && entry.language == language) return &entry;
        if (!first) first = &entry;
        for (size_t rank = 0; rank < best_rank; ++rank) {
            if (entry.language != preferred_languages[rank]) continue;
            best = &entry;
            best_rank = rank;
        }
    }
    if (first && language == 0) return best ? best : first;
    SetLastError(!type_found ? ERROR_RESOURCE_TYPE_NOT_FOUND
                 : first     ? ERROR_RESOURCE_LANG_NOT_FOUND
                             : ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

const ResEntry* find_resource(HMODULE module, LPCSTR type, LPCSTR name, uint16_t language) {
    const ModuleResources* resources = module_resources(module);
    if (!resources) return nullptr;
    if (!type || !name) {
        SetLastError(!type ? ERROR_RESOURCE_TYPE_NOT_FOUND : ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    std::optional<ResName> type_name = name_from_argument(type);
    std::optional<ResName> entry_name = name_from_argument(name);
    if (!type_name || !entry_name) {
        SetLastError(!type_name ? ERROR_RESOURCE_TYPE_NOT_FOUND : ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return find_entry(*resources, *type_name, *entry_name, language);
}

HRSRC handle_of(const ResEntry* entry) {
    return reinterpret_cast<HRSRC>(const_cast<ResEntry*>(entry));
}

const ResEntry* entry_from_handle(HRSRC handle) {
    auto address = reinterpret_cast<uintptr_t>(handle);
    std::lock_guard lock(g_mutex);
    for (const auto& [base, cached] : g_cache) {
        const std::vector<ResEntry>& entries = cached.resources->entries;
        if (entries.empty()) continue;
        auto first = reinterpret_cast<uintptr_t>(entries.data());
        if (address < first || (address - first) % sizeof(ResEntry) != 0) continue;
        if ((address - first) / sizeof(ResEntry) < entries.size())
            return &entries[(address - first) / sizeof(ResEntry)];
    }
    return nullptr;
}

} // namespace winapi::resource
