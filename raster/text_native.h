// The native text path: the operating system draws or measures the whole string, straight into
// a bitmap's device context or through the text scratch bitmap. Only Windows has one; DrawString
// reaches it when font_platform::NativeTextAvailable() says so. Editor's window thread only.
#pragma once

#include "raster/rect.h"

class CachedFont;
class RasterBitmap;

// Returns GDI's text height; with FormatCalcRect sets the rectangle's right and bottom.
int DrawStringNative(const CachedFont& font, RasterBitmap* bitmap, const char* text, int length,
                     Rect& rect, int format);
