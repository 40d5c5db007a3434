// CachedFont::DrawString: the choice between the native and the glyph path, and the glyph path's
// own layout of UTF-8 text.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "raster/cached_font.h"
#include "raster/font_platform.h"
#include "raster/text_decode.h"
#include "raster/text_native.h"

namespace {

int ClampToInt(int64_t value) {
    return int(std::clamp<int64_t>(value, std::numeric_limits<int>::min(),
                                   std::numeric_limits<int>::max()));
}

// Reads characters up to the length in bytes (negative: up to the NUL) or an earlier NUL.
class TextReader {
public:
    TextReader(const char* text, int length) : next_(text), remaining_(length) {}

    bool Next(uint16_t* code) {
        if (remaining_ == 0 || *next_ == '\0') {
            return false;
        }
        const int used = DecodeTextCharacter(next_, remaining_ < 0 ? 4 : remaining_, code);
        next_ += used;
        if (remaining_ > 0) {
            remaining_ = std::max(0, remaining_ - used);
        }
        return true;
    }

private:
    const char* next_;
    int remaining_;
};

}  // namespace

int CachedFont::DrawString(RasterBitmap* bitmap, const char* text, int length, Rect& rect,
                           int format) {
    if (!bitmap && !(format & FormatCalcRect)) {
        return 0;
    }
    const bool forceGlyphs = (format & FormatForceGlyphs) != 0;
    format &= ~FormatForceGlyphs;
    if (!text) {
        text = "";
    }
    if (TakesNativePath(forceGlyphs, format)) {
        return DrawStringNative(*this, bitmap, text, length, rect, format);
    }
    if (format & FormatCalcRect) {
        return MeasureGlyphText(text, length, format, rect);
    }
    return DrawGlyphText(bitmap, text, length, rect, format, forceGlyphs);
}

bool CachedFont::TakesNativePath(bool forceGlyphs, int format) const {
    return (flags_ & FontPreferNative) && handle_ && !forceGlyphs &&
           font_platform::NativeTextAvailable() && !(format & FormatUseForeAlpha) &&
           !(flags_ & FontGlyphTreatments) &&
           (extraLineSpacing_ == 0 || (format & FormatSingleLine));
}

const GlyphRecord* CachedFont::ReadyGlyph(uint16_t code) {
    const GlyphRecord* glyph = FindGlyph(code);
    if (!glyph) {
        RenderGlyph(code);
        glyph = FindGlyph(code);
    }
    if (!glyph || glyph->dataPosition == -1) {
        return nullptr;
    }
    if (glyph->dataPosition == 0) {
        RenderGlyph(code);
        glyph = FindGlyph(code);
    }
    return glyph && GlyphCoverage(*glyph) ? glyph : nullptr;
}

template <typename Visit>
void CachedFont::LayOut(const char* text, int length, int format, int64_t startX, int64_t startY,
                        Visit visit) {
    const int64_t lineStep = int64_t{lineHeight_} + extraLineSpacing_;
    int64_t x = startX, y = startY;
    TextReader reader(text, length);
    for (uint16_t code; reader.Next(&code);) {
        if (code == '\r') {
            continue;
        }
        if (code == '\n') {
            if (!(format & FormatSingleLine)) {
                x = startX;
                y += lineStep;
                continue;
            }
            code = ' ';
        }
        if (const GlyphRecord* glyph = ReadyGlyph(code)) {
            visit(*glyph, x, y);
            x += glyph->advance;
        }
    }
}

int CachedFont::MeasureGlyphText(const char* text, int length, int format, Rect& rect) {
    int64_t maxRight = 0, maxBottom = 0;
    LayOut(text, length, format, 0, 0, [&](const GlyphRecord& glyph, int64_t x, int64_t y) {
        maxRight = std::max(maxRight, x + glyph.advance);
        maxBottom = std::max(maxBottom, y + glyph.height);
    });
    rect.right = ClampToInt(rect.left + maxRight);
    rect.bottom = ClampToInt(rect.top + maxBottom);
    return ClampToInt(maxBottom);
}

int CachedFont::DrawGlyphText(RasterBitmap* bitmap, const char* text, int length, Rect& rect,
                              int format, bool forceGlyphs) {
    float weight = weight_;
    if (format & FormatUseForeAlpha) {
        weight = float(double(foreColor_ >> 24) / 255.0 * double(weight));
    }
    if (weight == 0.0f) {
        return 0;
    }

    int64_t startX = rect.left, startY = rect.top;
    if (format & FormatAlignment) {
        // May measure through the operating system: the measuring call chooses its own path.
        Rect measured = {};
        DrawString(
            bitmap, text, length, measured,
            FormatCalcRect | (format & FormatSingleLine) | (forceGlyphs ? FormatForceGlyphs : 0));
        const int64_t width = measured.right, height = measured.bottom;
        if (format & FormatCenter) {
            startX = rect.left + (rect.right - width - rect.left) / 2;
        } else if (format & FormatRight) {
            startX = rect.right - width;
        }
        if (format & FormatVCenter) {
            startY = rect.top + (rect.bottom - height - rect.top) / 2;
        } else if (format & FormatBottom) {
            startY = rect.bottom - height;
        }
    }

    Rect clip = {0, 0, bitmap->Width(), bitmap->Height()};
    if (!(format & FormatNoClip)) {
        clip = {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, clip.right),
                std::min(rect.bottom, clip.bottom)};
    }
    if (clip.left >= clip.right || clip.top >= clip.bottom) {
        return 0;
    }

    int64_t drawnBottom = startY;
    LayOut(text, length, format, startX, startY,
           [&](const GlyphRecord& glyph, int64_t x, int64_t y) {
               if (DrawGlyphAt(bitmap, glyph, x, y, clip, weight)) {
                   drawnBottom = std::max(drawnBottom, y + glyph.height);
               }
           });
    return ClampToInt(drawnBottom - startY);
}
