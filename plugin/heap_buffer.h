// A growable block of bytes: the storage under every list, text, state chunk and audio scratch
// buffer of the framework. Not thread-safe; its owner serialises access (usually under the
// plug-in lock). Allocation failures are reported, never thrown, and leave the buffer as it was.
#pragma once

#include <cstdint>

class HeapBuffer {
public:
    explicit HeapBuffer(std::int32_t granularity) : granularity_(granularity) {}
    ~HeapBuffer();
    HeapBuffer(const HeapBuffer&) = delete;
    HeapBuffer& operator=(const HeapBuffer&) = delete;
    HeapBuffer(HeapBuffer&& other) noexcept : granularity_(other.granularity_) { Swap(other); }

    // Sets the used size to n bytes, growing or (when allowed) shrinking the allocation by the
    // hysteresis rule below. Returns false, with nothing changed, when memory cannot be had.
    bool Resize(std::int32_t n, bool allowShrink = true);
    // As Resize, and clears the bytes from the old used size up to n.
    bool ResizeZeroed(std::int32_t n, bool allowShrink = true);

    // Exchanges the contents of two buffers, allocations included.
    void Swap(HeapBuffer& other);

    void SetMinimumAllocation(std::int32_t bytes) { minimumAllocation_ = bytes; }

    std::uint8_t* Data() { return data_; }
    const std::uint8_t* Data() const { return data_; }
    std::int32_t Size() const { return used_; }
    std::int32_t Allocated() const { return allocated_; }
    std::int32_t Granularity() const { return granularity_; }

    // The allocation chosen for n bytes, or -1 when it does not fit a 32-bit size.
    std::int64_t AllocationFor(std::int32_t n) const;

private:
    std::uint8_t* data_ = nullptr;
    std::int32_t granularity_;
    std::int32_t allocated_ = 0;
    std::int32_t used_ = 0;
    std::int32_t minimumAllocation_ = 0;
};
