// The arithmetic that composites a glyph's coverage with a colour; DrawGlyph runs it per row.
#pragma once

#include <cstdint>

// Composites n destination pixels with `color` where `coverage` (0..255) covers them, at the
// font weight k out of 256, in `mode` (blit.h). Coverage 0 leaves a pixel alone.
void BlendGlyphRow(uint32_t* destination, const uint8_t* coverage, int n, uint32_t color, int k,
                   int mode);
