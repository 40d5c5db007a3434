#include "raster/blit.h"
#include "raster/mem_bitmap.h"
#include "raster/sys_bitmap.h"
#include "raster_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr uint32_t kGuard = 0xDEADBEEF;

// Draws one source pixel onto one destination pixel.
uint32_t BlitOne(uint32_t source, uint32_t destination, float weight, int mode) {
    MemBitmap s(1, 1), d(1, 1);
    s.Bits()[0] = source;
    d.Bits()[0] = destination;
    Blit(&d, &s, 0, 0, nullptr, weight, mode);
    return d.Bits()[0];
}

// Where a source pixel (u, v) must land, worked out independently of Blit's clipping steps: the
// rectangle's top left (left, top) goes to (x, y) and only source pixels that exist are drawn.
void ExpectPlacedCopy(const RasterBitmap& destination, const RasterBitmap& source, int x, int y,
                      const Rect* rect, const char* what) {
    const Rect area = rect ? *rect : Rect{0, 0, source.Width(), source.Height()};
    for (int dy = 0; dy < destination.Height(); ++dy) {
        for (int dx = 0; dx < destination.RowSpan(); ++dx) {
            const int u = dx - x + area.left;
            const int v = dy - y + area.top;
            const bool drawn = dx < destination.Width() && u >= 0 && v >= 0 && u >= area.left &&
                               v >= area.top && u < area.right && v < area.bottom &&
                               u < source.Width() && v < source.Height();
            const uint32_t expected = drawn ? PixelAt(source, u, v) : kGuard;
            ASSERT_EQ(PixelAt(destination, dx, dy), expected)
                << what << " at (" << dx << ", " << dy << "), blit to (" << x << ", " << y << ")";
        }
    }
}

template <typename Source, typename Destination>
void SweepPlacements(const char* what) {
    Source source(6, 5);
    for (int v = 0; v < 5; ++v) {
        for (int u = 0; u < 6; ++u) {
            PixelAt(source, u, v) = 0x01000000u * uint32_t(v + 1) + uint32_t(u + 1);
        }
    }
    const Rect rects[] = {{0, 0, 6, 5},   {2, 1, 4, 3},  {-2, -1, 3, 2}, {1, 1, 100, 100},
                          {-5, 2, 6, 9},  {3, 3, 3, 4},  {4, 0, 2, 5},   {7, 0, 9, 5},
                          {0, -9, 6, -1}, {-3, -3, 0, 0}};
    Destination destination(7, 6);  // row span 8: column 7 is padding that stays untouched
    for (int y = -7; y <= 8; ++y) {
        for (int x = -8; x <= 9; ++x) {
            for (const Rect* rect = nullptr; rect != std::end(rects);
                 rect = rect ? rect + 1 : rects) {
                FillAll(destination, kGuard);
                Blit(&destination, &source, x, y, rect, 1.0f, BlendCopy);
                ExpectPlacedCopy(destination, source, x, y, rect, what);
            }
        }
    }
}

TEST(BlitClipping, EveryPlacementAndSourceRectangle) {
    SweepPlacements<MemBitmap, MemBitmap>("top-down");
    SweepPlacements<BottomUpBitmap, MemBitmap>("bottom-up source");
    SweepPlacements<MemBitmap, BottomUpBitmap>("bottom-up destination");
    SweepPlacements<BottomUpBitmap, BottomUpBitmap>("both bottom-up");
}

