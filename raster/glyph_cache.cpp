// The glyph cache of CachedFont: finding, rendering and compositing single glyphs.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "raster/blit.h"
#include "raster/cached_font.h"
#include "raster/fill.h"
#include "raster/font_platform.h"
#include "raster/glyph_blend.h"
#include "raster/pixel_rows.h"
#include "raster/scratch_bitmaps.h"

namespace {

bool ByCode(const GlyphRecord& a, const GlyphRecord& b) { return a.code < b.code; }

}  // namespace

const GlyphRecord* CachedFont::FindGlyph(uint16_t code) const {
    if (code < 128) {
        return &ascii_[code];
    }
    const GlyphRecord* first = extended_.Data();
    const GlyphRecord* last = first + extended_.Size();
    GlyphRecord key = {};
    key.code = code;
    const GlyphRecord* found = std::lower_bound(first, last, key, ByCode);
    return found != last && found->code == code ? found : nullptr;
}

GlyphRecord* CachedFont::FindExtended(uint16_t code) {
    return const_cast<GlyphRecord*>(FindGlyph(code));
}

bool CachedFont::RenderGlyph(uint16_t code) {
    if (code < 128) {
        RenderInto(&ascii_[code], code);
        return true;
    }
    if (!font_platform::IsNtFamily()) {
        return false;
    }
    if (GlyphRecord* glyph = FindExtended(code)) {
        RenderInto(glyph, code);
        return true;
    }
    if (flags_ & FontFixedAscii) {
        return false;
    }
    GlyphRecord* glyph = extended_.Append(1);
    if (!glyph) {
        return false;
    }
    *glyph = GlyphRecord{};
    glyph->code = code;
    RenderInto(glyph, code);
    std::sort(extended_.Data(), extended_.Data() + extended_.Size(), ByCode);
    return true;
}

void CachedFont::RenderInto(GlyphRecord* glyph, uint16_t code) {
    const int keptCode = glyph->code;
    *glyph = GlyphRecord{-1, 0, 0, 0, keptCode};  // until it has rendered

    SysBitmap& scratch = GlyphScratchBitmap();
    const int64_t side = 2 * int64_t{std::max(lineHeight_, 1)} + 8;
    // A scratch bitmap past 32-bit byte counts can never be had: such glyphs render as nothing.
    const int64_t span = (side + 3) & ~int64_t{3};  // as SysBitmap lays its rows out
    if (span > std::numeric_limits<int>::max() || PixelStorageBytes(int(span), int(side)) < 0) {
        return;
    }
    if (scratch.Width() < side || scratch.Height() < side) {
        scratch.Resize(int(side), int(side));
        font_platform::PrepareGlyphContext(scratch.DeviceContext());
        if (scratch.Width() < side) {
            glyph->dataPosition = 0;  // no memory for the scratch now: rendered on a later use
            return;
        }
    }
    ClearBitmap(&scratch);
    // Capitals get two more pixels on the right, where their strokes tend to overhang.
    const int extra = code >= 'A' && code <= 'Z' ? 2 : 0;
    const font_platform::CharacterBox box =
        font_platform::RenderCharacter(scratch, handle_, code, extra);

    const int width = std::min(scratch.Width(), box.right);
    const int height = std::min(scratch.Height(), box.bottom);
    PixelRows rows;
    if (width < 1 || height < 1 || !GetPixelRows(scratch, &rows)) {
        return;
    }
    const int position = glyphData_.Size() + 1;
    uint8_t* coverage = glyphData_.Append(int64_t{width} * height);
    if (!coverage) {
        // Short of memory (or of 32-bit sizes): not a glyph that renders as nothing, so it is
        // rendered again on its next use.
        glyph->dataPosition = 0;
        return;
    }
    for (int r = 0; r < height; ++r) {
        const uint32_t* row = rows.Row(r);
        for (int c = 0; c < width; ++c) {
            coverage[r * width + c] = uint8_t(row[c] >> 16);  // red: drawn white on black
        }
    }
    *glyph = GlyphRecord{position, width, height,
                         std::max(0, std::min(scratch.Width(), box.measuredWidth)), keptCode};
}

const uint8_t* CachedFont::GlyphCoverage(const GlyphRecord& glyph) const {
    const int64_t offset = int64_t{glyph.dataPosition} - 1;
    const int64_t bytes = int64_t{glyph.width} * glyph.height;
    if (glyph.dataPosition <= 0 || glyph.width <= 0 || glyph.height <= 0 ||
        offset + bytes > glyphData_.Size()) {
        return nullptr;
    }
    return glyphData_.Data() + offset;
}

bool CachedFont::DrawGlyph(RasterBitmap* bitmap, uint16_t code, int x, int y, const Rect& clip) {
    const GlyphRecord* glyph = FindGlyph(code);
    return glyph && DrawGlyphAt(bitmap, *glyph, x, y, clip, weight_);
}

bool CachedFont::DrawGlyphAt(RasterBitmap* bitmap, const GlyphRecord& glyph, int64_t x, int64_t y,
                             const Rect& clip, float weight) {
    const uint8_t* coverage = GlyphCoverage(glyph);
    PixelRows rows;
    if (!bitmap || !coverage || !GetPixelRows(*bitmap, &rows)) {
        return false;
    }
    // The clip is cut to the bitmap first, so no clip can reach outside it.
    const int64_t clipLeft = std::max<int64_t>(clip.left, 0);
    const int64_t clipTop = std::max<int64_t>(clip.top, 0);
    const int64_t clipRight = std::min<int64_t>(clip.right, rows.width);
    const int64_t clipBottom = std::min<int64_t>(clip.bottom, rows.height);
    const int64_t left = std::max(x, clipLeft);
    const int64_t top = std::max(y, clipTop);
    const int64_t right = std::min(x + glyph.width, clipRight);
    const int64_t bottom = std::min(y + glyph.height, clipBottom);
    if (left >= right || top >= bottom) {
        return false;  // wholly outside the clip, or the clip is empty
    }
    if (backMode_ == BackOpaque) {
        FillRectangle(bitmap, int(left), int(top), int(right - left), int(bottom - top), backColor_,
                      weight, combineMode_ & ~BlendUseSourceAlpha);
    }
    const int k = WeightOutOf256(weight);
    if (k == 0) {
        return true;
    }
    for (int64_t r = top; r < bottom; ++r) {
        const uint8_t* source = coverage + (r - y) * glyph.width + (left - x);
        BlendGlyphRow(rows.Row(r) + left, source, int(right - left), foreColor_, k, combineMode_);
    }
    return true;
}
