#include "support/allocation_counter.h"

#include <atomic>
#include <cstddef>

extern "C" void* __libc_malloc(size_t size);

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

} // namespace

#if !defined(__SANITIZE_ADDRESS__)
// The process's malloc: the executable's definition comes first for every module.
extern "C" void* malloc(size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    return __libc_malloc(size);
}
#endif

namespace bench {

bool allocations_countable() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#else
    return true;
#endif
}

void start_counting_allocations() {
    allocations = 0;
    counting = true;
}

long stop_counting_allocations() {
    counting = false;
    return allocations.load();
}

} // namespace bench
