#include <malloc.h>

#include <cstddef>
#include <cstring>
#include <new>

#include "tests/effect/failing_allocator.h"

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* block, std::size_t size);
void __real_free(void* block);
void* __real__Znwm(std::size_t size);
void* __real__ZnwmRKSt9nothrow_t(std::size_t size, const std::nothrow_t& tag);
void __real__ZdlPv(void* block);
void __real__ZdlPvm(void* block, std::size_t size);
}

namespace {

bool armed = false;
long failAt = 0;
long count = 0;
long live = 0;
// Blocks given up by a reallocation, freed only at Disarm, so that no later allocation can
// land on an address a stale pointer still holds.
void* quarantine[256];
int quarantined = 0;

// Counts one allocation; false when it is the one to fail.
bool Grant() {
    if (!armed) return true;
    return ++count != failAt;
}

void* Counted(void* block) {
    if (armed && block != nullptr) ++live;
    return block;
}

void Released(void* block) {
    if (armed && block != nullptr) --live;
}

}  // namespace

namespace failing_allocator {

void Arm(long failAtAllocation) {
    failAt = failAtAllocation;
    count = 0;
    live = 0;
    armed = true;
}

long Disarm() {
    armed = false;
    while (quarantined > 0) __real_free(quarantine[--quarantined]);
    return count;
}

long Live() { return live; }

}  // namespace failing_allocator

extern "C" {

void* __wrap_malloc(std::size_t size) { return Grant() ? Counted(__real_malloc(size)) : nullptr; }

void* __wrap_calloc(std::size_t count, std::size_t size) {
    return Grant() ? Counted(__real_calloc(count, size)) : nullptr;
}

void* __wrap_realloc(void* block, std::size_t size) {
    if (block == nullptr) return __wrap_malloc(size);
    if (!armed) return __real_realloc(block, size);
    if (!Grant()) return nullptr;
    void* moved = __real_malloc(size);
    if (moved != nullptr) {
        const std::size_t kept = malloc_usable_size(block);
        std::memcpy(moved, block, kept < size ? kept : size);
        if (quarantined < 256) {
            quarantine[quarantined++] = block;
        } else {
            __real_free(block);
        }
    }
    return moved;
}

void __wrap_free(void* block) {
    Released(block);
    __real_free(block);
}

void* __wrap__Znwm(std::size_t size) {
    if (!Grant()) throw std::bad_alloc();
    return Counted(__real__Znwm(size));
}

void* __wrap__ZnwmRKSt9nothrow_t(std::size_t size, const std::nothrow_t& tag) {
    return Grant() ? Counted(__real__ZnwmRKSt9nothrow_t(size, tag)) : nullptr;
}

void __wrap__ZdlPv(void* block) {
    Released(block);
    __real__ZdlPv(block);
}

void __wrap__ZdlPvm(void* block, std::size_t size) {
    Released(block);
    __real__ZdlPvm(block, size);
}
}
