// Global memory: GlobalAlloc, GlobalLock, GlobalUnlock, GlobalSize and GlobalFree.
//
// A fixed block's handle is its address, as on Windows. A moveable block's handle is a
// value from a handle table, distinct from any address, and GlobalLock gives the address;
// the block keeps a lock count. Both kinds are looked up before use, so a null, freed or
// made-up handle gets the documented failure instead of touching memory. The clipboard
// takes ownership of such blocks, so they may outlive the code that allocated them.

#include "common/handle_table.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <winbase.h>
#include <winerror.h>

namespace winapi::kernel {
namespace {

// Tag of moveable handle values ('g'), keeping them apart from other handle kinds.
constexpr uintptr_t moveable_tag = 0x67;

struct GlobalBlock {
    ~GlobalBlock() { std::free(data); }

    // The memory, or null for a moveable block of size 0 (which Windows treats as
    // discarded: it exists but cannot be locked).
    void* data = nullptr;
    SIZE_T size = 0;
    UINT flags = 0;
    unsigned lock_count = 0;
};

class GlobalHeap {
  public:
    // Allocates a block; null when memory is short.
    HGLOBAL allocate(UINT flags, SIZE_T size);
    GlobalBlock* find(HGLOBAL handle);
    bool free(HGLOBAL handle);
    std::mutex& mutex() { return m_mutex; }

  private:
    std::mutex m_mutex;
    HandleTable<GlobalBlock> m_moveable{moveable_tag};
    std::unordered_map<uintptr_t, std::unique_ptr<GlobalBlock>> m_fixed;
};

GlobalHeap& heap() {
    // Never destroyed: the clipboard may still own blocks while the process exits.
    static auto* instance = new GlobalHeap;
    return *instance;
}

HGLOBAL GlobalHeap::allocate(UINT flags, SIZE_T size) {
    auto block = std::make_unique<GlobalBlock>();
    block->size = size;
    block->flags = flags;
    bool moveable = flags & GMEM_MOVEABLE;
    if (size > 0 || !moveable) {
        // A fixed block of size 0 still has an address of its own.
        size_t bytes = size > 0 ? size : 1;
        block->data = (flags & GMEM_ZEROINIT) ? std::calloc(1, bytes) : std::malloc(bytes);
        if (!block->data) return nullptr;
    }
    if (moveable) return reinterpret_cast<HGLOBAL>(m_moveable.add(std::move(block)));
    auto address = reinterpret_cast<uintptr_t>(block->data);
    m_fixed.emplace(address, std::move(block));
    return reinterpret_cast<HGLOBAL>(address);
}

GlobalBlock* GlobalHeap::find(HGLOBAL handle) {
    if (GlobalBlock* block = m_moveable.find(handle)) return block;
    auto it = m_fixed.find(reinterpret_cast<uintptr_t>(handle));
    return it == m_fixed.end() ? nullptr : it->second.get();
}

bool GlobalHeap::free(HGLOBAL handle) {
    if (m_moveable.remove(handle)) return true;
    return m_fixed.erase(reinterpret_cast<uintptr_t>(handle)) > 0;
}

// The block of a handle, or null with ERROR_INVALID_HANDLE. The heap's lock is held.
GlobalBlock* block_or_error(HGLOBAL handle) {
    GlobalBlock* block = handle ? heap().find(handle) : nullptr;
    if (!block) SetLastError(ERROR_INVALID_HANDLE);
    return block;
}

} // namespace
} // namespace winapi::kernel

using namespace winapi::kernel;

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    if (uFlags & ~GMEM_VALID_FLAGS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard lock(heap().mutex());
    HGLOBAL handle = heap().allocate(uFlags, dwBytes);
    if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return handle;
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    std::lock_guard lock(heap().mutex());
    GlobalBlock* block = block_or_error(hMem);
    if (!block) return nullptr;
    // Fixed blocks have no lock count: their address is their handle.
    if (!(block->flags & GMEM_MOVEABLE)) return block->data;
    if (!block->data) {
        SetLastError(ERROR_DISCARDED);
        return nullptr;
    }
    ++block->lock_count;
    return block->data;
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    std::lock_guard lock(heap().mutex());
    GlobalBlock* block = block_or_error(hMem);
    if (!block) return FALSE;
    if (!(block->flags & GMEM_MOVEABLE)) return TRUE;
    if (block->lock_count == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--block->lock_count > 0) return TRUE;
    SetLastError(NO_ERROR);
    return FALSE;
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
    std::lock_guard lock(heap().mutex());
    GlobalBlock* block = block_or_error(hMem);
    return block ? block->size : 0;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    // Freeing null does nothing and succeeds. A locked block is freed all the same, as
    // Windows does.
    if (!hMem) return nullptr;
    std::lock_guard lock(heap().mutex());
    if (heap().free(hMem)) return nullptr;
    SetLastError(ERROR_INVALID_HANDLE);
    return hMem;
}