TEST(BlitClipping, NullAndEmptyBitmapsDrawNothing) {
    MemBitmap source(4, 4), destination(4, 4), empty;
    SysBitmap zeroHeight(4, 0);
    FillAll(source, 0xFF112233);
    FillAll(destination, kGuard);
    const Rect inverted = {3, 3, 1, 1};
    Blit(&destination, nullptr, 0, 0, nullptr, 1.0f, BlendCopy);
    Blit(nullptr, &source, 0, 0, nullptr, 1.0f, BlendCopy);
    Blit(&destination, &empty, 0, 0, nullptr, 1.0f, BlendCopy);
    Blit(&empty, &source, 0, 0, nullptr, 1.0f, BlendUseSourceAlpha);
    Blit(&zeroHeight, &source, 0, 0, nullptr, 0.5f, BlendCopy);
    Blit(&destination, &zeroHeight, 0, 0, nullptr, 0.5f, BlendCopy);
    Blit(&destination, &source, 0, 0, &inverted, 1.0f, BlendCopy);
    Blit(&destination, &source, INT32_MAX, INT32_MIN, nullptr, 1.0f, BlendCopy);
    EXPECT_EQ(std::count(destination.Bits(), destination.Bits() + 16, kGuard), 16);
}

// Every mode, every row length: pixel i of the result depends on source and destination pixel
// i alone, and nothing outside the row is written.
TEST(BlitModes, RowsOfEveryLengthMatchPixelByPixel) {
    std::vector<int> modes = {ChannelCopyMode(3, 1)};
    for (int low = BlendCopy; low <= BlendHsvAdjust; ++low) {
        modes.push_back(low);
        modes.push_back(low | BlendUseSourceAlpha);
    }
    const float weights[] = {1.0f, 0.5f, 0.75f, 0.2f};
    std::mt19937 random(12345);
    for (int n = 1; n <= 37; ++n) {
        MemBitmap source(n, 1), destination(n + 6, 1);
        for (int i = 0; i < n; ++i) {
            // Include the alpha extremes that take their own branches.
            const uint32_t alpha = i % 4 == 0 ? 0u : i % 4 == 1 ? 255u : random() & 0xFF;
            PixelAt(source, i, 0) = alpha << 24 | (random() & 0xFFFFFF);
        }
        std::vector<uint32_t> before(size_t(destination.RowSpan()));
        for (uint32_t& pixel : before) {
            pixel = uint32_t(random());
        }
        for (int mode : modes) {
            for (float weight : weights) {
                std::copy(before.begin(), before.end(), destination.Bits());
                Blit(&destination, &source, 3, 0, nullptr, weight, mode);
                for (int x = 0; x < destination.RowSpan(); ++x) {
                    const bool inside = x >= 3 && x < 3 + n;
                    const uint32_t expected =
                        inside ? BlitOne(PixelAt(source, x - 3, 0), before[size_t(x)], weight, mode)
                               : before[size_t(x)];
                    ASSERT_EQ(destination.Bits()[x], expected)
                        << "mode " << std::hex << mode << std::dec << " weight " << weight
                        << " length " << n << " pixel " << x;
                }
            }
        }
    }
}

TEST(BlitModes, CopyFastPathsAndWeights) {
    EXPECT_EQ(BlitOne(0x00FFFFFF, 0x00000001, 0.5f, BlendCopy), 0x007F7F7Fu);
    EXPECT_EQ(BlitOne(0xFFFFFFFF, 0xFFFFFFFF, 0.5f, BlendCopy), 0xFEFEFEFEu);
    EXPECT_EQ(BlitOne(0x12345678, 0x9ABCDEF0, 1.0f, BlendCopy), 0x12345678u);
    // w = 64: each channel s + (d - s) x 192 / 256, truncated toward zero in both directions.
    EXPECT_EQ(BlitOne(0xFF00FF00, 0x00FF00FF, 0.25f, BlendCopy), 0x40BF40BFu);
    // 0.5 + 1e-7 is not the fast path: w = 128 rounds each channel differently.
    EXPECT_EQ(BlitOne(0x00FFFFFF, 0x00000001, 0.50000006f, BlendCopy), 0x00808080u);
    EXPECT_EQ(BlitOne(0x12345678, 0x9ABCDEF0, 1.002f, BlendCopy), 0x12345678u);  // w = 256
    EXPECT_EQ(BlitOne(0x12345678, 0x9ABCDEF0, 1.5f, BlendCopy), 0x12345678u);    // w > 256
    EXPECT_EQ(BlitOne(0x12345678, 0x9ABCDEF0, -0.5f, BlendCopy), 0x9ABCDEF0u);
}

