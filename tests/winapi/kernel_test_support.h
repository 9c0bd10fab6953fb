// Helpers shared by the kernel tests: a scratch folder per test, environment variables set
// for one test, and whole-file reads and writes that go around the layer under test.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

namespace kernel_test {

// A folder of its own under the system's temporary folder, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir() : ScratchDir(std::filesystem::temp_directory_path().string()) {}
    // A scratch folder under `base`, e.g. on another file system.
    explicit ScratchDir(const std::string& base) {
        std::string pattern = base + "/lx-kernel-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        char* made = ::mkdtemp(buffer.data());
        EXPECT_NE(made, nullptr) << "could not create a scratch folder";
        m_path = made ? made : "";
    }
    ~ScratchDir() {
        std::error_code ignored;
        // Read-only files and folders must not stop the cleanup.
        for (auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // A native path inside the folder.
    std::string path(const std::string& name = "") const {
        return name.empty() ? m_path : m_path + "/" + name;
    }
    // The same path written the Windows way, with backslashes.
    std::string win_path(const std::string& name) const {
        std::string result = path(name);
        for (char& c : result)
            if (c == '/') c = '\\';
        return result;
    }
    // The names in the folder, sorted.
    std::vector<std::string> listing() const {
        std::vector<std::string> names;
        for (auto& entry : std::filesystem::directory_iterator(m_path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::string m_path;
};

// Sets (or, with nullopt, unsets) an environment variable until the end of the scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (m_old)
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string m_name;
    std::optional<std::string> m_old;
};

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline bool exists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

// A marker the tests put in the last error before a call, so a call that sets nothing is
// noticed.
constexpr DWORD untouched = 0xdeadbeef;

// The last error a call leaves, with the marker set first.
template <typename Call>
DWORD error_of(Call&& call) {
    SetLastError(untouched);
    call();
    return GetLastError();
}

} // namespace kernel_test
