// The table of classic file handles (HFILE) that this layer has opened.
//
// An HFILE is a small number, not a descriptor: a value the layer did not hand out (0, 1, 2,
// a descriptor opened by someone else, a handle already closed) is refused, so a stray
// number can never read, write or close another descriptor of the process. Values stay below
// 0x8000 because callers keep them in 16-bit fields, and are handed out in rising order, so a
// handle that was just closed is not reused by the next open.
//
// The table is shared by every module of the process (the movie engine reads through the
// plug-in's handles) and may be used from several threads.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>
#include <windef.h>

namespace winapi::kernel {

// One open file. The descriptor is closed when the last user lets go of it, so a handle
// closed by one thread while another is reading through it does not pull the descriptor
// away under the reader.
class OpenFile {
  public:
    explicit OpenFile(int fd) : m_fd(fd) {}
    ~OpenFile();
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int fd() const { return m_fd; }

  private:
    int m_fd;
};

class FileHandleTable {
  public:
    static constexpr HFILE first_handle = 0x100;
    static constexpr HFILE last_handle = 0x7fff;

    // Takes ownership of the descriptor and returns its new handle; HFILE_ERROR (and the
    // descriptor closed) when every handle value is in use.
    HFILE add(int fd);

    // The open file behind a handle, or null when the handle is not one of ours.
    std::shared_ptr<OpenFile> find(HFILE handle) const;

    // Removes the handle and returns its file (null when unknown).
    std::shared_ptr<OpenFile> remove(HFILE handle);

  private:
    mutable std::mutex m_mutex;
    std::unordered_map<HFILE, std::shared_ptr<OpenFile>> m_files;
    HFILE m_next = first_handle;
};

// The table of the process.
FileHandleTable& file_handles();

} // namespace winapi::kernel
