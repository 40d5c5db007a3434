#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "raster/blit.h"
#include "raster/text_decode.h"
#include "text_test_support.h"

namespace {

constexpr uint32_t kPaper = 0xFFFFFFFF;

TEST(DecodeTextCharacter, Utf8AndTheFallbacksForMalformedBytes) {
    struct Decoded {
        const char* bytes;
        int available;
        uint16_t code;
        int used;
    };
    const Decoded cases[] = {
        {"A", 4, 'A', 1},
        {"\xC3\xA9", 4, 0xE9, 2},
        {"\xE2\x82\xAC", 4, 0x20AC, 3},
        {"\xF0\x9F\x98\x80", 4, ' ', 4},
        {"\xF4\x8F\xBF\xBF", 4, ' ', 4},
        // Stray continuation bytes, overlong leads, leads cut short by a NUL, another byte or
        // the length, and bytes from 0xF5 on are each their own code.
        {"\x80", 4, 0x80, 1},
        {"\xC0\x80", 4, 0xC0, 1},
        {"\xC3", 4, 0xC3, 1},
        {"\xC3(", 4, 0xC3, 1},
        {"\xE2\x82(", 4, 0xE2, 1},
        {"\xF5\x80\x80\x80", 4, 0xF5, 1},
        {"\xFF", 4, 0xFF, 1},
        {"\xC3\xA9", 1, 0xC3, 1},
        {"\xE2\x82\xAC", 2, 0xE2, 1},
    };
    for (const Decoded& c : cases) {
        uint16_t code = 0;
        EXPECT_EQ(DecodeTextCharacter(c.bytes, c.available, &code), c.used) << c.bytes;
        EXPECT_EQ(code, c.code) << c.bytes;
    }
}

class GlyphText : public ::testing::Test {
protected:
    void SetUp() override {
        font_ = MakeFont(16, FontOwnsHandle | FontPreferNative);
        ASSERT_TRUE(font_);
        font_->SetForeColor(0xFF000000);
        FillAll(expected_, kPaper);
        FillAll(actual_, kPaper);
    }

    Rect Measure(const char* text, int length = -1, int format = 0) {
        Rect rect = {};
        font_->DrawString(nullptr, text, length, rect, format | FormatCalcRect | FormatForceGlyphs);
        return rect;
    }

    int Draw(MemBitmap& bitmap, const char* text, Rect rect, int format = FormatNoClip) {
        return font_->DrawString(&bitmap, text, -1, rect, format | FormatForceGlyphs);
    }

    int Advance(uint16_t code) {
        font_->RenderGlyph(code);
        return font_->FindGlyph(code)->advance;
    }

