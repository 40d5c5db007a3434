// MemBitmap: a RasterBitmap whose pixels live in a heap block. Rows start 64-byte aligned and are
// padded to a multiple of 4 pixels; the block grows with 25 % headroom and Resize never shrinks
// it, so a bitmap resized again and again rarely reallocates. Decoded images are MemBitmaps.
#pragma once

#include "raster/raster_bitmap.h"

#include <cstdlib>
#include <memory>

class MemBitmap : public RasterBitmap {
public:
    explicit MemBitmap(int width = 0, int height = 0);
    ~MemBitmap() override;

    uint32_t* Bits() const override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return (width_ + rowAlignMask_) & ~rowAlignMask_; }
    // Pixel contents are neither cleared nor rearranged. A size with no pixels, one too large for
    // 32-bit byte counts, or a failed allocation leaves an empty 0 x 0 bitmap with null Bits.
    bool Resize(int width, int height) override;

    int Capacity() const { return capacity_; }  // bytes of pixel storage, without the 63 spare

private:
    struct FreeBlock {
        void operator()(void* block) const { std::free(block); }
    };

    std::unique_ptr<unsigned char, FreeBlock> block_;
    int width_ = 0;
    int height_ = 0;
    int capacity_ = 0;
    const int rowAlignMask_ = 3;
};
