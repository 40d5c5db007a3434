// RasterFont: a font that draws and measures UTF-8 text into raster bitmaps with its own colours,
// background treatment, weight and compositing mode. Fonts are made and used only on the editor's
// window thread; the editor's process-wide font cache keeps them until the module unloads.
#pragma once

#include <cstdint>

#include "raster/rect.h"

class RasterBitmap;

// An operating-system font: a GDI font on Windows, a FreeType face elsewhere (font_handle.h).
using FontHandle = void*;

// Font flags. The glyph treatments (vertical layout 1 and 2, fixed ASCII set 4, blur 0x10,
// inversion 0x20, monochrome 0x40, outlines 0x80 and 0x100) keep text off the native path.
enum FontFlags : int {
    FontFixedAscii = 0x4,  // SetFromHandle renders codes 0..127 and no others are ever added
    FontGlyphTreatments = 0x1F7,
    FontOwnsHandle = 0x200,    // the font deletes its handle when replaced or destroyed
    FontPreferNative = 0x400,  // DrawString may let the operating system draw the text
};

// Background treatment of glyphs; the values are GDI's TRANSPARENT and OPAQUE.
enum FontBackMode : int {
    BackTransparent = 1,
    BackOpaque = 2,
};

// DrawString's format word: GDI's DrawText flags (so the native path passes them on) plus two
// of the raster layer's own in the top bits.
enum TextFormat : int {
    FormatCenter = 0x1,
    FormatRight = 0x2,
    FormatVCenter = 0x4,
    FormatBottom = 0x8,
    FormatAlignment = 0xF,
    FormatSingleLine = 0x20,
    FormatNoClip = 0x100,
    FormatCalcRect = 0x400,  // measure only: set the rectangle's right and bottom
    FormatNoPrefix = 0x800,
    FormatUseForeAlpha = 0x40000000,  // weight x fore colour alpha / 255; forces the glyph path
    FormatForceGlyphs = int(0x80000000u),  // never the native path
};

class RasterFont {
public:
    RasterFont() = default;
    RasterFont(const RasterFont&) = delete;
    RasterFont& operator=(const RasterFont&) = delete;

    // The virtual operations keep this slot order. Colours are 0xAARRGGBB words like pixels.
    virtual ~RasterFont();
    virtual void SetFromHandle(FontHandle handle, int flags) = 0;
    virtual uint32_t SetForeColor(uint32_t color) = 0;  // each setter returns the previous value
    virtual uint32_t SetBackColor(uint32_t color) = 0;
    virtual uint32_t SetTreatmentColor(uint32_t color) = 0;
    virtual int SetBackMode(int mode) = 0;
    virtual void SetBlendMode(int mode, float weight) = 0;
    // Draws (or with FormatCalcRect measures) `length` bytes of UTF-8 text, -1 meaning up to the
    // NUL, inside `rect` of `bitmap` (null to measure). Returns the height of the text.
    virtual int DrawString(RasterBitmap* bitmap, const char* text, int length, Rect& rect,
                           int format) = 0;
    virtual uint32_t GetForeColor() const = 0;
    virtual FontHandle GetHandle() const = 0;
    virtual int LineHeight() const = 0;
};
