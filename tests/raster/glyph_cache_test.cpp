#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "raster/blit.h"
#include "raster/font_platform.h"
#include "raster/scratch_bitmaps.h"
#include "text_test_support.h"

namespace {

constexpr uint32_t kGuard = 0xDEADBEEF;

// The installed faces differ from machine to machine (and GDI rounds a requested cell height
// its own way), so the text tests assert relations to the measured line height, never one
// face's metrics.
TEST(CachedFont, TakesTheSystemFontsHeight) {
    auto font = MakeFont(20);
    auto taller = MakeFont(40);
    ASSERT_TRUE(font && taller);
    EXPECT_EQ(font->LineHeight(),
              font_platform::FontHeight(GlyphScratchBitmap().DeviceContext(), font->GetHandle()));
    EXPECT_GT(font->LineHeight(), 0);
    EXPECT_GT(taller->LineHeight(), font->LineHeight());
    EXPECT_GE(GlyphScratchBitmap().Width(), 256);
    EXPECT_GE(GlyphScratchBitmap().Height(), 256);
}

TEST(CachedFont, CapitalsGetTwoMoreColumnsThanTheirAdvance) {
    auto font = MakeFont(20);
    ASSERT_TRUE(font);
    for (const char* letters : {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz"}) {
        const int extra = letters[0] == 'A' ? 2 : 0;
        for (const char* c = letters; *c; ++c) {
            ASSERT_TRUE(font->RenderGlyph(uint16_t(*c)));
            const GlyphRecord& glyph = *font->FindGlyph(uint16_t(*c));
            EXPECT_GT(glyph.advance, 0) << *c;
            EXPECT_EQ(glyph.width, glyph.advance + extra) << *c;
            EXPECT_EQ(glyph.height, font->LineHeight()) << *c;
            EXPECT_NE(font->GlyphCoverage(glyph), nullptr);
        }
    }
}

TEST(CachedFont, ScratchBitmapGrowsToTwiceTheLineHeightPlusEight) {
    auto font = MakeFont(200);
    ASSERT_TRUE(font);
    const int side = 2 * font->LineHeight() + 8;
    ASSERT_GT(side, 256) << "more than the scratch bitmap starts with";
    const int before = GlyphScratchBitmap().Width();
    ASSERT_TRUE(font->RenderGlyph('x'));
    EXPECT_EQ(GlyphScratchBitmap().Width(), std::max(before, side));
    EXPECT_GE(GlyphScratchBitmap().Height(), side);
}

TEST(CachedFont, ExtendedGlyphsStaySortedForTheBinarySearch) {
    auto font = MakeFont(16);
    ASSERT_TRUE(font);
    const uint16_t codes[] = {0x20AC, 0xE9, 0x3A9, 0x100, 0xC0, 0xFB01, 0x80, 0x416, 0xFFFF};
    for (const uint16_t code : codes) {
        EXPECT_EQ(font->FindGlyph(code), nullptr);
        EXPECT_TRUE(font->RenderGlyph(code));
        EXPECT_TRUE(font->RenderGlyph(code));  // again: the same entry
    }
    for (const uint16_t code : codes) {
        const GlyphRecord* glyph = font->FindGlyph(code);
        ASSERT_NE(glyph, nullptr) << code;
        EXPECT_EQ(glyph->code, code);
    }
    for (const uint16_t code : {0x81, 0xE8, 0xEA, 0x3A8, 0x20AD, 0xFFFE}) {
        EXPECT_EQ(font->FindGlyph(code), nullptr) << code;
    }
    // The same handle again keeps it (a wrong delete shows under the sanitizer) and empties the
    // cache; a new one replaces it (a missed delete shows as a leak).
    font->SetFromHandle(font->GetHandle(), FontOwnsHandle);
    EXPECT_EQ(font->FindGlyph(0xE9), nullptr);
    EXPECT_EQ(font->FindGlyph('a')->dataPosition, 0);
    ASSERT_TRUE(font->RenderGlyph('a'));
    EXPECT_GT(font->FindGlyph('a')->dataPosition, 0);
    FontRequest request;
    request.height = 20;
    font->SetFromHandle(CreateFontHandle(request), FontOwnsHandle);
    EXPECT_EQ(font->LineHeight(), MakeFont(20)->LineHeight());
    EXPECT_NE(font->LineHeight(), MakeFont(16)->LineHeight());
}

// Draws the cached 'W' at every placement and clip around a 9 x 7 bitmap (row span 12), checking
// each pixel, the padding included, against the glyph box cut to the clip and to the bitmap,
// composited over the guard or, when opaque, over the back colour.
template <typename Bitmap>
void SweepGlyphPlacements(CachedFont& font) {
    ASSERT_TRUE(font.RenderGlyph('W'));
    const GlyphRecord glyph = *font.FindGlyph('W');
    const uint8_t* coverage = font.GlyphCoverage(glyph);
    const uint32_t under = font.BackMode() == BackOpaque ? font.BackColor() : kGuard;
    Bitmap bitmap(9, 7);
    const Rect clips[] = {
        {0, 0, 9, 7}, {2, 1, 6, 5},     {-5, -5, 100, 100}, {3, 3, 3, 9},
        {8, 0, 2, 7}, {20, 20, 30, 30}, {-9, -9, 0, 0},     {INT_MIN, INT_MIN, INT_MAX, INT_MAX}};
    for (int y = -glyph.height - 1; y <= 8; ++y) {
        for (int x = -glyph.width - 1; x <= 10; ++x) {
            for (const Rect& clip : clips) {
                FillAll(bitmap, kGuard);
                const bool drawn = font.DrawGlyph(&bitmap, 'W', x, y, clip);
                const int left = std::max({x, clip.left, 0});
                const int top = std::max({y, clip.top, 0});
                const int right = std::min({x + glyph.width, clip.right, 9});
                const int bottom = std::min({y + glyph.height, clip.bottom, 7});
                ASSERT_EQ(drawn, left < right && top < bottom) << x << "," << y;
                for (int py = 0; py < 7; ++py) {
                    for (int px = 0; px < 12; ++px) {
                        const bool inside = px >= left && px < right && py >= top && py < bottom;
                        const uint32_t expected =
                            inside ? GlyphPixel(under, font.GetForeColor(),
                                                coverage[(py - y) * glyph.width + px - x], 256)
                                   : kGuard;
                        ASSERT_EQ(PixelAt(bitmap, px, py), expected)
                            << px << "," << py << " glyph at " << x << "," << y << " clip "
                            << clip.left << "," << clip.top << "," << clip.right;
                    }
                }
            }
        }
    }
    FillAll(bitmap, kGuard);
    EXPECT_FALSE(font.DrawGlyph(&bitmap, 'W', INT_MAX, INT_MAX, clips[7]));
    EXPECT_FALSE(font.DrawGlyph(&bitmap, 'W', INT_MIN, INT_MIN, clips[7]));
    EXPECT_FALSE(AnyPixelOtherThan(bitmap, kGuard));
}

TEST(DrawGlyph, CutToTheClipAndTheBitmapAtEveryPlacement) {
    auto font = MakeFont(10);
    ASSERT_TRUE(font);
    font->SetForeColor(0xFF204060);
    SweepGlyphPlacements<MemBitmap>(*font);
    SweepGlyphPlacements<BottomUpBitmap>(*font);
    font->SetBackMode(BackOpaque);
    font->SetBackColor(0xFF0000FF);
    SweepGlyphPlacements<MemBitmap>(*font);

    MemBitmap empty;
    const Rect everything = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_FALSE(font->DrawGlyph(&empty, 'W', 0, 0, everything));
    EXPECT_FALSE(font->DrawGlyph(nullptr, 'W', 0, 0, everything));
    EXPECT_FALSE(font->DrawGlyph(&empty, 0x2603, 0, 0, everything));  // not in the cache
}

}  // namespace
