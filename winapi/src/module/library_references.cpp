#include "module/library_references.h"

#include <dlfcn.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace winapi::module {

namespace {

struct Reference {
    void* library = nullptr; // one loader reference per count
    unsigned count = 0;
    bool pinned = false;
};

std::mutex g_mutex;
std::unordered_map<uintptr_t, Reference> g_references;

bool is_program(const LoadedModule& module) {
    std::optional<LoadedModule> program = find_module(nullptr);
    return program && program->base == module.base;
}

} // namespace

void add_reference(uintptr_t base, void* library) {
    std::lock_guard lock(g_mutex);
    Reference& reference = g_references[base];
    reference.library = library;
    ++reference.count;
}

void* open_mapped(const LoadedModule& module) {
    if (is_program(module)) return dlopen(nullptr, RTLD_LAZY);
    if (module.path.empty()) return nullptr;
    return dlopen(module.path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
}

bool add_reference_to_mapped(const LoadedModule& module, bool pin) {
    void* library = open_mapped(module);
    if (!library) return false;
    if (pin && !is_program(module)) {
        // The loader's own flag keeps the library mapped even past dlclose calls of others.
        void* pinned = dlopen(module.path.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
        if (pinned) dlclose(pinned);
    }
    add_reference(module.base, library);
    if (pin) {
        std::lock_guard lock(g_mutex);
        g_references[module.base].pinned = true;
    }
    return true;
}

Release release_reference(uintptr_t base) {
    void* library = nullptr;
    Release result = Release::Dropped;
    {
        std::lock_guard lock(g_mutex);
        auto it = g_references.find(base);
        if (it == g_references.end()) return Release::NotHeld;
        if (it->second.pinned) return Release::Dropped;
        library = it->second.library;
        if (--it->second.count == 0) {
            g_references.erase(it);
            result = Release::Unloaded;
        }
    }
    // Outside the lock: closing may run the library's destructors, which may call back in.
    dlclose(library);
    return result;
}

namespace {

std::mutex g_listeners_mutex;
std::vector<UnloadListener> g_listeners;

} // namespace

void listen_for_unloads(UnloadListener listener) {
    std::lock_guard lock(g_listeners_mutex);
    if (std::find(g_listeners.begin(), g_listeners.end(), listener) == g_listeners.end())
        g_listeners.push_back(listener);
}

void announce_unload(uintptr_t base) {
    std::vector<UnloadListener> listeners;
    {
        std::lock_guard lock(g_listeners_mutex);
        listeners = g_listeners;
    }
    for (UnloadListener listener : listeners)
        listener(base);
}

} // namespace winapi::module
