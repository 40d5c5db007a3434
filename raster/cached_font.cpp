#include "raster/cached_font.h"

#include "raster/font_handle.h"
#include "raster/font_platform.h"
#include "raster/scratch_bitmaps.h"

RasterFont::~RasterFont() = default;

CachedFont::CachedFont() = default;

CachedFont::~CachedFont() {
    if ((flags_ & FontOwnsHandle) && handle_) {
        DeleteFontHandle(handle_);
    }
}

void CachedFont::SetFromHandle(FontHandle handle, int flags) {
    if ((flags_ & FontOwnsHandle) && handle_ && handle_ != handle) {
        DeleteFontHandle(handle_);
    }
    flags_ = flags;
    handle_ = handle;
    if (handle) {
        SysBitmap& scratch = GlyphScratchBitmap();
        if (scratch.Width() < 256 || scratch.Height() < 256) {
            scratch.Resize(256, 256);
            font_platform::PrepareGlyphContext(scratch.DeviceContext());
        }
        const int height = font_platform::FontHeight(scratch.DeviceContext(), handle);
        if (height >= 0) {
            lineHeight_ = height;
        }
    }
    for (GlyphRecord& glyph : ascii_) {
        glyph = GlyphRecord{};
    }
    extended_.Clear();
    glyphData_.Clear();
    if (flags & FontFixedAscii) {
        for (int code = 0; code < 128; ++code) {
            RenderGlyph(uint16_t(code));
        }
    }
}

uint32_t CachedFont::SetForeColor(uint32_t color) {
    const uint32_t previous = foreColor_;
    foreColor_ = color;
    return previous;
}

uint32_t CachedFont::SetBackColor(uint32_t color) {
    const uint32_t previous = backColor_;
    backColor_ = color;
    return previous;
}

uint32_t CachedFont::SetTreatmentColor(uint32_t color) {
    const uint32_t previous = effectColor_;
    effectColor_ = color;
    return previous;
}

int CachedFont::SetBackMode(int mode) {
    const int previous = backMode_;
    backMode_ = mode;
    return previous;
}

void CachedFont::SetBlendMode(int mode, float weight) {
    combineMode_ = mode;
    weight_ = weight;
}
