#include "module/module_list.h"

#include "module/library_name.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace winapi::module {

namespace {

// The program's own entry has no name in the loader's list; its file is found through /proc,
// once, since the program's file does not change while it runs.
const std::string& program_path() {
    static const std::string path = [] {
        char buffer[PATH_MAX];
        ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        return length <= 0 ? std::string() : std::string(buffer, static_cast<size_t>(length));
    }();
    return path;
}

// The loader maps an object starting at its first load segment, rounded down to a page; that
// address is what dladdr reports as the object's base, so handles agree with it.
LoadedModule describe(const dl_phdr_info& info, bool is_program) {
    static const uintptr_t page_size = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    LoadedModule module;
    module.bias = info.dlpi_addr;
    bool first = true;
    for (int i = 0; i < info.dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info.dlpi_phdr[i];
        if (header.p_type != PT_LOAD) continue;
        uintptr_t start = info.dlpi_addr + header.p_vaddr;
        module.segments.push_back({start, static_cast<size_t>(header.p_memsz)});
        if (first) module.base = start & ~(page_size - 1);
        first = false;
    }
    module.path = is_program ? program_path() : std::string(info.dlpi_name ? info.dlpi_name : "");
    return module;
}

int collect(dl_phdr_info* info, size_t, void* data) {
    auto* modules = static_cast<std::vector<LoadedModule>*>(data);
    LoadedModule module = describe(*info, modules->empty());
    if (!module.segments.empty()) modules->push_back(std::move(module));
    return 0;
}

} // namespace

bool LoadedModule::contains(uintptr_t address, size_t size) const {
    for (const Segment& segment : segments) {
        if (address >= segment.start && address - segment.start <= segment.size &&
            size <= segment.size - (address - segment.start))
            return true;
    }
    return false;
}

std::vector<LoadedModule> loaded_modules() {
    std::vector<LoadedModule> modules;
    dl_iterate_phdr(collect, &modules);
    return modules;
}

std::optional<LoadedModule> find_module(HMODULE handle) {
    std::vector<LoadedModule> modules = loaded_modules();
    if (modules.empty()) return std::nullopt;
    if (!handle) return modules.front();
    for (LoadedModule& module : modules) {
        if (module.handle() == handle) return std::move(module);
    }
    return std::nullopt;
}

std::optional<LoadedModule> module_at(const void* address) {
    Dl_info info{};
    if (!address || !dladdr(address, &info) || !info.dli_fbase) return std::nullopt;
    return find_module(static_cast<HMODULE>(info.dli_fbase));
}

std::optional<LoadedModule> module_named(const std::string& file_name) {
    bool whole_path = file_name.find('/') != std::string::npos;
    std::string wanted = whole_path ? absolute_path(file_name) : file_name;
    for (LoadedModule& module : loaded_modules()) {
        if (whole_path ? absolute_path(module.path) == wanted
                       : equal_ignoring_case(file_name_of(module.path), wanted))
            return std::move(module);
    }
    return std::nullopt;
}

} // namespace winapi::module
