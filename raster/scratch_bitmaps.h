// The two process-wide scratch bitmaps of the text code, shared by every font and editor without
// a lock: both are touched only on the editor's window thread while drawing.
#pragma once

#include "raster/sys_bitmap.h"

// Glyphs are rendered into it one at a time; it only grows.
SysBitmap& GlyphScratchBitmap();
// The native text path draws through it into bitmaps that have no device context.
SysBitmap& TextScratchBitmap();
