// A new file written beside its final path and moved into place only when it is complete.
//
// Copies and profile rewrites go through it, so that a failure halfway (a full disk, a
// crash) never leaves a partial file under the final name: either the old file or the
// complete new one is there.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>
#include <windef.h>

namespace winapi::kernel {

class StagedFile {
  public:
    // Creates an empty temporary file in the folder of `target` (a native path). The file
    // gets the permission bits `mode`, less the process's umask. error() tells whether this
    // worked.
    StagedFile(std::string target, mode_t mode);
    // Removes the temporary file unless commit() moved it into place.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // ERROR_SUCCESS while everything worked, else the Win32 code of the first failure.
    DWORD error() const { return m_error; }

    // Appends bytes; false (and error() set) when they could not all be written.
    bool write(std::string_view bytes);

    // Appends everything that can be read from `source_fd`.
    bool copy_from(int source_fd);

    // Sets the permission bits of the finished file, e.g. those of the file it replaces.
    bool set_mode(mode_t mode);

    // Takes every write permission away from the finished file: a copy of a read-only file
    // is read-only too.
    bool make_read_only();

    // Moves the file to its target. With `replace` an existing target is replaced in one
    // step; without, an existing target makes it fail with ERROR_ALREADY_EXISTS. With
    // `durable` the data reach the disk before the move, so a crash right after cannot
    // leave an empty file behind.
    bool commit(bool replace, bool durable);

  private:
    bool fail(DWORD error);
    bool move_without_replacing();

    std::string m_target;
    std::string m_temp_path;
    int m_fd = -1;
    DWORD m_error = 0;
};

} // namespace winapi::kernel
