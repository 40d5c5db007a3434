// Counts the allocations made inside a call, where the test program can see them: on Linux
// without the sanitizers (which bring their own allocator) it replaces the C allocator; elsewhere
// it sees nothing and says so.
#pragma once

#include <type_traits>

namespace allocation_probe {

bool Counts();
// Allocations during call(context).
int During(void (*call)(void* context), void* context);

}  // namespace allocation_probe

// Allocations during f().
template <typename F>
int AllocationsDuring(F&& f) {
    using Call = std::remove_reference_t<F>;
    return allocation_probe::During([](void* context) { (*static_cast<Call*>(context))(); }, &f);
}
