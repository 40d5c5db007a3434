// SysBitmap: a RasterBitmap the operating system can draw into and copy to a window. On Windows
// its pixels are a DIB section selected into a memory device context; elsewhere they are a heap
// block and DeviceContext answers null. A shrink keeps the larger surface (the row span stays),
// so the editor's frame buffer and the text scratch bitmaps rarely reallocate.
#pragma once

#include "raster/raster_bitmap.h"

class SysBitmap : public RasterBitmap {
public:
    SysBitmap(int width, int height);
    ~SysBitmap() override;

    uint32_t* Bits() const override { return bits_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return allocatedWidth_; }
    // A size with no pixels releases the surface and answers false; a failed surface creation
    // leaves 0 x 0 with null Bits and answers true.
    bool Resize(int width, int height) override;
    DeviceContextHandle DeviceContext() const override { return deviceContext_; }

private:
    void ReleaseSurface();

    int width_ = 0;
    int height_ = 0;
    DeviceContextHandle deviceContext_ = nullptr;
    bool canDraw_ = false;  // false when the platform needs a device context and had none
    uint32_t* bits_ = nullptr;
    int allocatedWidth_ = 0;
    int allocatedHeight_ = 0;
    void* surface_ = nullptr;   // the DIB section, or the heap block without one
    void* previous_ = nullptr;  // what the DIB displaced in the context, put back before release
};
