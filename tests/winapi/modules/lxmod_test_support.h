// Helpers shared by the module and resource tests.
#pragma once

#include <libloaderapi.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

namespace lxtest {

// Sets LANTERNIX_LIBRARY_PATH (or removes it, for an empty optional) for one test and puts
// the previous value back afterwards.
class ScopedLibraryPath {
  public:
    explicit ScopedLibraryPath(const std::optional<std::string>& value) {
        if (const char* old = std::getenv("LANTERNIX_LIBRARY_PATH")) m_old = old;
        if (value)
            setenv("LANTERNIX_LIBRARY_PATH", value->c_str(), 1);
        else
            unsetenv("LANTERNIX_LIBRARY_PATH");
    }
    ~ScopedLibraryPath() {
        if (m_old)
            setenv("LANTERNIX_LIBRARY_PATH", m_old->c_str(), 1);
        else
            unsetenv("LANTERNIX_LIBRARY_PATH");
    }
    ScopedLibraryPath(const ScopedLibraryPath&) = delete;
    ScopedLibraryPath& operator=(const ScopedLibraryPath&) = delete;

  private:
    std::optional<std::string> m_old;
};

inline std::string module_dir() {
    return LXTEST_MODULE_DIR;
}
inline std::string module_path(const char* file) {
    return module_dir() + "/" + file;
}

// The path written the Windows way, as plug-in code writes paths.
inline std::string with_backslashes(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// An exported function of a module, as its real type (through void*, as dlsym users do).
template <typename Function>
Function* exported(HMODULE module, const char* name) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The name a test module gives itself (its exported lxmod_name), or "" when it has none.
inline std::string module_name(HMODULE module) {
    auto* name = exported<const char*()>(module, "lxmod_name");
    return name ? name() : "";
}

} // namespace lxtest
