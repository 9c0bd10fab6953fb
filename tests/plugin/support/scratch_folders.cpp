#include "support/scratch_folders.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace plugin_test {

namespace {

// Large enough for any section of the profiles the tests write.
const DWORD ProfileBufferSize = 64 * 1024;

} // namespace

ScopedEnvironment::ScopedEnvironment(const char* name, std::optional<std::string> value)
    : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

ScopedEnvironment::~ScopedEnvironment() {
    if (m_old)
        ::setenv(m_name.c_str(), m_old->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

ScratchFolders::ScratchFolders() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/lx-plugin-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = ::mkdtemp(buffer.data());
    EXPECT_NE(made, nullptr) << "expected a scratch folder, got none";
    m_root = made ? made : "";
    std::error_code ignored;
    std::filesystem::create_directories(path("temp"), ignored);
    m_config.emplace("XDG_CONFIG_HOME", path("config"));
    m_temp.emplace("TMPDIR", path("temp") + "/");
}

ScratchFolders::~ScratchFolders() {
    m_temp.reset();
    m_config.reset();
    if (m_root.empty()) return;
    std::error_code ignored;
    // Read-only files and folders must not stop the cleanup.
    for (auto& entry : std::filesystem::recursive_directory_iterator(m_root, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_root, ignored);
}

std::string ScratchFolders::path(const std::string& name) const {
    return name.empty() ? m_root : m_root + "/" + name;
}

std::string ScratchFolders::windows_directory() const {
    return path("config/lanternix");
}

std::string ScratchFolders::temp_directory() const {
    return path("temp") + "/";
}

std::vector<std::string> profile_keys(const char* file, const char* section) {
    std::vector<char> buffer(ProfileBufferSize);
    DWORD length =
        GetPrivateProfileStringA(section, nullptr, "", buffer.data(), ProfileBufferSize, file);
    std::vector<std::string> keys;
    // The list is a run of zero-terminated names ended by a second zero.
    for (DWORD at = 0; at < length && buffer[at];) {
        std::string key(buffer.data() + at);
        at += static_cast<DWORD>(key.size()) + 1;
        keys.push_back(key);
    }
    return keys;
}

std::optional<std::string> profile_value(const char* file, const char* section, const char* key) {
    std::vector<std::string> keys = profile_keys(file, section);
    auto same_key = [key](const std::string& name) { return lstrcmpiA(name.c_str(), key) == 0; };
    if (std::none_of(keys.begin(), keys.end(), same_key)) return std::nullopt;
    std::vector<char> buffer(ProfileBufferSize);
    DWORD length =
        GetPrivateProfileStringA(section, key, "", buffer.data(), ProfileBufferSize, file);
    return std::string(buffer.data(), length);
}

bool write_profile_value(const char* file, const char* section, const char* key,
                         const char* value) {
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

} // namespace plugin_test
