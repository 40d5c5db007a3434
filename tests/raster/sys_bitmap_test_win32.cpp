// The SysBitmap's surface as GDI sees it: a top-down 32-bit DIB section in its memory DC.
#include "raster/sys_bitmap.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

DIBSECTION SelectedDib(const SysBitmap& bitmap) {
    DIBSECTION dib = {};
    HGDIOBJ selected = GetCurrentObject(static_cast<HDC>(bitmap.DeviceContext()), OBJ_BITMAP);
    GetObject(selected, sizeof dib, &dib);
    return dib;
}

TEST(SysBitmapWin32, IsATopDownDibSectionInAMemoryDc) {
    SysBitmap bitmap(301, 17);
    ASSERT_NE(bitmap.DeviceContext(), nullptr);
    DIBSECTION dib = SelectedDib(bitmap);
    EXPECT_EQ(dib.dsBm.bmWidth, 304);
    EXPECT_EQ(dib.dsBm.bmHeight, 17);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(dib.dsBm.bmBits, bitmap.Bits());

    // GDI draws into the same pixels the raster code sees, row 0 first: a top-down DIB.
    RECT top = {0, 0, 301, 1};
    FillRect(static_cast<HDC>(bitmap.DeviceContext()), &top,
             static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    GdiFlush();
    EXPECT_EQ(bitmap.Bits()[0] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(bitmap.Bits()[304] & 0xFFFFFF, 0u);

    EXPECT_TRUE(bitmap.Resize(200, 10));
    EXPECT_EQ(SelectedDib(bitmap).dsBm.bmWidth, 304);  // the DIB stays
}

TEST(SysBitmapWin32, EmptySizeSelectsTheDcsOwnBitmapBack) {
    SysBitmap bitmap(8, 8);
    EXPECT_FALSE(bitmap.Resize(0, 10));
    EXPECT_EQ(SelectedDib(bitmap).dsBm.bmBits, nullptr);  // the stock 1 x 1 bitmap again
    EXPECT_NE(bitmap.DeviceContext(), nullptr);
}

}  // namespace
