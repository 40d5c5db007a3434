#include "raster/mem_bitmap.h"

#include <algorithm>
#include <cstdint>
#include <limits>

MemBitmap::MemBitmap(int width, int height) {
    if (width != 0 || height != 0) {
        Resize(width, height);
    }
}

MemBitmap::~MemBitmap() = default;

uint32_t* MemBitmap::Bits() const {
    if (!block_) {
        return nullptr;
    }
    const uintptr_t aligned = (reinterpret_cast<uintptr_t>(block_.get()) + 63) & ~uintptr_t{63};
    return reinterpret_cast<uint32_t*>(aligned);
}

bool MemBitmap::Resize(int width, int height) {
    if (width == width_ && height == height_) {
        return false;
    }
    const int64_t span = (int64_t{width} + rowAlignMask_) & ~int64_t{rowAlignMask_};
    const int64_t bytes =
        span > std::numeric_limits<int>::max() ? -1 : PixelStorageBytes(int(span), height);
    if (bytes < 0) {
        if (!block_) {
            return false;  // already empty: nothing changes
        }
        block_.reset();
        width_ = height_ = capacity_ = 0;
        return true;
    }
    width_ = width;
    height_ = height;
    if (!block_) {
        capacity_ = int(bytes);
        block_.reset(static_cast<unsigned char*>(std::malloc(size_t(bytes) + 63)));
    } else if (capacity_ < bytes) {
        const int64_t grown =
            std::min<int64_t>(bytes + bytes / 4, std::numeric_limits<int>::max() - 63);
        void* moved = std::realloc(block_.get(), size_t(grown) + 63);
        if (moved) {
            block_.release();
            block_.reset(static_cast<unsigned char*>(moved));
            capacity_ = int(grown);
        } else {
            block_.reset();
            capacity_ = int(bytes);
            block_.reset(static_cast<unsigned char*>(std::malloc(size_t(bytes) + 63)));
        }
    }
    if (!block_) {
        width_ = height_ = capacity_ = 0;
    }
    return true;
}
