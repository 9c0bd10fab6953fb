// The bytes of a movie file, read through a classic file handle of the Win32 layer.
//
// The file may still be growing: the plug-in writes it while the movie plays, and grows it
// to its announced length first, so bytes past the received data read as placeholders.
// Nothing here can tell placeholders from data; callers decide what they may read.
#pragma once

#include "common/ffmpeg_types.h"

#include <windef.h>

#include <cstdint>
#include <memory>
#include <string>

namespace lanternix::media {

class FileSource {
  public:
    // Takes ownership of `handle` and closes it when destroyed.
    explicit FileSource(HFILE handle) : m_handle(handle) {}
    ~FileSource();
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // Opens the file at a path for reading; null when it cannot be opened.
    static std::shared_ptr<FileSource> open_path(const std::string& path);
    // A source over a second handle to an open file; null when the handle is not open.
    static std::shared_ptr<FileSource> share_handle(HFILE handle);

    // Reads up to `count` bytes at `offset`; the bytes read, or -1 on failure.
    int64_t read_at(uint64_t offset, void* buffer, size_t count);
    // The file's current size (the announced length when it has been grown); -1 on failure.
    int64_t size();

  private:
    HFILE m_handle;
};

// Frees an I/O context with its buffer and its reader.
struct IoContextDeleter {
    void operator()(AVIOContext* context) const;
};
using IoContextPtr = std::unique_ptr<AVIOContext, IoContextDeleter>;

// An I/O context that reads `source` from its own position, so several demuxers can share
// one source. The context keeps the source alive.
IoContextPtr make_io_context(std::shared_ptr<FileSource> source);

} // namespace lanternix::media