TEST(BlitModes, SourceAlphaCopy) {
    EXPECT_EQ(BlitOne(0x80FFFFFF, 0xFF000000, 1.0f, BlendUseSourceAlpha), 0xFF818181u);
    EXPECT_EQ(BlitOne(0xFF123456, 0x00ABCDEF, 1.0f, BlendUseSourceAlpha), 0xFF123456u);
    EXPECT_EQ(BlitOne(0x00123456, 0x80ABCDEF, 1.0f, BlendUseSourceAlpha), 0x80ABCDEFu);
    EXPECT_EQ(BlitOne(0x01FFFFFF, 0x00000000, 1.0f, BlendUseSourceAlpha), 0x01020202u);
    // w = 128, a = 255: k = 128; colour 255 + (0 - 255) x 128 / 256; alpha min(k + d, 255).
    EXPECT_EQ(BlitOne(0xFFFFFFFF, 0xFF000000, 0.5f, BlendUseSourceAlpha), 0xFF808080u);
    EXPECT_EQ(BlitOne(0xFFFFFFFF, 0x00000000, 0.5f, BlendUseSourceAlpha), 0x80808080u);
    EXPECT_EQ(BlitOne(0x00FFFFFF, 0x11223344, 0.5f, BlendUseSourceAlpha), 0x11223344u);
}

TEST(BlitModes, AddDodgeMultiplyOverlay) {
    EXPECT_EQ(BlitOne(0xFF808080, 0xFF808080, 1.0f, BlendAdd), 0xFFFFFFFFu);
    EXPECT_EQ(BlitOne(0x40404040, 0x10203040, 0.5f, BlendAdd), 0x30405060u);
    // k = 129: red 128 + ..., green 64 x 129 / 256 = 32, alpha 16 + 128 x 129 / 256 = 80.
    EXPECT_EQ(BlitOne(0x80FF4000, 0x10000000, 1.0f, BlendAdd | BlendUseSourceAlpha),
              0x50802000u);
    EXPECT_EQ(BlitOne(0x00FFFFFF, 0x10203040, 1.0f, BlendAdd | BlendUseSourceAlpha),
              0x10203040u);

    // t = 255 saturates, t = 128 doubles, t = 0 keeps.
    EXPECT_EQ(BlitOne(0xFF80FF00, 0x40404000, 1.0f, BlendDodge), 0xFF80FF00u);
    // k = 128 (a = 127): red 100 x 256 / (256 - 127); alpha t = 63: 100 x 256 / 193.
    EXPECT_EQ(BlitOne(0x7FFF0000, 0x64646464, 1.0f, BlendDodge | BlendUseSourceAlpha),
              0x84C66464u);

    EXPECT_EQ(BlitOne(0xFF80FF00, 0xFFFFFFFF, 1.0f, BlendMultiply), 0xFE7FFE00u);
    EXPECT_EQ(BlitOne(0x00000000, 0xC8C8C8C8, 0.5f, BlendMultiply), 0x64646464u);
    // k = 129: colour 127 x 256 x 255 / 65536; alpha (129 x (128 - 256) + 65536) x 255 / 65536.
    EXPECT_EQ(BlitOne(0x80000000, 0xFFFFFFFF, 1.0f, BlendMultiply | BlendUseSourceAlpha),
              0xBE7E7E7Eu);
    EXPECT_EQ(BlitOne(0x00000000, 0xFFFFFFFF, 1.0f, BlendMultiply | BlendUseSourceAlpha),
              0xFFFFFFFFu);

    // 128 keeps, 0 squares (d x d / 256), 255 screens.
    EXPECT_EQ(BlitOne(0x80FF0080, 0x80808080, 1.0f, BlendOverlay), 0x80BF4080u);
    // No skip for a = 0: k = 1, so t = 255 x 128 and 128 becomes 127 in every channel.
    EXPECT_EQ(BlitOne(0x00000000, 0x80808080, 1.0f, BlendOverlay | BlendUseSourceAlpha),
              0x7F7F7F7Fu);
}

