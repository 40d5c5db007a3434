// The native text path through GDI. Under Wine DrawString itself always takes the glyph path,
// so the native path is called directly here and compared with GDI's own drawing.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "raster/font_platform.h"
#include "raster/sys_bitmap.h"
#include "raster/text_native.h"
#include "text_test_support.h"

namespace {

constexpr uint32_t kPaper = 0xFFFFFFFF;
constexpr uint32_t kColours = 0xFFFFFF;  // GDI leaves whatever alpha it likes

class NativeText : public ::testing::Test {
protected:
    void SetUp() override {
        font_ = MakeFont(16, FontOwnsHandle | FontPreferNative);
        ASSERT_TRUE(font_);
        font_->SetForeColor(0xFF102030);
        FillAll(expected_, kPaper);
        FillAll(actual_, kPaper);
    }

    // GDI's own drawing (or with DT_CALCRECT measuring) into `expected_`.
    int Gdi(const wchar_t* wide, const char* narrow, RECT* rect, UINT format) {
        HDC dc = static_cast<HDC>(expected_.DeviceContext());
        HGDIOBJ previous = SelectObject(dc, static_cast<HGDIOBJ>(font_->GetHandle()));
        SetTextColor(dc, RGB(0x10, 0x20, 0x30));
        SetBkMode(dc, TRANSPARENT);
        const int height = wide ? DrawTextW(dc, wide, -1, rect, format | DT_NOPREFIX)
                                : DrawTextA(dc, narrow, -1, rect, format | DT_NOPREFIX);
        GdiFlush();
        SelectObject(dc, previous);
        return height;
    }

    int Native(RasterBitmap* bitmap, const char* text, Rect rect, int format) {
        return DrawStringNative(*font_, bitmap, text, -1, rect, format);
    }

    std::unique_ptr<CachedFont> font_;
    SysBitmap expected_{160, 40};
    SysBitmap actual_{160, 40};
};

TEST_F(NativeText, UnderWineDrawStringTakesTheGlyphPath) {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) != ERROR_SUCCESS) {
        GTEST_SKIP() << "not under Wine";
    }
    RegCloseKey(key);
    EXPECT_FALSE(font_platform::NativeTextAvailable());
    Rect rect = {4, 4, 150, 36};
    font_->DrawString(&expected_, "Level 5.000", -1, rect, FormatNoClip | FormatForceGlyphs);
    font_->DrawString(&actual_, "Level 5.000", -1, rect, FormatNoClip);
    EXPECT_TRUE(SamePixels(expected_, actual_));
}

TEST_F(NativeText, DrawsAsGdiDoesWithUtf8BecomingUtf16) {
    struct Case {
        const char* utf8;
        const wchar_t* wide;  // null: the raw bytes go to DrawTextA
    };
    const Case cases[] = {
        {"Level 5.000", nullptr},
        {"Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC \xCE\xA9",
         L"Gr\u00FC\u00DFe \u20AC \u03A9"},
        {"x\xC3\xA9\xFF", nullptr},  // a valid pair, then a byte the strict conversion refuses
    };
    for (const Case& c : cases) {
        FillAll(expected_, kPaper);
        FillAll(actual_, kPaper);
        RECT rect = {4, 4, 150, 36};
        const int height = Gdi(c.wide, c.utf8, &rect, DT_NOCLIP);
        EXPECT_EQ(Native(&actual_, c.utf8, {4, 4, 150, 36}, FormatNoClip), height);
        EXPECT_TRUE(SamePixels(expected_, actual_, kColours)) << c.utf8;
        EXPECT_TRUE(AnyPixelOtherThan(actual_, kPaper));
    }
}

TEST_F(NativeText, MeasuresWithoutABitmapLongTextIncluded) {
    std::string utf8 = "Drive 10.000 ";
    std::wstring wide = L"Drive 10.000 ";
    for (int i = 0; i < 1200; ++i) {  // past 999 UTF-16 units: converted on the heap
        utf8 += "\xC3\xA9";
        wide += L'\u00E9';
    }
    RECT gdi = {0, 0, 0, 0};
    const int height = Gdi(wide.c_str(), nullptr, &gdi, DT_CALCRECT);
    Rect rect = {7, 9, 7, 9};
    EXPECT_EQ(DrawStringNative(*font_, nullptr, utf8.c_str(), -1, rect, FormatCalcRect), height);
    EXPECT_EQ(rect.right, 7 + gdi.right);
    EXPECT_EQ(rect.bottom, 9 + gdi.bottom);
    EXPECT_GT(gdi.right, 1200);
    EXPECT_EQ(Native(nullptr, "Drive", rect, 0), 0);  // nothing to draw on
}

TEST_F(NativeText, BitmapsWithoutAContextGoThroughTheScratchWithRightAndBottomWinning) {
    struct Case {
        int format;
        UINT gdiFormat;
    };
    const Case cases[] = {
        {0, 0},
        {FormatRight, DT_RIGHT},
        {FormatRight | FormatCenter, DT_RIGHT},
        {FormatCenter, DT_CENTER},
        {FormatBottom | FormatVCenter | FormatSingleLine, DT_BOTTOM | DT_SINGLELINE},
        {FormatNoClip | FormatRight, DT_NOCLIP},  // the box is the text: nothing to align in
    };
    for (const Case& c : cases) {
        MemBitmap memory(160, 40);
        FillAll(memory, kPaper);
        FillAll(expected_, kPaper);
        RECT rect = {10, 3, 150, 37};
        Gdi(nullptr, "Filter 2.5", &rect, c.gdiFormat);
        Native(&memory, "Filter 2.5", {10, 3, 150, 37}, c.format);
        EXPECT_TRUE(SamePixels(expected_, memory, kColours)) << c.format;
        EXPECT_TRUE(AnyPixelOtherThan(memory, kPaper));
    }
}

TEST(CachedFontWin32, AnOwnedHandleIsDeletedWhenReplaced) {
    auto font = MakeFont(16);
    ASSERT_TRUE(font);
    FontHandle first = font->GetHandle();
    font->SetFromHandle(first, FontOwnsHandle);
    EXPECT_EQ(GetObjectType(static_cast<HGDIOBJ>(first)), DWORD(OBJ_FONT));
    FontHandle second = CreateFontHandle(FontRequest());
    font->SetFromHandle(second, FontOwnsHandle);
    EXPECT_EQ(GetObjectType(static_cast<HGDIOBJ>(first)), 0u);
    font->SetFromHandle(nullptr, 0);
    EXPECT_EQ(GetObjectType(static_cast<HGDIOBJ>(second)), 0u);
}

}  // namespace
