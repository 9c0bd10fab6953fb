#include "kernel/staged_file.h"

#include "kernel/file_error.h"
#include "kernel/native_path.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <winerror.h>

namespace winapi::kernel {

// A name for the temporary file that no other process or thread picks at the same time.
static std::string temporary_name(const std::string& target, int attempt) {
    static std::atomic<unsigned> counter{0};
    std::string directory = parent_directory(target);
    return directory + "/." + last_component(target) + ".lx" + std::to_string(::getpid()) + "-" +
           std::to_string(counter++) + "-" + std::to_string(attempt);
}

StagedFile::StagedFile(std::string target, mode_t mode) : m_target(std::move(target)) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = temporary_name(m_target, attempt);
        m_fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (m_fd >= 0) {
            m_temp_path = std::move(candidate);
            return;
        }
        if (errno != EEXIST) {
            m_error = error_for_path(errno, m_target);
            return;
        }
    }
    m_error = ERROR_ALREADY_EXISTS;
}

StagedFile::~StagedFile() {
    if (m_fd >= 0) ::close(m_fd);
    if (!m_temp_path.empty()) ::unlink(m_temp_path.c_str());
}

bool StagedFile::fail(DWORD error) {
    if (m_error == ERROR_SUCCESS) m_error = error;
    return false;
}

bool StagedFile::write(std::string_view bytes) {
    if (m_fd < 0) return fail(ERROR_INVALID_HANDLE);
    while (!bytes.empty()) {
        ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(error_from_errno(errno));
        if (n == 0) return fail(ERROR_DISK_FULL);
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

bool StagedFile::copy_from(int source_fd) {
    char buffer[64 * 1024];
    for (;;) {
        ssize_t n = ::read(source_fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(error_from_errno(errno));
        if (n == 0) return true;
        if (!write(std::string_view(buffer, static_cast<size_t>(n)))) return false;
    }
}

bool StagedFile::set_mode(mode_t mode) {
    if (m_fd < 0) return fail(ERROR_INVALID_HANDLE);
    if (::fchmod(m_fd, mode) != 0) return fail(error_from_errno(errno));
    return true;
}

bool StagedFile::make_read_only() {
    struct stat st;
    if (m_fd < 0) return fail(ERROR_INVALID_HANDLE);
    if (::fstat(m_fd, &st) != 0) return fail(error_from_errno(errno));
    return set_mode(st.st_mode & 07555);
}

// Renames the file to a target that must not exist, in one step where the file system can
// do that, else by a hard link (which also refuses an existing name), else by a check
// followed by a rename.
bool StagedFile::move_without_replacing() {
    if (::renameat2(AT_FDCWD, m_temp_path.c_str(), AT_FDCWD, m_target.c_str(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return fail(error_for_path(errno, m_target));
    if (::link(m_temp_path.c_str(), m_target.c_str()) == 0) {
        ::unlink(m_temp_path.c_str());
        return true;
    }
    if (errno == EEXIST) return fail(ERROR_ALREADY_EXISTS);
    struct stat st;
    if (::lstat(m_target.c_str(), &st) == 0) return fail(ERROR_ALREADY_EXISTS);
    if (::rename(m_temp_path.c_str(), m_target.c_str()) != 0)
        return fail(error_for_path(errno, m_target));
    return true;
}

bool StagedFile::commit(bool replace, bool durable) {
    if (m_fd < 0 || m_error != ERROR_SUCCESS) return fail(ERROR_INVALID_HANDLE);
    if (durable && ::fsync(m_fd) != 0) return fail(error_from_errno(errno));
    if (::close(m_fd) != 0) {
        m_fd = -1;
        return fail(error_from_errno(errno));
    }
    m_fd = -1;
    bool moved = replace ? ::rename(m_temp_path.c_str(), m_target.c_str()) == 0 ||
                               fail(error_for_path(errno, m_target))
                         : move_without_replacing();
    if (moved) m_temp_path.clear();
    return moved;
}

} // namespace winapi::kernel
