// LoadLibraryA, FreeLibrary and GetProcAddress on top of the dynamic loader.
#include <libloaderapi.h>
#include <winerror.h>

#include "module/library_name.h"
#include "module/library_references.h"
#include "module/module_list.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstdio>
#include <cstring>

namespace winapi::module {

namespace {

// True when the file is a shared object the loader of this process could map: an ELF file of
// our class, byte order and machine. Anything else is reported as a bad format, not as a
// missing module.
bool is_loadable_object(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    ElfW(Ehdr) header{};
    bool complete = std::fread(&header, sizeof header, 1, file) == 1;
    std::fclose(file);
    if (!complete || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) return false;
    // The program's own header, mapped at its base, says what this process can load.
    std::optional<LoadedModule> program = find_module(nullptr);
    if (!program) return false;
    ElfW(Ehdr) own{};
    std::memcpy(&own, reinterpret_cast<const void*>(program->base), sizeof own);
    return header.e_ident[EI_CLASS] == own.e_ident[EI_CLASS] &&
           header.e_ident[EI_DATA] == own.e_ident[EI_DATA] && header.e_type == ET_DYN &&
           header.e_machine == own.e_machine;
}

// The base address of the object behind a dlopen handle.
uintptr_t base_of(void* library) {
    link_map* map = nullptr;
    Dl_info info{};
    if (dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || !map) return 0;
    if (!dladdr(map->l_ld, &info)) return 0;
    return reinterpret_cast<uintptr_t>(info.dli_fbase);
}

HMODULE load_file(const std::string& found) {
    std::string path = absolute_path(found);
    if (!is_loadable_object(path)) {
        SetLastError(ERROR_BAD_FORMAT);
        return nullptr;
    }
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    uintptr_t base = library ? base_of(library) : 0;
    if (!base) {
        // A valid object that cannot be mapped lacks a library it needs, or a symbol.
        if (library) dlclose(library);
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    add_reference(base, library);
    return reinterpret_cast<HMODULE>(base);
}

HMODULE load_library(const char* name, const void* caller) {
    std::string mapped = map_library_name(name);
    if (!has_directory(mapped)) {
        // As on Windows, a library already loaded under this name is used, wherever it lies.
        if (std::optional<LoadedModule> loaded = module_named(mapped)) {
            if (add_reference_to_mapped(*loaded, false)) return loaded->handle();
        }
    }
    std::optional<LoadedModule> calling = module_at(caller);
    std::string caller_directory = calling ? directory_of(calling->path) : std::string();
    std::optional<std::string> found = find_library_file(mapped, caller_directory);
    if (!found) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return load_file(*found);
}

} // namespace

} // namespace winapi::module

using namespace winapi::module;

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
    if (!lpLibFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!*lpLibFileName) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // The caller's folder is part of the search: the return address says who is calling.
    return load_library(lpLibFileName, __builtin_return_address(0));
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    uintptr_t base = reinterpret_cast<uintptr_t>(hLibModule);
    switch (release_reference(base)) {
    case Release::Unloaded:
        // What is kept about the module may point into its mapping, which may be gone now.
        announce_unload(base);
        return TRUE;
    case Release::Dropped:
        return TRUE;
    case Release::NotHeld:
        break;
    }
    if (hLibModule && find_module(hLibModule)) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    std::optional<LoadedModule> module = find_module(hModule);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (IS_INTRESOURCE(lpProcName)) {
        // Shared objects export by name only; there are no ordinals to look up.
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* library = open_mapped(*module);
    void* symbol = library ? dlsym(library, lpProcName) : nullptr;
    Dl_info info{};
    // dlsym also searches the libraries the module depends on; only its own exports count.
    if (symbol &&
        (!dladdr(symbol, &info) || reinterpret_cast<uintptr_t>(info.dli_fbase) != module->base))
        symbol = nullptr;
    if (library) dlclose(library);
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}
