// ResampleArea: resizes a rectangle of one bitmap into a rectangle of another with an area
// (box) filter: each destination pixel is the mean of the source area it covers, partly covered
// source pixels weighted by how much of them it covers. Colours are averaged premultiplied by
// their alpha, so transparent surroundings do not darken an image's edges. Runs on the caller's
// thread; it allocates a scratch buffer per call, so it is for images made once, not frames.
#pragma once

#include "raster/rect.h"

class RasterBitmap;

// Fills destination's (x, y, width, height) from source's sourceRect. False, with nothing
// written, for an empty or out-of-bounds rectangle or when the scratch memory cannot be had.
bool ResampleArea(const RasterBitmap& source, const Rect& sourceRect, RasterBitmap& destination,
                  int x, int y, int width, int height);