    std::unique_ptr<CachedFont> font_;
    MemBitmap expected_{130, 60};
    MemBitmap actual_{130, 60};
};

TEST_F(GlyphText, MeasuresAdvancesAndLines) {
    const int line = font_->LineHeight();
    Rect rect = {5, 7, 0, 0};
    EXPECT_EQ(font_->DrawString(nullptr, "Hello", -1, rect, FormatCalcRect | FormatForceGlyphs),
              line);
    EXPECT_EQ(rect.right, 5 + Advance('H') + Advance('e') + 2 * Advance('l') + Advance('o'));
    EXPECT_EQ(rect.bottom, 7 + line);
    EXPECT_EQ(Measure("Hello\nWide world").right, Measure("Wide world").right);
    EXPECT_EQ(Measure("Hello\r\nWide world").bottom, 2 * line);
    EXPECT_EQ(Measure("ab\ncd", -1, FormatSingleLine).right, Measure("ab cd").right);
    EXPECT_EQ(Measure("abc", 2).right, Measure("ab").right);
    EXPECT_EQ(Measure("ab\0cd", 5).right, Measure("ab").right);
    EXPECT_EQ(Measure("").bottom, 0);
    // A four-byte sequence is one space; a stray 0xC0 is the glyph for code 0xC0.
    EXPECT_EQ(Measure("a\xF0\x9F\x98\x80z").right, Measure("a z").right);
    EXPECT_EQ(Measure("\xC0").right, Advance(0xC0));
    EXPECT_EQ(Measure("\xC3\xA9").right, Advance(0xE9));
}

TEST_F(GlyphText, LineFeedStartsALineBelowOrIsASpaceOnASingleLine) {
    const int line = font_->LineHeight();
    Draw(expected_, "Wx", {4, 3, 4, 3});
    Draw(expected_, "yZ", {4, 3 + line, 4, 3 + line});
    EXPECT_EQ(Draw(actual_, "Wx\nyZ", {4, 3, 4, 3}), 2 * line);
    EXPECT_TRUE(SamePixels(expected_, actual_));

    FillAll(expected_, kPaper);
    FillAll(actual_, kPaper);
    Draw(expected_, "Wx yZ", {4, 3, 0, 0});
    EXPECT_EQ(Draw(actual_, "Wx\nyZ", {4, 3, 0, 0}, FormatNoClip | FormatSingleLine), line);
    EXPECT_TRUE(SamePixels(expected_, actual_));
}

TEST_F(GlyphText, AlignsByTheMeasuredSizeWithCenteringWinning) {
    const int w = Measure("Mix 5.0").right, h = Measure("Mix 5.0").bottom;
    const int centreX = 10 + (111 - w - 10) / 2, centreY = 5 + (46 - h - 5) / 2;
    const int alignments[][3] = {
        {FormatCenter, centreX, 5},
        {FormatRight, 111 - w, 5},
        {FormatCenter | FormatRight, centreX, 5},
        {FormatBottom, 10, 46 - h},
        {FormatVCenter | FormatBottom | FormatRight, 111 - w, centreY},
    };
    for (const auto& a : alignments) {
        FillAll(expected_, kPaper);
        FillAll(actual_, kPaper);
        Draw(expected_, "Mix 5.0", {a[1], a[2], a[1] + w, a[2] + h});
        Draw(actual_, "Mix 5.0", {10, 5, 111, 46}, FormatNoClip | a[0]);
        EXPECT_TRUE(SamePixels(expected_, actual_)) << a[0];
    }
}

TEST_F(GlyphText, ClippedGlyphsStillAdvanceButDoNotCountAsDrawn) {
    const int line = font_->LineHeight();
    // The W lies left of the bitmap; the o still lands after its advance.
    Draw(expected_, "o", {0, 0, 60, line + 4}, 0);
    EXPECT_EQ(Draw(actual_, "Wo", {-Advance('W'), 0, 60, line + 4}, 0), line);
    EXPECT_TRUE(SamePixels(expected_, actual_));
    // The second line lies below the clip: one line was drawn.
    EXPECT_EQ(Draw(actual_, "o\no", {0, 0, 60, line}, 0), line);
    EXPECT_EQ(Draw(actual_, "W", {-font_->FindGlyph('W')->width, 0, 60, line + 4}, 0), 0);
}

TEST_F(GlyphText, NothingIsDrawnWithoutBitmapClipOrWeight) {
    Rect rect = {0, 0, 40, 20};
    EXPECT_EQ(font_->DrawString(nullptr, "Wo", -1, rect, FormatForceGlyphs), 0);
    EXPECT_EQ(Draw(actual_, "Wo", {5, 5, 5, 20}, 0), 0);      // empty clip
    EXPECT_EQ(Draw(actual_, "Wo", {150, 0, 190, 20}, 0), 0);  // clip beyond the bitmap
    EXPECT_EQ(Draw(actual_, nullptr, rect, 0), 0);
    font_->SetForeColor(0x00000000);
    EXPECT_EQ(Draw(actual_, "Wo", rect, FormatUseForeAlpha), 0);  // alpha 0: weight 0
    EXPECT_FALSE(AnyPixelOtherThan(actual_, kPaper));
}

TEST_F(GlyphText, ForeAlphaScalesTheWeight) {
    // Alpha 128 gives the weight 128/255 and so k = 128, as a weight of 0.5 does.
    FillAll(expected_, 0xFF000000);
    FillAll(actual_, 0xFF000000);
    font_->SetForeColor(0x80FFFFFF);
    EXPECT_EQ(Draw(actual_, "W", {2, 2, 0, 0}, FormatNoClip | FormatUseForeAlpha),
              font_->LineHeight());
    EXPECT_EQ(font_->Weight(), 1.0f);
    font_->SetForeColor(0xFFFFFFFF);
    font_->SetBlendMode(BlendCopy, 0.5f);
    EXPECT_TRUE(font_->DrawGlyph(&expected_, 'W', 2, 2, {0, 0, 130, 60}));
    EXPECT_TRUE(SamePixels(expected_, actual_));
}

TEST_F(GlyphText, NeverWritesOutsideTheBitmapWhateverTheRectangle) {
    const Rect rects[] = {{0, 0, 7, 5},
                          {-30, -30, 3, 3},
                          {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                          {5, 4, -100, -100},
                          {-3, 2, 40, 9},
                          {INT_MAX - 2, INT_MAX - 2, INT_MAX, 0},
                          {INT_MIN, 0, INT_MIN + 5, 5}};
    for (const Rect& rect : rects) {
        for (const int format : {0, FormatNoClip | FormatCenter | FormatBottom,
                                 FormatCenter | FormatVCenter, FormatRight | FormatBottom}) {
            BottomUpBitmap bitmap(7, 5);
            FillAll(bitmap, kPaper);
            Draw(bitmap, "W\xC3\xA9\nxyz\xE2\x82\xAC", rect, format);
            for (int y = 0; y < 5; ++y) {
                ASSERT_EQ(PixelAt(bitmap, 7, y), kPaper);  // the padding column
            }
        }
    }
}

TEST(GlyphTextHugeFont, GlyphsTooLargeToRenderDrawNothing) {
    auto font = MakeFont(20000);
    ASSERT_TRUE(font);
    MemBitmap bitmap(30, 30);
    FillAll(bitmap, kPaper);
    Rect rect = {0, 0, 30, 30};
    EXPECT_EQ(font->DrawString(&bitmap, "Wo", -1, rect, FormatForceGlyphs), 0);
    EXPECT_FALSE(AnyPixelOtherThan(bitmap, kPaper));
    EXPECT_EQ(font->FindGlyph('W')->dataPosition, -1);
    EXPECT_EQ(font->DrawString(nullptr, "Wo", -1, rect, FormatCalcRect | FormatForceGlyphs), 0);
    EXPECT_EQ(rect.right, 0);
}

}  // namespace
