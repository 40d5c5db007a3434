// The operating-system half of the font code: GDI on Windows (font_platform_win32.cpp), FreeType
// with fontconfig elsewhere (font_platform_posix.cpp). Called on the editor's window thread.
#pragma once

#include <cstdint>

#include "raster/raster_bitmap.h"
#include "raster/raster_font.h"

namespace font_platform {

// True when characters from 128 up can be rendered (the Windows NT family; always elsewhere).
bool IsNtFamily();

// Whether DrawString may hand text to the operating system: on Windows outside Wine only.
bool NativeTextAvailable();

// After the glyph scratch bitmap was resized: white text on an opaque black background.
void PrepareGlyphContext(DeviceContextHandle context);

// The font's text-metric height (ascent + descent), or -1 when it cannot be read.
int FontHeight(DeviceContextHandle scratchContext, FontHandle font);

struct CharacterBox {
    int right = 0;  // of the drawing rectangle at (0, 0), widened
    int bottom = 0;
    int measuredWidth = 0;  // before widening
};

// Measures one character as a single line at (0, 0), widens the rectangle by `extraWidth`
// pixels to the right, and draws the character white on black into `scratch` within it.
CharacterBox RenderCharacter(RasterBitmap& scratch, FontHandle font, uint16_t code, int extraWidth);

}  // namespace font_platform
