#include "raster/fill.h"

#include <algorithm>
#include <cstdint>

#include "raster/blit.h"
#include "raster/pixel_rows.h"

namespace {

constexpr uint32_t kHalfMask = 0x7F7F7F7Fu;     // after >> 1: each byte halved, rounded down
constexpr uint32_t kQuarterMask = 0x3F3F3F3Fu;  // after >> 2: each byte quartered

inline int Channel(uint32_t pixel, int shift) { return int(pixel >> shift) & 0xFF; }

// Each of B, G, R: d = (d - c) x (256 - k) / 256 + c; alpha: d = k + (d - k) x (256 - k) / 256.
inline uint32_t CopyTowards(uint32_t d, uint32_t color, int k) {
    const int keep = 256 - k;
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int c = Channel(color, shift);
        out |= uint32_t(((Channel(d, shift) - c) * keep / 256 + c) & 0xFF) << shift;
    }
    const int alpha = k + (Channel(d, 24) - k) * keep / 256;
    return out | uint32_t(alpha & 0xFF) << 24;
}

struct Area {
    PixelRows rows;
    int64_t left, top, right, bottom;
};

template <typename F>
void EachPixel(const Area& area, F f) {
    for (int64_t r = area.top; r < area.bottom; ++r) {
        uint32_t* d = area.rows.Row(r);
        for (int64_t i = area.left; i < area.right; ++i) {
            d[i] = f(d[i]);
        }
    }
}

}  // namespace

void ClearBitmap(RasterBitmap* bitmap) {
    PixelRows rows;
    if (!bitmap || !GetPixelRows(*bitmap, &rows)) {
        return;
    }
    for (int r = 0; r < rows.height; ++r) {
        std::fill_n(rows.Row(r), rows.width, 0u);
    }
}

void FillRectangle(RasterBitmap* bitmap, int x, int y, int width, int height, uint32_t color,
                   float weight, int mode) {
    if (!bitmap) {
        return;
    }
    if (mode & BlendUseSourceAlpha) {
        weight = float(double(weight) * double(color >> 24) / 255.0);
    }
    Area area;
    if (weight == 0.0f || !GetPixelRows(*bitmap, &area.rows)) {
        return;
    }
    area.left = std::max(x, 0);
    area.top = std::max(y, 0);
    area.right = std::min(int64_t{x} + width, int64_t{area.rows.width});
    area.bottom = std::min(int64_t{y} + height, int64_t{area.rows.height});
    if (area.left >= area.right || area.top >= area.bottom) {
        return;
    }
    const int k = WeightOutOf256(weight);
    if ((mode & 0xFF) != BlendCopy) {
        // Blit's arithmetic with the colour as the source; k is its weight and its alpha.
        const uint32_t source = (color & 0xFFFFFFu) | uint32_t(std::clamp(k, 0, 255)) << 24;
        const int n = int(area.right - area.left);
        for (int64_t r = area.top; r < area.bottom; ++r) {
            BlendSolid(area.rows.Row(r) + area.left, source, n, mode, k);
        }
        return;
    }
    if (k <= 0) {
        return;
    }
    // Whole words at 1, 1/2, 1/4 and 3/4: every byte, alpha included, from its halves and
    // quarters, each rounded down.
    const uint32_t half = (color >> 1) & kHalfMask;
    const uint32_t quarter = (color >> 2) & kQuarterMask;
    if (k >= 256) {
        EachPixel(area, [color](uint32_t) { return color; });
    } else if (k == 128) {
        EachPixel(area, [half](uint32_t d) { return half + ((d >> 1) & kHalfMask); });
    } else if (k == 64) {
        EachPixel(area, [quarter](uint32_t d) {
            return ((d >> 1) & kHalfMask) + quarter + ((d >> 2) & kQuarterMask);
        });
    } else if (k == 192) {
        EachPixel(area, [half, quarter](uint32_t d) {
            return quarter + ((d >> 2) & kQuarterMask) + half;
        });
    } else {
        EachPixel(area, [color, k](uint32_t d) { return CopyTowards(d, color, k); });
    }
}
