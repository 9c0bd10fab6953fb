// The objects (the program and its shared libraries) mapped into the process, seen as Win32
// modules. A module's handle is the address at which its first page is mapped, like the image
// base on Windows; everything here is read from the dynamic loader's own list, so a handle is
// valid exactly as long as its module stays mapped.
#pragma once

#include <windef.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace winapi::module {

// One mapped segment, in run-time addresses.
struct Segment {
    uintptr_t start = 0;
    size_t size = 0;
};

struct LoadedModule {
    uintptr_t base = 0;            // the HMODULE: the start of the first mapped page
    uintptr_t bias = 0;            // run-time address minus the address the file states
    std::string path;              // the file it came from (absolute unless unknown)
    std::vector<Segment> segments; // its loaded segments

    HMODULE handle() const { return reinterpret_cast<HMODULE>(base); }
    // True when [address, address + size) lies inside one loaded segment.
    bool contains(uintptr_t address, size_t size) const;
};

// Every mapped object, the program first.
std::vector<LoadedModule> loaded_modules();

// The module behind a handle; NULL means the program. Empty when the handle is not the base
// of a mapped object.
std::optional<LoadedModule> find_module(HMODULE module);

// The module whose mapping contains the address; empty for an address outside every module.
std::optional<LoadedModule> module_at(const void* address);

// The module whose file name is `file_name` (compared without regard to ASCII case), or
// whose full path is `file_name` when it holds a '/'.
std::optional<LoadedModule> module_named(const std::string& file_name);

} // namespace winapi::module
