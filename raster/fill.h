// The two pixel primitives under glyph drawing: clearing a bitmap and filling a rectangle with a
// colour, weight and blend mode. They run on the caller's thread and touch only the bitmap.
#pragma once

#include <cstdint>

class RasterBitmap;

// Sets the first Width pixels of every row to 0; nothing for a bitmap without pixels.
void ClearBitmap(RasterBitmap* bitmap);

// Composites `color` over the rectangle, cut to the bitmap, at the weight (w = weight x 256,
// truncated) in `mode` (blit.h). BlendCopy stores the colour at full weight and takes
// word-wide paths at 1/4, 1/2 and 3/4; BlendUseSourceAlpha first scales the weight by the
// colour's alpha / 255.
void FillRectangle(RasterBitmap* bitmap, int x, int y, int width, int height, uint32_t color,
                   float weight, int mode);
