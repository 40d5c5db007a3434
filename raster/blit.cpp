#include "raster/blit.h"

#include "raster/pixel_rows.h"
#include "raster/raster_bitmap.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// One row of a mode: n pixels of destination d composited with source s. `w` is the weight out
// of 256 (for a channel copy, the mode's low nibble). Divisions truncate toward zero.
using RowFn = void (*)(uint32_t* d, const uint32_t* s, int n, int w);

inline int Channel(uint32_t pixel, int shift) { return int(pixel >> shift) & 0xFF; }

inline int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Each channel keeps its low 8 bits, as the arithmetic leaves them where it does not clamp.
inline uint32_t Pack(int b, int g, int r, int a) {
    return uint32_t(b & 0xFF) | uint32_t(g & 0xFF) << 8 | uint32_t(r & 0xFF) << 16 |
           uint32_t(a & 0xFF) << 24;
}

// f(source channel, destination channel) on blue, green, red and alpha alike.
template <typename F>
inline uint32_t EachChannel(uint32_t d, uint32_t s, F f) {
    return Pack(f(Channel(s, 0), Channel(d, 0)), f(Channel(s, 8), Channel(d, 8)),
                f(Channel(s, 16), Channel(d, 16)), f(Channel(s, 24), Channel(d, 24)));
}

// colour(source channel, destination channel) on blue, green and red; alpha(destination alpha).
template <typename F, typename G>
inline uint32_t ColourThenAlpha(uint32_t d, uint32_t s, F colour, G alpha) {
    return Pack(colour(Channel(s, 0), Channel(d, 0)), colour(Channel(s, 8), Channel(d, 8)),
                colour(Channel(s, 16), Channel(d, 16)), alpha(Channel(d, 24)));
}

// The weight of one pixel under BlendUseSourceAlpha.
inline int AlphaWeight(int w, int a) { return w * (a + 1) / 256; }

// d = s, whole rows (a move, so a bitmap blitted onto itself stays defined).
void CopyWholeRow(uint32_t* d, const uint32_t* s, int n, int) {
    std::memmove(d, s, size_t(n) * 4);
}

// Whole words: d = ((s >> 1) & 0x7F7F7F7F) + ((d >> 1) & 0x7F7F7F7F); every channel, alpha
// included, is the sum of both halves, each rounded down.
void AverageRow(uint32_t* d, const uint32_t* s, int n, int) {
    for (int i = 0; i < n; ++i) {
        d[i] = ((s[i] >> 1) & 0x7F7F7F7Fu) + ((d[i] >> 1) & 0x7F7F7F7Fu);
    }
}

// Each channel: d = s + (d - s) x (256 - w) / 256.
void CopyRow(uint32_t* d, const uint32_t* s, int n, int w) {
    const int keep = 256 - w;
    for (int i = 0; i < n; ++i) {
        d[i] = EachChannel(d[i], s[i],
                           [keep](int sc, int dc) { return sc + (dc - sc) * keep / 256; });
    }
}

// a = source alpha. a = 0: unchanged. a = 255: B, G, R = s and alpha = 255. Otherwise
// alpha = min(a + d, 255) and each of B, G, R: d = s + (d - s) x (255 - a) / 256.
void AlphaCopyFullRow(uint32_t* d, const uint32_t* s, int n, int) {
    for (int i = 0; i < n; ++i) {
        const int a = Channel(s[i], 24);
        if (a == 0) {
            continue;
        }
        if (a == 255) {
            d[i] = s[i] | 0xFF000000u;
            continue;
        }
        const int keep = 255 - a;
        d[i] = ColourThenAlpha(
            d[i], s[i], [keep](int sc, int dc) { return sc + (dc - sc) * keep / 256; },
            [a](int da) { return std::min(a + da, 255); });
    }
}

// a = 0: unchanged. k = w x (a + 1) / 256; alpha = min(k + d, 255); each of B, G, R:
// d = s + (d - s) x (256 - k) / 256.
void AlphaCopyRow(uint32_t* d, const uint32_t* s, int n, int w) {
    for (int i = 0; i < n; ++i) {
        const int a = Channel(s[i], 24);
        if (a == 0) {
            continue;
        }
        const int k = AlphaWeight(w, a);
        const int keep = 256 - k;
        d[i] = ColourThenAlpha(
            d[i], s[i], [keep](int sc, int dc) { return sc + (dc - sc) * keep / 256; },
            [k](int da) { return std::min(k + da, 255); });
    }
}

