// Row addressing shared by the fill, glyph and text code: image row r lies at First + r x Step
// pixels whichever way the bitmap stores its rows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/raster_bitmap.h"

struct PixelRows {
    uint32_t* first = nullptr;  // image row 0
    ptrdiff_t step = 0;
    int width = 0;
    int height = 0;

    uint32_t* Row(int64_t r) const { return first + r * step; }
};

// False for a bitmap without pixels, an empty size or a row span shorter than a row.
bool GetPixelRows(const RasterBitmap& bitmap, PixelRows* rows);

// Beyond 16 times full strength the integer products of the pixel arithmetic could overflow.
constexpr int kMaxWeight = 16 * 256;

// w = weight x 256 in double precision, truncated toward zero, kept within +-16 x 256 so the
// pixel arithmetic cannot overflow; NaN counts as 0.
int WeightOutOf256(double weight);
