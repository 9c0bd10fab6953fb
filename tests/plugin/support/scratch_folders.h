// System folders of one test: a fresh Windows directory (through XDG_CONFIG_HOME) and a
// fresh temporary directory (through TMPDIR), so that the library's profile and cache files
// land in a folder of the test's own and never in the user's. Also environment variables set
// for one test, and reads of a profile file that go through the Win32 profile functions.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace plugin_test {

// Sets (or, with nullopt, unsets) an environment variable until the end of the scope.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, std::optional<std::string> value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// A folder of its own under the system's temporary folder, with XDG_CONFIG_HOME and TMPDIR
// pointing into it until the object goes; then the variables get their old values back and
// the folder is removed with everything in it.
class ScratchFolders {
  public:
    ScratchFolders();
    ~ScratchFolders();
    ScratchFolders(const ScratchFolders&) = delete;
    ScratchFolders& operator=(const ScratchFolders&) = delete;

    // A native path inside the scratch folder (the folder itself for an empty name).
    std::string path(const std::string& name = "") const;
    // What GetWindowsDirectoryA reports while the object lives: ".../config/lanternix".
    std::string windows_directory() const;
    // What GetTempPathA reports while the object lives: ".../temp/", with its separator.
    std::string temp_directory() const;

  private:
    std::string m_root;
    std::optional<ScopedEnvironment> m_config;
    std::optional<ScopedEnvironment> m_temp;
};

// The value of `key` in `section` of profile `file` (a name in the Windows directory), read
// with GetPrivateProfileStringA; nullopt when the key is not there.
std::optional<std::string> profile_value(const char* file, const char* section, const char* key);
// The keys of `section` in the order the file holds them.
std::vector<std::string> profile_keys(const char* file, const char* section);
// Writes one key with WritePrivateProfileStringA; false when the file cannot be written.
bool write_profile_value(const char* file, const char* section, const char* key, const char* value);

} // namespace plugin_test
