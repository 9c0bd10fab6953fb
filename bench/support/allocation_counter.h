// Counts the process's heap allocations (every call of malloc, from any module) while
// counting is on. Under AddressSanitizer, which owns malloc, nothing is counted.
#pragma once

namespace bench {

// False under AddressSanitizer: the counts then stay 0 and mean nothing.
bool allocations_countable();
void start_counting_allocations();
// Stops counting and returns the allocations since the start.
long stop_counting_allocations();

} // namespace bench
