#include "kernel/file_handle_table.h"

#include <unistd.h>
#include <winbase.h>

namespace winapi::kernel {

OpenFile::~OpenFile() {
    ::close(m_fd);
}

HFILE FileHandleTable::add(int fd) {
    auto file = std::make_shared<OpenFile>(fd);
    std::lock_guard lock(m_mutex);
    constexpr int range = last_handle - first_handle + 1;
    for (int tries = 0; tries < range; ++tries) {
        HFILE candidate = m_next;
        m_next = m_next == last_handle ? first_handle : m_next + 1;
        if (m_files.count(candidate)) continue;
        m_files.emplace(candidate, std::move(file));
        return candidate;
    }
    return HFILE_ERROR;
}

std::shared_ptr<OpenFile> FileHandleTable::find(HFILE handle) const {
    std::lock_guard lock(m_mutex);
    auto it = m_files.find(handle);
    return it == m_files.end() ? nullptr : it->second;
}

std::shared_ptr<OpenFile> FileHandleTable::remove(HFILE handle) {
    std::lock_guard lock(m_mutex);
    auto it = m_files.find(handle);
    if (it == m_files.end()) return nullptr;
    std::shared_ptr<OpenFile> file = std::move(it->second);
    m_files.erase(it);
    return file;
}

FileHandleTable& file_handles() {
    // Never destroyed: modules unloaded late (or threads still reading) must not find the
    // table gone during process exit.
    static auto* table = new FileHandleTable;
    return *table;
}

} // namespace winapi::kernel
