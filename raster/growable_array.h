// A growable array of plain records in one heap block that grows in fixed steps of bytes. An
// append that cannot grow (out of memory, or past 32-bit sizes) reports failure and leaves the
// array as it was, so callers survive it without exceptions. Not thread-safe.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <type_traits>

template <typename T, int kStepBytes>
class GrowableArray {
    static_assert(std::is_trivially_copyable_v<T>, "stored by realloc");

public:
    int Size() const { return size_; }
    T* Data() { return block_.get(); }
    const T* Data() const { return block_.get(); }

    // Adds `count` uninitialised records at the end; returns the first, or null on failure.
    T* Append(int64_t count) {
        const int64_t size = size_ + count;
        if (count < 0 || size * int64_t(sizeof(T)) > std::numeric_limits<int>::max() - kStepBytes) {
            return nullptr;
        }
        if (size > capacity_) {
            const int64_t bytes =
                (size * int64_t(sizeof(T)) + kStepBytes - 1) / kStepBytes * kStepBytes;
            void* moved = std::realloc(block_.get(), size_t(bytes));
            if (!moved) {
                return nullptr;
            }
            block_.release();
            block_.reset(static_cast<T*>(moved));
            capacity_ = int(bytes / int64_t(sizeof(T)));
        }
        T* first = block_.get() + size_;
        size_ = int(size);
        return first;
    }

    void Clear() {
        block_.reset();
        size_ = capacity_ = 0;
    }

private:
    struct FreeBlock {
        void operator()(T* block) const { std::free(block); }
    };

    std::unique_ptr<T, FreeBlock> block_;
    int size_ = 0;
    int capacity_ = 0;
};