// 128 in every source channel changes no colour at all, at any weight, with or without the
// source alpha: a whole plane of green and blue per pass, every red level, alpha varying too.
TEST(BlitModes, HsvAdjustAtOneHundredAndTwentyEightIsExactlyNeutral) {
    MemBitmap source(256, 256), destination(256, 256);
    FillAll(source, 0xFF808080);
    const struct {
        float weight;
        int mode;
    } passes[] = {{1.0f, BlendHsvAdjust},
                  {0.75f, BlendHsvAdjust},
                  {1.0f, BlendHsvAdjust | BlendUseSourceAlpha},
                  {3.0f, BlendHsvAdjust}};
    for (int red = 0; red < 256; ++red) {
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                PixelAt(destination, x, y) = uint32_t((x + y + red) & 0xFF) << 24 |
                                             uint32_t(red) << 16 | uint32_t(y) << 8 | uint32_t(x);
            }
        }
        for (const auto& pass : passes) {
            Blit(&destination, &source, 0, 0, nullptr, pass.weight, pass.mode);
        }
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const uint32_t expected = uint32_t((x + y + red) & 0xFF) << 24 |
                                          uint32_t(red) << 16 | uint32_t(y) << 8 | uint32_t(x);
                ASSERT_EQ(PixelAt(destination, x, y), expected) << std::hex << expected;
            }
        }
    }
}

TEST(BlitModes, HsvAdjust) {
    EXPECT_EQ(BlitOne(0xFF008080, 0xFFFF0000, 1.0f, BlendHsvAdjust), 0xFF00FFFFu);  // half a turn
    EXPECT_EQ(BlitOne(0xFF800080, 0x40FF0000, 1.0f, BlendHsvAdjust), 0x40FFFFFFu);  // no saturation
    EXPECT_EQ(BlitOne(0xFF808000, 0xFFFF0000, 1.0f, BlendHsvAdjust), 0xFF000000u);  // no value
    EXPECT_EQ(BlitOne(0x00000000, 0xFFFF0000, 1.0f, BlendHsvAdjust | BlendUseSourceAlpha),
              0xFFFF0000u);
}

TEST(BlitModes, ChannelCopyUnknownModesAndTinyWeights) {
    EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 1.0f, ChannelCopyMode(3, 2)), 0x22BBCCDDu);
    EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 0.001f, ChannelCopyMode(0, 3)), 0xAABBCC11u);
    EXPECT_EQ(BlitOne(0x11223344, 0xAABBCCDD, 1.0f, ChannelCopyMode(1, 1) | BlendUseSourceAlpha),
              0xAABB33DDu);
    // Bits outside the table are ignored.
    EXPECT_EQ(BlitOne(0xFF808080, 0xFF808080, 1.0f, BlendAdd | 0x20000), 0xFFFFFFFFu);
    const uint32_t d = 0x89ABCDEF;
    for (int mode : {6, 0x80, 0xEF}) {
        EXPECT_EQ(BlitOne(0xFF123456, d, 1.0f, mode), d) << mode;
    }
    for (int mode : {int(BlendCopy), int(BlendAdd), int(BlendDodge), int(BlendMultiply),
                     int(BlendOverlay), int(BlendHsvAdjust)}) {
        for (int flag : {0, int(BlendUseSourceAlpha)}) {
            EXPECT_EQ(BlitOne(0xFF123456, d, 0.001f, mode | flag), d) << mode << " " << flag;
            EXPECT_EQ(BlitOne(0xFF123456, d, 0.0f, mode | flag), d) << mode << " " << flag;
        }
    }
    EXPECT_EQ(BlitOne(0xFF123456, d, 0.0f, ChannelCopyMode(2, 0)), d);
}

}  // namespace
