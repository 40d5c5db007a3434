// Replaces the C allocator of a test program (every operator new ends there too) with one that
// counts calls while an AllocationCounter is alive. Include it in exactly one source file of a
// program; glibc only, and not with the sanitizers, which bring their own allocator.
#pragma once

#include <atomic>
#include <cstddef>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* ptr, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace counting_allocator {
inline std::atomic<bool> armed{false};
inline std::atomic<int> allocations{0};

inline void Count() {
    if (armed.load(std::memory_order_relaxed)) allocations.fetch_add(1);
}
}  // namespace counting_allocator

// Counts the allocations made while it is alive.
class AllocationCounter {
public:
    AllocationCounter() {
        counting_allocator::allocations = 0;
        counting_allocator::armed = true;
    }
    ~AllocationCounter() { counting_allocator::armed = false; }
    int Count() const { return counting_allocator::allocations.load(); }
};

extern "C" {
void* malloc(std::size_t size) {
    counting_allocator::Count();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    counting_allocator::Count();
    return __libc_calloc(count, size);
}
void* realloc(void* ptr, std::size_t size) {
    counting_allocator::Count();
    return __libc_realloc(ptr, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
    counting_allocator::Count();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    counting_allocator::Count();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    counting_allocator::Count();
    *out = __libc_memalign(alignment, size);
    return *out != nullptr ? 0 : 12;
}
}
