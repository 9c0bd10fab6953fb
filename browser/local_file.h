// Opening a local file for the viewer to read, a page or a stream's data. Only regular files
// are read: a device would never end (/dev/zero) and a FIFO would never answer, and the
// viewer must not hang or fill its memory because a page named one.
#pragma once

#include <cstdint>
#include <string>

namespace browser {

// Opens `path` for reading without ever waiting: a descriptor of a regular file with its
// size in `size`, or -1 with `error` in words for the status bar ("is a folder", "is not a
// regular file", the system's reason). The caller closes the descriptor.
int open_regular_file(const std::string& path, uint64_t& size, std::string& error);

} // namespace browser