// Each channel: d = clamp(d + w x s / 256).
void AddRow(uint32_t* d, const uint32_t* s, int n, int w) {
    for (int i = 0; i < n; ++i) {
        d[i] = EachChannel(d[i], s[i], [w](int sc, int dc) { return Clamp255(dc + w * sc / 256); });
    }
}

// a = 0: unchanged. k = w x (a + 1) / 256; B, G, R: d = clamp(d + k x s / 256);
// alpha: d = clamp(d + a x k / 256).
void AlphaAddRow(uint32_t* d, const uint32_t* s, int n, int w) {
    for (int i = 0; i < n; ++i) {
        const int a = Channel(s[i], 24);
        if (a == 0) {
            continue;
        }
        const int k = AlphaWeight(w, a);
        d[i] = ColourThenAlpha(
            d[i], s[i], [k](int sc, int dc) { return Clamp255(dc + k * sc / 256); },
            [a, k](int da) { return Clamp255(da + a * k / 256); });
    }
}

inline int Dodge(int d, int t) { return Clamp255(t > 254 ? d * 256 : d * 256 / (256 - t)); }

// Each channel: t = w x s / 256; d = clamp(t > 254 ? d x 256 : d x 256 / (256 - t)).
void DodgeRow(uint32_t* d, const uint32_t* s, int n, int w) {
    for (int i = 0; i < n; ++i) {
        d[i] = EachChannel(d[i], s[i], [w](int sc, int dc) { return Dodge(dc, w * sc / 256); });
    }
}

// k = w x (a + 1) / 256, a = 0 included; B, G, R: t = k x s / 256; alpha: t = a x k / 256;
// then d = clamp(t > 254 ? d x 256 : d x 256 / (256 - t)).
void AlphaDodgeRow(uint32_t* d, const uint32_t* s, int n, int w) {
    for (int i = 0; i < n; ++i) {
        const int a = Channel(s[i], 24);
        const int k = AlphaWeight(w, a);
        d[i] = ColourThenAlpha(
            d[i], s[i], [k](int sc, int dc) { return Dodge(dc, k * sc / 256); },
            [a, k](int da) { return Dodge(da, a * k / 256); });
    }
}

// Each channel: d = (w x s + (256 - w) x 256) x d / 65536.
void MultiplyRow(uint32_t* d, const uint32_t* s, int n, int w) {
    for (int i = 0; i < n; ++i) {
        d[i] = EachChannel(d[i], s[i], [w](int sc, int dc) {
            return (w * sc + (256 - w) * 256) * dc / 65536;
        });
    }
}

// a = 0: unchanged. k = w x (a + 1) / 256; B, G, R: d = (k x s + (256 - k) x 256) x d / 65536;
// alpha: d = (k x (a - 256) + 65536) x d / 65536.
void AlphaMultiplyRow(uint32_t* d, const uint32_t* s, int n, int w) {
    for (int i = 0; i < n; ++i) {
        const int a = Channel(s[i], 24);
        if (a == 0) {
            continue;
        }
        const int k = AlphaWeight(w, a);
        d[i] = ColourThenAlpha(
            d[i], s[i], [k](int sc, int dc) { return (k * sc + (256 - k) * 256) * dc / 65536; },
            [a, k](int da) { return (k * (a - 256) + 65536) * da / 65536; });
    }
}

inline int Overlay(int s, int d, int w) {
    const int t = w * s + (256 - w) * 128;
    return Clamp255(((32768 - t) * d / 256 + t) * d / 32768);
}

// Each channel: t = w x s + (256 - w) x 128; d = clamp(((32768 - t) x d / 256 + t) x d / 32768).
void OverlayRow(uint32_t* d, const uint32_t* s, int n, int w) {
    for (int i = 0; i < n; ++i) {
        d[i] = EachChannel(d[i], s[i], [w](int sc, int dc) { return Overlay(sc, dc, w); });
    }
}

// As OverlayRow with k = w x (a + 1) / 256 in place of w, all four channels.
void AlphaOverlayRow(uint32_t* d, const uint32_t* s, int n, int w) {
    for (int i = 0; i < n; ++i) {
        const int k = AlphaWeight(w, Channel(s[i], 24));
        d[i] = EachChannel(d[i], s[i], [k](int sc, int dc) { return Overlay(sc, dc, k); });
    }
}

