// Operating-system fonts to hand to RasterFont::SetFromHandle: GDI fonts on Windows, FreeType
// faces found through fontconfig elsewhere. Made and deleted on the editor's window thread; a
// font given FontOwnsHandle deletes its own.
#pragma once

#include "raster/raster_font.h"

enum FontQuality : int {
    FontQualityDefault = 0,
    FontQualityPlain = 1,  // not antialiased
    FontQualityAntialiased = 2,
    FontQualityClearType = 3,
};

struct FontRequest {
    const char* face = "Verdana";
    int height = 12;     // cell height in pixels; a negative value is the character height
    int escapement = 0;  // tenths of a degree (GDI only)
    int weight = 400;    // 400 normal, 700 bold
    bool italic = false;
    int quality = FontQualityDefault;
};

// The requested face, or the closest installed one; null when no font can be made.
FontHandle CreateFontHandle(const FontRequest& request);
void DeleteFontHandle(FontHandle handle);
