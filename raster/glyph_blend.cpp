#include "raster/glyph_blend.h"

#include <algorithm>

#include "raster/blit.h"

namespace {

inline int Channel(uint32_t pixel, int shift) { return int(pixel >> shift) & 0xFF; }

// With m the share of the destination kept, out of 256: each of B, G, R:
// d = color + (d - color) x m / 256; alpha: d = 255 - (255 - d) x m / 256 (truncated).
inline uint32_t KeepShare(uint32_t d, uint32_t color, int m) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int c = Channel(color, shift);
        out |= uint32_t((c + (Channel(d, shift) - c) * m / 256) & 0xFF) << shift;
    }
    const int alpha = 255 - (255 - Channel(d, 24)) * m / 256;
    return out | uint32_t(alpha & 0xFF) << 24;
}

}  // namespace

void BlendGlyphRow(uint32_t* destination, const uint8_t* coverage, int n, uint32_t color, int k,
                   int mode) {
    if ((mode & 0xFF) != BlendCopy) {
        // Blit's arithmetic with the colour as the source at the per-pixel weight k x c / 256.
        for (int i = 0; i < n; ++i) {
            if (coverage[i] != 0) {
                BlendSolid(destination + i, color, 1, mode, k * coverage[i] / 256);
            }
        }
        return;
    }
    if (k <= 0) {
        return;
    }
    for (int i = 0; i < n; ++i) {
        const int c = coverage[i];
        if (c == 0) {
            continue;
        }
        // Full weight keeps 255 - c; otherwise 256 - min(k x c / 256, 256).
        const int m = k == 256 ? 255 - c : 256 - std::min(k * c / 256, 256);
        destination[i] = KeepShare(destination[i], color, m);
    }
}
