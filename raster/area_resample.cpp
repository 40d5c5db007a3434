#include "raster/area_resample.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include "raster/pixel_rows.h"
#include "raster/raster_bitmap.h"

namespace {

struct FreeBlock {
    void operator()(void* block) const { std::free(block); }
};

// Uninitialised scratch of plain values; null when memory is short. From the C allocator: an
// array new of a computed length may throw, which a plug-in module must never do.
template <typename T>
std::unique_ptr<T[], FreeBlock> Allocate(size_t count) {
    return std::unique_ptr<T[], FreeBlock>(static_cast<T*>(std::malloc(count * sizeof(T))));
}

// The weights of the source pixels that destination pixel i of `count` covers when `length`
// source pixels map onto them: first covered source pixel and the share of each, summing to 1.
struct Tap {
    int first;
    int count;
};

// Source interval of destination pixel i: [i * length / count, (i + 1) * length / count).
// The shares go to `weights`, at most length / count + 2 of them per pixel.
void MakeTaps(int length, int count, Tap* taps, double* weights, int stride) {
    const double step = static_cast<double>(length) / count;
    for (int i = 0; i < count; ++i) {
        const double from = i * step;
        const double to = (i + 1) * step;
        const int first = static_cast<int>(std::floor(from));
        int last = static_cast<int>(std::ceil(to)) - 1;
        if (last >= length) last = length - 1;
        if (last < first) last = first;
        taps[i] = {first, last - first + 1};
        for (int s = first; s <= last; ++s) {
            const double lo = s > from ? s : from;
            const double hi = s + 1 < to ? s + 1 : to;
            weights[i * stride + (s - first)] = (hi - lo) / step;
        }
    }
}

}  // namespace

bool ResampleArea(const RasterBitmap& source, const Rect& sourceRect, RasterBitmap& destination,
                  int x, int y, int width, int height) {
    const int sw = sourceRect.right - sourceRect.left;
    const int sh = sourceRect.bottom - sourceRect.top;
    if (sw <= 0 || sh <= 0 || width <= 0 || height <= 0) return false;
    PixelRows in{};
    PixelRows out{};
    if (!GetPixelRows(source, &in) || !GetPixelRows(destination, &out)) return false;
    if (sourceRect.left < 0 || sourceRect.top < 0 || sourceRect.right > in.width ||
        sourceRect.bottom > in.height || x < 0 || y < 0 || x + width > out.width ||
        y + height > out.height) {
        return false;
    }
    const int strideX = sw / width + 2;
    const int strideY = sh / height + 2;
    const auto tapsX = Allocate<Tap>(size_t(width));
    const auto tapsY = Allocate<Tap>(size_t(height));
    const auto weightsX = Allocate<double>(size_t(width) * strideX);
    const auto weightsY = Allocate<double>(size_t(height) * strideY);
    // The source's rows resized across, premultiplied, four channels each.
    const auto across = Allocate<double>(size_t(sh) * width * 4);
    if (!tapsX || !tapsY || !weightsX || !weightsY || !across) return false;
    MakeTaps(sw, width, tapsX.get(), weightsX.get(), strideX);
    MakeTaps(sh, height, tapsY.get(), weightsY.get(), strideY);

    for (int row = 0; row < sh; ++row) {
        const uint32_t* from = in.Row(sourceRect.top + row) + sourceRect.left;
        double* to = across.get() + size_t(row) * width * 4;
        for (int i = 0; i < width; ++i) {
            double b = 0, g = 0, r = 0, a = 0;
            for (int k = 0; k < tapsX[i].count; ++k) {
                const uint32_t p = from[tapsX[i].first + k];
                const double w = weightsX[i * strideX + k];
                const double alpha = (p >> 24) * w;
                a += alpha;
                r += ((p >> 16) & 0xFF) * alpha;
                g += ((p >> 8) & 0xFF) * alpha;
                b += (p & 0xFF) * alpha;
            }
            to[4 * i] = b;
            to[4 * i + 1] = g;
            to[4 * i + 2] = r;
            to[4 * i + 3] = a;
        }
    }
    for (int j = 0; j < height; ++j) {
        uint32_t* row = out.Row(y + j) + x;
        for (int i = 0; i < width; ++i) {
            double c[4] = {0, 0, 0, 0};
            for (int k = 0; k < tapsY[j].count; ++k) {
                const double w = weightsY[j * strideY + k];
                const double* at = across.get() + (size_t(tapsY[j].first + k) * width + i) * 4;
                for (int ch = 0; ch < 4; ++ch) c[ch] += at[ch] * w;
            }
            // Back to straight alpha, each channel rounded to the nearest step.
            uint32_t word = 0;
            const int alpha = static_cast<int>(c[3] + 0.5);
            if (alpha > 0) {
                for (int ch = 0; ch < 3; ++ch) {
                    int v = static_cast<int>(c[ch] / c[3] + 0.5);
                    if (v > 255) v = 255;
                    word |= uint32_t(v) << (8 * ch);
                }
            }
            word |= uint32_t(alpha > 255 ? 255 : alpha) << 24;
            row[i] = word;
        }
    }
    return true;
}
