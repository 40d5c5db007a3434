#include "raster/raster_bitmap.h"

#include <cstdint>
#include <limits>

RasterBitmap::~RasterBitmap() = default;

bool RasterBitmap::IsBottomUp() const { return false; }

DeviceContextHandle RasterBitmap::DeviceContext() const { return nullptr; }

int RasterBitmap::Extension() const { return 0; }

int64_t PixelStorageBytes(int span, int height) {
    if (span <= 0 || height <= 0) {
        return -1;
    }
    const int64_t bytes = int64_t{span} * height * 4;
    return bytes > std::numeric_limits<int32_t>::max() - 63 ? -1 : bytes;
}
