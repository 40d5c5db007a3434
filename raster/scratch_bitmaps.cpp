#include "raster/scratch_bitmaps.h"

namespace {
// Process-wide: created empty when the module loads, destroyed when it unloads.
SysBitmap gGlyphScratch(0, 0);
// Process-wide: created empty when the module loads, destroyed when it unloads.
SysBitmap gTextScratch(0, 0);
}  // namespace

SysBitmap& GlyphScratchBitmap() { return gGlyphScratch; }

SysBitmap& TextScratchBitmap() { return gTextScratch; }
