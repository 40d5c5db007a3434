#include "plugin/heap_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace {

constexpr std::int64_t kPage = 4096;
constexpr std::int64_t kLargestStep = 4194304;
// Large buffers end 96 bytes short of a page multiple, leaving the allocator its header.
constexpr std::int64_t kAllocatorHeader = 96;

}  // namespace

HeapBuffer::~HeapBuffer() { std::free(data_); }

void HeapBuffer::Swap(HeapBuffer& other) {
    std::swap(data_, other.data_);
    std::swap(granularity_, other.granularity_);
    std::swap(allocated_, other.allocated_);
    std::swap(used_, other.used_);
    std::swap(minimumAllocation_, other.minimumAllocation_);
}

std::int64_t HeapBuffer::AllocationFor(std::int32_t n) const {
    if (n < 1) return 0;
    std::int64_t allocation;
    const std::int64_t g = std::max<std::int64_t>(n / 2, granularity_);
    if (granularity_ < 4096) {
        allocation = n + g;
    } else {
        const std::int64_t step = std::clamp(g / kPage * kPage, kPage, kLargestStep);
        allocation = (n + kAllocatorHeader + step) / kPage * kPage - kAllocatorHeader;
    }
    allocation = std::max<std::int64_t>(allocation, minimumAllocation_);
    return allocation > std::numeric_limits<std::int32_t>::max() ? -1 : allocation;
}

bool HeapBuffer::Resize(std::int32_t n, bool allowShrink) {
    if (n == used_) return true;
    if (n < 0) return false;

    std::int32_t threshold = 0;
    if (allowShrink && n < used_) {
        threshold = std::max(1, std::min(allocated_ / 2, allocated_ - 4 * granularity_));
    }
    if (n > allocated_ || n < threshold) {
        const std::int64_t allocation = AllocationFor(n);
        if (allocation < 0) return false;
        if (allocation == 0) {
            std::free(data_);
            data_ = nullptr;
        } else {
            void* moved = std::realloc(data_, static_cast<std::size_t>(allocation));
            if (moved == nullptr) return false;
            data_ = static_cast<std::uint8_t*>(moved);
        }
        allocated_ = static_cast<std::int32_t>(allocation);
    }
    used_ = n;
    return true;
}

bool HeapBuffer::ResizeZeroed(std::int32_t n, bool allowShrink) {
    const std::int32_t oldUsed = used_;
    if (!Resize(n, allowShrink)) return false;
    if (n > oldUsed) std::memset(data_ + oldUsed, 0, static_cast<std::size_t>(n - oldUsed));
    return true;
}
