#include "tests/e2e/allocation_probe.h"
#include "tests/support/counting_allocator.h"

namespace allocation_probe {

bool Counts() { return true; }

int During(void (*call)(void* context), void* context) {
    AllocationCounter counter;
    call(context);
    return counter.Count();
}

}  // namespace allocation_probe
