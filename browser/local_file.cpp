#include "local_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace browser {

int open_regular_file(const std::string& path, uint64_t& size, std::string& error) {
    // Opening a FIFO for reading waits for a writer unless it is opened without blocking;
    // the type is then checked on what was opened, so nothing can be swapped in between.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? "is a folder" : "is not a regular file";
        ::close(fd);
        return -1;
    }
    // Reads of a regular file never wait anyway; the flag goes so that reads behave as usual.
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    size = static_cast<uint64_t>(info.st_size);
    return fd;
}

} // namespace browser
