// The resources of each loaded module, found in the module's resource section, parsed once
// and kept per module handle, and the lookups FindResourceA and the loaders share.
#pragma once

#include <windef.h>

#include "resource/res_format.h"

#include <cstdint>
#include <optional>

namespace winapi::resource {

// The section our build puts a module's compiled resources in (see cmake/Resources.cmake).
inline constexpr const char* resource_section_name = ".lxrsrc";

struct ModuleResources {
    uintptr_t base = 0;
    bool has_section = false; // false: the module was built without resources
    std::vector<ResEntry> entries;
};

// The resources of a module (NULL: the program), indexed on first use. Null when the handle
// is not a loaded module (last error ERROR_INVALID_HANDLE). The result stays valid until the
// module is released through FreeLibrary.
const ModuleResources* module_resources(HMODULE module);

// Drops what is kept about the module at `base`: its resource index and the cursors cached
// for it. Called when the layer's last count on a module is released.
void forget_module_resources(uintptr_t base);

// The name a Win32 caller means: an integer resource, "#123", or a string (case ignored).
// Empty for "#" followed by something that is not a 16-bit number.
std::optional<ResName> name_from_argument(LPCSTR name);

// Finds the entry of `type` and `name`; `language` 0 means the default choice: neutral,
// then US English, then the first. Sets the documented last error and returns null when
// there is none.
const ResEntry* find_entry(const ModuleResources& resources, const ResName& type,
                           const ResName& name, uint16_t language);

// Finds a resource for the public functions: module lookup, name conversion and entry
// lookup, each failure with its last error.
const ResEntry* find_resource(HMODULE module, LPCSTR type, LPCSTR name, uint16_t language);

// HRSRC handles are the addresses of index entries. entry_from_handle accepts only entries of
// indexes that are still kept, so stale or foreign handles give null.
HRSRC handle_of(const ResEntry* entry);
const ResEntry* entry_from_handle(HRSRC handle);

} // namespace winapi::resource