// Hue in 1536 steps per turn (256 per sixth), saturation and value 0..255, all truncated.
constexpr int kHueSteps = 1536;

inline void RgbToHsv(int r, int g, int b, int* h, int* sat, int* v) {
    const int high = std::max({r, g, b});
    const int delta = high - std::min({r, g, b});
    *v = high;
    *sat = high == 0 ? 0 : delta * 255 / high;
    if (delta == 0) {
        *h = 0;
    } else if (high == r) {
        *h = (g - b) * 256 / delta;
    } else if (high == g) {
        *h = 512 + (b - r) * 256 / delta;
    } else {
        *h = 1024 + (r - g) * 256 / delta;
    }
}

inline uint32_t HsvToPixel(int h, int sat, int v, int alpha) {
    h = (h % kHueSteps + kHueSteps) % kHueSteps;
    const int f = h % 256;
    const int p = v * (255 - sat) / 255;
    const int q = v * (255 * 256 - sat * f) / (255 * 256);
    const int t = v * (255 * 256 - sat * (256 - f)) / (255 * 256);
    switch (h / 256) {
    case 0: return Pack(p, t, v, alpha);
    case 1: return Pack(p, v, q, alpha);
    case 2: return Pack(t, v, p, alpha);
    case 3: return Pack(v, q, p, alpha);
    case 4: return Pack(v, p, t, alpha);
    default: return Pack(q, p, v, alpha);
    }
}

// The destination in HSV; source channel c moves it by (c - 128) x w / 256 units: red turns the
// hue by 6 steps a unit (half a turn at the extremes), green and blue add 2 a unit to saturation
// and value (clamped). Alpha is kept.
inline uint32_t HsvAdjust(uint32_t d, uint32_t s, int w) {
    const int hueShift = (Channel(s, 16) - 128) * 6 * w / 256;
    const int saturationShift = (Channel(s, 8) - 128) * 2 * w / 256;
    const int valueShift = (Channel(s, 0) - 128) * 2 * w / 256;
    // The integer round trip through HSV is not exact: no shift must mean no change.
    if (hueShift == 0 && saturationShift == 0 && valueShift == 0) {
        return d;
    }
    int h, sat, v;
    RgbToHsv(Channel(d, 16), Channel(d, 8), Channel(d, 0), &h, &sat, &v);
    return HsvToPixel(h + hueShift, Clamp255(sat + saturationShift), Clamp255(v + valueShift),
                      Channel(d, 24));
}

void HsvAdjustRow(uint32_t* d, const uint32_t* s, int n, int w) {
    for (int i = 0; i < n; ++i) {
        d[i] = HsvAdjust(d[i], s[i], w);
    }
}

// a = 0: unchanged; otherwise as HsvAdjustRow with k = w x (a + 1) / 256 in place of w.
void AlphaHsvAdjustRow(uint32_t* d, const uint32_t* s, int n, int w) {
    for (int i = 0; i < n; ++i) {
        const int a = Channel(s[i], 24);
        if (a != 0) {
            d[i] = HsvAdjust(d[i], s[i], AlphaWeight(w, a));
        }
    }
}

// The destination byte (nibble >> 2) & 3 takes the source byte nibble & 3.
void ChannelCopyRow(uint32_t* d, const uint32_t* s, int n, int nibble) {
    const int to = ((nibble >> 2) & 3) * 8;
    const int from = (nibble & 3) * 8;
    const uint32_t keep = ~(0xFFu << to);
    for (int i = 0; i < n; ++i) {
        d[i] = (d[i] & keep) | uint32_t(Channel(s[i], from)) << to;
    }
}

// Every blend mode with its row for the plain and the source-alpha-weighted arithmetic.
struct ModeRows {
    int mode;
    RowFn plain;
    RowFn sourceAlpha;
};
constexpr ModeRows kModeRows[] = {
    {BlendCopy, CopyRow, AlphaCopyRow},
    {BlendAdd, AddRow, AlphaAddRow},
    {BlendDodge, DodgeRow, AlphaDodgeRow},
    {BlendMultiply, MultiplyRow, AlphaMultiplyRow},
    {BlendOverlay, OverlayRow, AlphaOverlayRow},
    {BlendHsvAdjust, HsvAdjustRow, AlphaHsvAdjustRow},
};

