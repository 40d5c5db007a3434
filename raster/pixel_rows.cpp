#include "raster/pixel_rows.h"

#include <algorithm>

bool GetPixelRows(const RasterBitmap& bitmap, PixelRows* rows) {
    uint32_t* bits = bitmap.Bits();
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    const int span = bitmap.RowSpan();
    if (!bits || width <= 0 || height <= 0 || span < width) {
        return false;
    }
    rows->width = width;
    rows->height = height;
    if (bitmap.IsBottomUp()) {
        rows->first = bits + ptrdiff_t(height - 1) * span;
        rows->step = -ptrdiff_t(span);
    } else {
        rows->first = bits;
        rows->step = span;
    }
    return true;
}

int WeightOutOf256(double weight) {
    const double w = weight * 256.0;
    if (!(w == w)) {
        return 0;
    }
    return int(std::clamp(w, double(-kMaxWeight), double(kMaxWeight)));
}
