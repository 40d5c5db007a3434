#include "raster/fill.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <iterator>

#include "raster/blit.h"
#include "raster/glyph_blend.h"
#include "text_test_support.h"

namespace {

constexpr uint32_t kGuard = 0xDEADBEEF;

uint32_t FillOne(uint32_t color, uint32_t destination, float weight, int mode = BlendCopy) {
    MemBitmap bitmap(1, 1);
    bitmap.Bits()[0] = destination;
    FillRectangle(&bitmap, 0, 0, 1, 1, color, weight, mode);
    return bitmap.Bits()[0];
}

TEST(FillRectangle, WordWidePathsAndWeightsThatDrawNothing) {
    // Every byte from halves and quarters of both words, each rounded down.
    EXPECT_EQ(FillOne(0xFFFFFFFF, 0x00000000, 0.5f), 0x7F7F7F7Fu);
    EXPECT_EQ(FillOne(0xFFFFFFFF, 0x00000000, 0.25f), 0x3F3F3F3Fu);
    EXPECT_EQ(FillOne(0xFFFFFFFF, 0x00000000, 0.75f), 0xBEBEBEBEu);
    EXPECT_EQ(FillOne(0x00000000, 0xFFFFFFFF, 0.25f), 0xBEBEBEBEu);
    EXPECT_EQ(FillOne(0x01030507, 0x01030507, 0.5f), 0x00020406u);
    EXPECT_EQ(FillOne(0x12345678, 0xFFFFFFFF, 1.0f), 0x12345678u);
    EXPECT_EQ(FillOne(0x12345678, 0xFFFFFFFF, 3.0f), 0x12345678u);
    for (const float nothing : {0.0f, -0.5f, 0.001f}) {
        EXPECT_EQ(FillOne(0xFFFFFFFF, 0x11223344, nothing), 0x11223344u);
    }
    // The colour's alpha scales the weight: 0x80 / 255 gives k = 128, the averaging path.
    EXPECT_EQ(FillOne(0x80FFFFFF, 0x00000000, 1.0f, BlendUseSourceAlpha), 0x407F7F7Fu);
    // Other modes take Blit's arithmetic with the colour as the source.
    EXPECT_EQ(FillOne(0xFF101010, 0xFF202020, 1.0f, BlendAdd), 0xFF303030u);
}

TEST(FillRectangle, OtherWeightsMoveColourTowardTheColourAndAlphaTowardK) {
    for (const float weight : {0.3f, 0.254f, 0.9f, 1.0f / 256}) {
        const int k = int(double(weight) * 256.0);
        for (int d = 0; d < 256; ++d) {
            for (const int c : {0, 1, 127, 128, 254, 255}) {
                const uint32_t out = FillOne(uint32_t(c) * 0x010001u, d * 0x01010101u, weight);
                const int colour = (d - c) * (256 - k) / 256 + c;
                ASSERT_EQ(out & 0xFF, uint32_t(colour)) << weight << " " << d << " " << c;
                ASSERT_EQ(out >> 8 & 0xFF, uint32_t(d * (256 - k) / 256));
                ASSERT_EQ(out >> 16 & 0xFF, uint32_t(colour));
                ASSERT_EQ(out >> 24, uint32_t(k + (d - k) * (256 - k) / 256));
            }
        }
    }
}

// Fills at every placement around a 7 x 6 bitmap (row span 8), checking the padding column too.
template <typename Bitmap>
void SweepFillPlacements() {
    Bitmap bitmap(7, 6);
    const int sizes[][2] = {{1, 1}, {3, 2}, {20, 20}, {0, 3}, {-2, 4}, {INT_MAX, INT_MAX}};
    for (int y = -8; y <= 8; ++y) {
        for (int x = -8; x <= 9; ++x) {
            for (const auto& size : sizes) {
                FillAll(bitmap, kGuard);
                FillRectangle(&bitmap, x, y, size[0], size[1], 0xFF102030, 1.0f, BlendCopy);
                for (int py = 0; py < 6; ++py) {
                    for (int px = 0; px < 8; ++px) {
                        const bool inside = px < 7 && px >= x && py >= y &&
                                            px < int64_t{x} + size[0] && py < int64_t{y} + size[1];
                        ASSERT_EQ(PixelAt(bitmap, px, py), inside ? 0xFF102030u : kGuard)
                            << px << "," << py << " fill " << x << "," << y << " " << size[0];
                    }
                }
            }
        }
    }
    FillAll(bitmap, kGuard);
    ClearBitmap(&bitmap);
    EXPECT_EQ(PixelAt(bitmap, 6, 5), 0u);
    EXPECT_EQ(PixelAt(bitmap, 7, 5), kGuard);  // the padding stays
}

TEST(FillRectangle, CutToTheBitmapAtEveryPlacement) {
    SweepFillPlacements<MemBitmap>();
    SweepFillPlacements<BottomUpBitmap>();
    MemBitmap empty;
    FillRectangle(&empty, 0, 0, 5, 5, 0xFFFFFFFF, 1.0f, BlendCopy);
    FillRectangle(nullptr, 0, 0, 5, 5, 0xFFFFFFFF, 1.0f, BlendCopy);
    ClearBitmap(&empty);
    ClearBitmap(nullptr);
}

TEST(BlendGlyphRow, WorkedExamples) {
    uint32_t d[5] = {0xFF000000, 0xFF000000, 0x00000000, 0xFF000000, 0x00000000};
    const uint8_t coverage[5] = {255, 128, 0, 255, 255};
    BlendGlyphRow(d, coverage, 3, 0x00FFFFFF, 256, BlendCopy);
    EXPECT_EQ(d[0], 0xFFFFFFFFu);  // the fore colour, alpha 255 whatever the colour's alpha
    EXPECT_EQ(d[1], 0xFF818181u);  // 255 + (0 - 255) x 127 / 256 = 129
    EXPECT_EQ(d[2], 0x00000000u);  // no coverage: untouched
    BlendGlyphRow(d + 3, coverage + 3, 2, 0xFFFFFFFF, 128, BlendCopy);
    EXPECT_EQ(d[3], 0xFF7F7F7Fu);  // k x c / 256 = 127, so 129 / 256 of the black is kept
    EXPECT_EQ(d[4], 0x7F7F7F7Fu);
}

TEST(BlendGlyphRow, EveryCoverageAgainstTheReference) {
    uint8_t coverage[256];
    for (int c = 0; c < 256; ++c) {
        coverage[c] = uint8_t(c);
    }
    for (const int k : {256, 255, 128, 77, 1, 600}) {
        for (const uint32_t background : {0xFF000000u, 0x00FFFFFFu, 0x80402010u}) {
            uint32_t row[258];
            std::fill(std::begin(row), std::end(row), background);
            row[0] = row[257] = kGuard;
            BlendGlyphRow(row + 1, coverage, 256, 0xC0204080, k, BlendCopy);
            ASSERT_EQ(row[0], kGuard);
            ASSERT_EQ(row[257], kGuard);
            for (int c = 0; c < 256; ++c) {
                ASSERT_EQ(row[c + 1], GlyphPixel(background, 0xC0204080, c, k)) << k << " " << c;
            }
        }
    }
}

}  // namespace
