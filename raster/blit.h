// Blit: the one compositing operation. It copies or blends a rectangle of one bitmap onto another
// at a position, clipped to both, with a weight and a mode word. Integer arithmetic per 8-bit
// channel on straight-alpha 0xAARRGGBB pixels. Runs on the caller's thread, touching only the two
// bitmaps.
#pragma once

#include "raster/rect.h"

#include <cstdint>

class RasterBitmap;

// The mode word: the low byte picks the arithmetic, BlendUseSourceAlpha scales each pixel's
// effect by its source alpha, and every other bit is ignored. Low bytes 6..0xEF draw nothing.
enum BlendMode : int {
    BlendCopy = 0,
    BlendAdd = 1,
    BlendDodge = 2,
    BlendMultiply = 3,
    BlendOverlay = 4,
    BlendHsvAdjust = 5,
    BlendChannelCopy = 0xF0,  // low nibble: destination byte index << 2 | source byte index
    BlendUseSourceAlpha = 0x10000,
};

// The mode that copies byte `sourceByte` of each source pixel into byte `destinationByte` of the
// destination pixel (0 blue, 1 green, 2 red, 3 alpha).
constexpr int ChannelCopyMode(int destinationByte, int sourceByte) {
    return BlendChannelCopy | (destinationByte & 3) << 2 | (sourceByte & 3);
}

// Draws the source (or its `sourceRect`, clipped to it) with its top left at (x, y). The weight
// becomes w = weight x 256 truncated; 1.0 and 0.5 copies take word-wide paths. Nothing is drawn
// for a null or empty bitmap, a weight of 0, an empty clipped area or an unknown mode.
void Blit(RasterBitmap* destination, const RasterBitmap* source, int x, int y,
          const Rect* sourceRect, float weight, int mode);

// Composites `count` pixels at `destination` with the single pixel `source`, with Blit's
// arithmetic for `mode` at the integer weight w out of 256 (no 1.0 or 0.5 word-wide paths).
// The fill and glyph code use it for the modes they never take a fast path for.
void BlendSolid(uint32_t* destination, uint32_t source, int count, int mode, int w);
