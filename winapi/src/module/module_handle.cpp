// GetModuleHandleA, GetModuleHandleExA and GetModuleFileNameA: questions about modules that
// are already loaded.
#include <libloaderapi.h>
#include <winerror.h>

#include "module/library_name.h"
#include "module/library_references.h"
#include "module/module_list.h"

#include <cstring>

namespace winapi::module {

namespace {

constexpr DWORD known_flags = GET_MODULE_HANDLE_EX_FLAG_PIN |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT |
                              GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS;

std::optional<LoadedModule> module_by_name(const char* name) {
    if (!name) return find_module(nullptr);
    return module_named(map_library_name(name));
}

bool valid_flags(DWORD flags) {
    if (flags & ~known_flags) return false;
    // Pinning takes a count for good; it cannot go together with taking none.
    return (flags & GET_MODULE_HANDLE_EX_FLAG_PIN) == 0 ||
           (flags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) == 0;
}

} // namespace

} // namespace winapi::module

using namespace winapi::module;

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    std::optional<LoadedModule> module = module_by_name(lpModuleName);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return module->handle();
}

BOOL WINAPI GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule) {
    if (phModule) *phModule = nullptr;
    if (!phModule || !valid_flags(dwFlags)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::optional<LoadedModule> module = (dwFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS)
                                             ? module_at(lpModuleName)
                                             : module_by_name(lpModuleName);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (!(dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) &&
        !add_reference_to_mapped(*module, (dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) != 0)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    *phModule = module->handle();
    return TRUE;
}

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    std::optional<LoadedModule> module = find_module(hModule);
    if (!module || module->path.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::string path = absolute_path(module->path);
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() >= nSize) {
        // The documented truncation: as much as fits, still zero-terminated, and the full
        // buffer size as the result.
        std::memcpy(lpFilename, path.data(), nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}
