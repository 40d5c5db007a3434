// CachedFont: the RasterFont of the raster layer. It wraps an operating-system font and keeps a
// glyph cache: each character is rendered once into the process-wide glyph scratch bitmap, its
// 8-bit coverage map kept, and later composited with the font's colour, weight and mode. Used
// only on the editor's window thread; all fonts share the scratch bitmaps without a lock.
#pragma once

#include <cstdint>

#include "raster/growable_array.h"
#include "raster/raster_font.h"

struct GlyphRecord {
    // 0 not rendered yet (or not for lack of memory), -1 renders as nothing, else 1 + offset in
    // the glyph data
    int dataPosition;
    int width;         // of the coverage map, pixels
    int height;
    int advance;  // to the next character, pixels
    int code;     // the character code in extended entries; 0 in the ASCII table
};

class CachedFont : public RasterFont {
public:
    CachedFont();
    ~CachedFont() override;

    // Takes the font (deleting the previous one when owned and different), reads its line
    // height and empties the glyph cache.
    void SetFromHandle(FontHandle handle, int flags) override;
    uint32_t SetForeColor(uint32_t color) override;
    uint32_t SetBackColor(uint32_t color) override;
    uint32_t SetTreatmentColor(uint32_t color) override;
    int SetBackMode(int mode) override;
    void SetBlendMode(int mode, float weight) override;
    int DrawString(RasterBitmap* bitmap, const char* text, int length, Rect& rect,
                   int format) override;
    uint32_t GetForeColor() const override { return foreColor_; }
    FontHandle GetHandle() const override { return handle_; }
    int LineHeight() const override { return lineHeight_; }

    uint32_t BackColor() const { return backColor_; }
    int BackMode() const { return backMode_; }
    int CombineMode() const { return combineMode_; }
    float Weight() const { return weight_; }

    // The record for a code: codes below 128 always have one; others only once rendered.
    const GlyphRecord* FindGlyph(uint16_t code) const;
    // Renders the character into the cache; false when it gave up without a record.
    bool RenderGlyph(uint16_t code);
    // Composites the cached glyph with its top left at (x, y), clipped to `clip` and to the
    // bitmap. False when the glyph is missing, has no coverage or lies wholly outside.
    bool DrawGlyph(RasterBitmap* bitmap, uint16_t code, int x, int y, const Rect& clip);
    // The glyph's coverage map (width x height bytes, row-major), or null when the record has
    // none or it does not lie inside the glyph data.
    const uint8_t* GlyphCoverage(const GlyphRecord& glyph) const;

private:
    GlyphRecord* FindExtended(uint16_t code);
    void RenderInto(GlyphRecord* glyph, uint16_t code);
    const GlyphRecord* ReadyGlyph(uint16_t code);
    bool DrawGlyphAt(RasterBitmap* bitmap, const GlyphRecord& glyph, int64_t x, int64_t y,
                     const Rect& clip, float weight);
    bool TakesNativePath(bool forceGlyphs, int format) const;
    // Calls visit(glyph, x, y) for each drawable glyph of the text laid out from the start.
    template <typename Visit>
    void LayOut(const char* text, int length, int format, int64_t startX, int64_t startY,
                Visit visit);
    int MeasureGlyphText(const char* text, int length, int format, Rect& rect);
    int DrawGlyphText(RasterBitmap* bitmap, const char* text, int length, Rect& rect, int format,
                      bool forceGlyphs);

    uint32_t foreColor_ = 0;
    uint32_t backColor_ = 0xFFFFFFFF;
    uint32_t effectColor_ = 0xFFFFFFFF;  // for outlines, which this system never enables
    int backMode_ = BackTransparent;
    int combineMode_ = 0;  // BlendCopy
    float weight_ = 1.0f;
    int flags_ = 0;
    int lineHeight_ = 0;
    int extraLineSpacing_ = 0;
    GlyphRecord ascii_[128] = {};
    GrowableArray<GlyphRecord, 4096> extended_;  // sorted by ascending code
    GrowableArray<uint8_t, 65536> glyphData_;    // every coverage map, back to back
    FontHandle handle_ = nullptr;
};
