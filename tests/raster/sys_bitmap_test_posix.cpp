// Without GDI a SysBitmap is heap pixels with no device context.
#include "raster/sys_bitmap.h"

#include <gtest/gtest.h>

TEST(SysBitmapPosix, HasNoDeviceContext) {
    SysBitmap bitmap(10, 10);
    EXPECT_EQ(bitmap.DeviceContext(), nullptr);
    EXPECT_NE(bitmap.Bits(), nullptr);
}
