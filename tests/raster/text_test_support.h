// Helpers shared by the font and text tests: a font from the system, bitmap comparison and a
// scalar reference of glyph compositing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "raster/cached_font.h"
#include "raster/font_handle.h"
#include "raster_test_support.h"

// A font over the system's closest match to Verdana with the given cell height, owning its handle.
inline std::unique_ptr<CachedFont> MakeFont(int height, int flags = FontOwnsHandle) {
    FontRequest request;
    request.height = height;
    FontHandle handle = CreateFontHandle(request);
    if (!handle) {
        return nullptr;
    }
    auto font = std::make_unique<CachedFont>();
    font->SetFromHandle(handle, flags);
    return font;
}

// True when every pixel of `a` equals the one of `b` under `mask` (both of the same size).
inline bool SamePixels(const RasterBitmap& a, const RasterBitmap& b, uint32_t mask = ~0u) {
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if ((PixelAt(a, x, y) ^ PixelAt(b, x, y)) & mask) {
                return false;
            }
        }
    }
    return a.Width() == b.Width() && a.Height() == b.Height();
}

inline bool AnyPixelOtherThan(const RasterBitmap& bitmap, uint32_t value) {
    MemBitmap plain(bitmap.Width(), bitmap.Height());
    FillAll(plain, value);
    return !SamePixels(bitmap, plain);
}

// Glyph compositing in BlendCopy at coverage c and weight k out of 256; m is the share of the
// destination kept.
inline uint32_t GlyphPixel(uint32_t d, uint32_t color, int c, int k) {
    if (c == 0) {
        return d;
    }
    const int m = k == 256 ? 255 - c : 256 - std::min(k * c / 256, 256);
    uint32_t out = uint32_t(255 - (255 - int(d >> 24)) * m / 256) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const int s = int(color >> shift) & 0xFF;
        out |= uint32_t(s + ((int(d >> shift) & 0xFF) - s) * m / 256) << shift;
    }
    return out;
}
