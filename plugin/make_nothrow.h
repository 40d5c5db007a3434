// Owned objects made without exceptions: nothing may throw into the host's process, so the module
// allocates with the non-throwing new and takes a null result as memory running short.
#pragma once

#include <memory>
#include <new>
#include <utility>

// A new T owned by the result, or null when memory is short. T's constructor must not throw.
template <typename T, typename... Args>
std::unique_ptr<T> MakeNothrow(Args&&... args) {
    return std::unique_ptr<T>(new (std::nothrow) T(std::forward<Args>(args)...));
}