// The row arithmetic for an integer weight w out of 256; null draws nothing.
RowFn ChooseIntegerRow(int mode, int w, int* param) {
    const int low = mode & 0xFF;
    if (low >= BlendChannelCopy) {
        *param = low & 0x0F;
        return ChannelCopyRow;
    }
    const bool useAlpha = (mode & BlendUseSourceAlpha) != 0;
    const bool plainCopy = low == BlendCopy && !useAlpha;
    w = std::clamp(w, -kMaxWeight, kMaxWeight);
    *param = w;
    if (w == 0) {
        return nullptr;
    }
    if (plainCopy) {
        return w < 0 ? nullptr : w >= 256 ? CopyWholeRow : CopyRow;
    }
    if (low == BlendCopy && w == 256) {
        return AlphaCopyFullRow;
    }
    for (const ModeRows& entry : kModeRows) {
        if (entry.mode == low) {
            return useAlpha ? entry.sourceAlpha : entry.plain;
        }
    }
    return nullptr;
}

// Chooses the row arithmetic once per call; null draws nothing.
RowFn ChooseRow(int mode, float weight, int* param) {
    const bool plainCopy = (mode & 0xFF) == BlendCopy && (mode & BlendUseSourceAlpha) == 0;
    if (plainCopy && weight == 1.0f) {
        return CopyWholeRow;
    }
    if (plainCopy && weight == 0.5f) {
        return AverageRow;
    }
    return ChooseIntegerRow(mode, WeightOutOf256(weight), param);
}

// Address of pixel (column, row) and the step from one row to the next, in pixels.
uint32_t* PixelAt(const RasterBitmap& bitmap, uint32_t* bits, int64_t column, int64_t row,
                  ptrdiff_t* rowStep) {
    const ptrdiff_t span = bitmap.RowSpan();
    if (bitmap.IsBottomUp()) {
        *rowStep = -span;
        return bits + (bitmap.Height() - 1 - row) * span + column;
    }
    *rowStep = span;
    return bits + row * span + column;
}

}  // namespace

void Blit(RasterBitmap* destination, const RasterBitmap* source, int x, int y,
          const Rect* sourceRect, float weight, int mode) {
    if (!destination || !source || weight == 0.0f) {
        return;
    }
    // 64-bit so that no position or rectangle can overflow while clipping.
    int64_t sx = 0, sy = 0, dx = x, dy = y;
    int64_t right = source->Width(), bottom = source->Height();
    if (sourceRect) {
        sx = sourceRect->left;
        sy = sourceRect->top;
        right = std::min<int64_t>(sourceRect->right, right);
        bottom = std::min<int64_t>(sourceRect->bottom, bottom);
        if (sx < 0) {
            dx -= sx;
            sx = 0;
        }
        if (sy < 0) {
            dy -= sy;
            sy = 0;
        }
    }
    if (dx < 0) {
        sx -= dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        dy = 0;
    }
    right = std::min<int64_t>(right, destination->Width() + sx - dx);
    bottom = std::min<int64_t>(bottom, destination->Height() + sy - dy);
    if (sx >= right || sy >= bottom) {
        return;
    }
    const int width = int(right - sx);
    const int height = int(bottom - sy);

    uint32_t* sourceBits = source->Bits();
    uint32_t* destinationBits = destination->Bits();
    if (!sourceBits || !destinationBits) {
        return;
    }
    int param = 0;
    const RowFn row = ChooseRow(mode, weight, &param);
    if (!row) {
        return;
    }
    ptrdiff_t sourceStep = 0, destinationStep = 0;
    const uint32_t* s = PixelAt(*source, sourceBits, sx, sy, &sourceStep);
    uint32_t* d = PixelAt(*destination, destinationBits, dx, dy, &destinationStep);
    for (ptrdiff_t r = 0; r < height; ++r) {
        row(d + r * destinationStep, s + r * sourceStep, width, param);
    }
}

void BlendSolid(uint32_t* destination, uint32_t source, int count, int mode, int w) {
    int param = 0;
    const RowFn row = ChooseIntegerRow(mode, w, &param);
    if (!row) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        row(destination + i, &source, 1, param);
    }
}
