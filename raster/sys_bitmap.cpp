#include "raster/sys_bitmap.h"

#include "raster/sys_surface.h"

#include <cstdint>
#include <limits>

SysBitmap::SysBitmap(int width, int height) {
    canDraw_ = sys_surface::OpenContext(&deviceContext_);
    Resize(width, height);
}

SysBitmap::~SysBitmap() {
    ReleaseSurface();
    sys_surface::CloseContext(deviceContext_);
}

void SysBitmap::ReleaseSurface() {
    sys_surface::ReleaseSurface(deviceContext_, &surface_, &previous_);
    bits_ = nullptr;
}

bool SysBitmap::Resize(int width, int height) {
    if (!canDraw_) {
        width_ = height_ = 0;
        bits_ = nullptr;
        return false;
    }
    // Negative sizes count as empty: they would otherwise pass the keep test or flip the DIB.
    if (width <= 0 || height <= 0) {
        width = height = 0;
    }
    if (width == width_ && height == height_) {
        return false;
    }
    width_ = width;
    height_ = height;
    if (width != 0 && allocatedWidth_ >= width && allocatedHeight_ >= height && bits_) {
        return true;
    }
    ReleaseSurface();
    allocatedWidth_ = allocatedHeight_ = 0;
    if (width == 0) {
        return false;
    }
    const int64_t span = (int64_t{width} + 3) & ~int64_t{3};
    const bool fits = span <= std::numeric_limits<int>::max() &&
                      PixelStorageBytes(int(span), height) > 0;
    if (fits && sys_surface::CreateSurface(deviceContext_, int(span), height, IsBottomUp(),
                                           &surface_, &previous_, &bits_)) {
        allocatedWidth_ = int(span);
        allocatedHeight_ = height;
    } else {
        width_ = height_ = 0;
        bits_ = nullptr;
    }
    return true;
}
