// The folders that Windows programs ask the system for.
#pragma once

#include <string>

namespace winapi::kernel {

// The per-user folder that stands in for the Windows directory:
// $XDG_CONFIG_HOME/lanternix, else $HOME/.config/lanternix. It is created (with its
// parents) when missing. No trailing separator, as Windows returns its directory.
std::string windows_directory();

// The temporary folder: $TMPDIR, else /tmp/, always with a trailing separator.
std::string temp_directory();

} // namespace winapi::kernel
