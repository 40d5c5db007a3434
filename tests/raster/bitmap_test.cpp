#include "raster/mem_bitmap.h"
#include "raster/sys_bitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

bool Aligned64(const void* p) { return reinterpret_cast<uintptr_t>(p) % 64 == 0; }

TEST(MemBitmap, RowsArePaddedToFourPixelsAndStartOn64Bytes) {
    for (int width = 1; width <= 13; ++width) {
        MemBitmap bitmap(width, 3);
        EXPECT_EQ(bitmap.RowSpan(), (width + 3) / 4 * 4) << width;
        EXPECT_TRUE(Aligned64(bitmap.Bits())) << width;
        EXPECT_EQ(bitmap.Capacity(), bitmap.RowSpan() * 3 * 4);
        // Every padded pixel is writable (the sanitizer build checks the block's end).
        bitmap.Bits()[bitmap.RowSpan() * 3 - 1] = 0;
    }
    EXPECT_EQ(MemBitmap(5, 1).RowSpan(), 8);
    EXPECT_EQ(MemBitmap(8, 1).RowSpan(), 8);
}

TEST(MemBitmap, GrowsWithHeadroomAndNeverShrinks) {
    MemBitmap bitmap(100, 100);
    EXPECT_EQ(bitmap.Capacity(), 40000);
    EXPECT_TRUE(bitmap.Resize(101, 100));
    EXPECT_EQ(bitmap.Capacity(), 52000);
    uint32_t* grownBits = bitmap.Bits();
    EXPECT_TRUE(bitmap.Resize(110, 110));  // span 112: 49,280 bytes fit
    EXPECT_EQ(bitmap.Bits(), grownBits);
    EXPECT_EQ(bitmap.Capacity(), 52000);
    EXPECT_EQ(bitmap.RowSpan(), 112);
    EXPECT_TRUE(bitmap.Resize(10, 10));
    EXPECT_EQ(bitmap.Capacity(), 52000);
    EXPECT_TRUE(Aligned64(bitmap.Bits()));
}

TEST(MemBitmap, SameSizeAndEmptySizes) {
    MemBitmap bitmap(20, 10);
    EXPECT_FALSE(bitmap.Resize(20, 10));
    EXPECT_TRUE(bitmap.Resize(0, 0));
    EXPECT_EQ(bitmap.Bits(), nullptr);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
    EXPECT_EQ(bitmap.Capacity(), 0);
    EXPECT_FALSE(bitmap.Resize(0, 0));
    EXPECT_FALSE(bitmap.Resize(0, 10));  // still nothing to hold
    EXPECT_EQ(bitmap.Height(), 0);

    EXPECT_TRUE(bitmap.Resize(3, 2));
    EXPECT_NE(bitmap.Bits(), nullptr);
}

TEST(MemBitmap, SizesThatOverflowAreRefusedBeforeAllocating) {
    // 65536 x 16385 x 4 bytes wraps to 262,144 in 32 bits; the others overflow outright or are
    // negative in both dimensions (whose product would look positive).
    const int sizes[][2] = {{65536, 16385}, {40000, 40000}, {INT_MAX, 1}, {INT_MAX - 2, 1},
                            {1, INT_MAX}, {-8, -8}, {-1, 5}, {536870912, 1}};
    for (const auto& size : sizes) {
        MemBitmap bitmap(4, 4);
        EXPECT_TRUE(bitmap.Resize(size[0], size[1])) << size[0] << " x " << size[1];
        EXPECT_EQ(bitmap.Bits(), nullptr);
        EXPECT_EQ(bitmap.Width() | bitmap.Height() | bitmap.Capacity(), 0);
        EXPECT_EQ(MemBitmap(size[0], size[1]).Bits(), nullptr);
    }
}

TEST(SysBitmap, WidthRoundsUpToFourAndAShrinkKeepsTheSurface) {
    SysBitmap bitmap(301, 20);
    ASSERT_NE(bitmap.Bits(), nullptr);
    EXPECT_EQ(bitmap.RowSpan(), 304);
    EXPECT_FALSE(bitmap.IsBottomUp());
    uint32_t* bits = bitmap.Bits();
    bits[304 * 20 - 1] = 0x12345678;  // the last pixel of the padded surface is ours
    EXPECT_TRUE(bitmap.Resize(200, 10));
    EXPECT_EQ(bitmap.Bits(), bits);
    EXPECT_EQ(bitmap.Width(), 200);
    EXPECT_EQ(bitmap.Height(), 10);
    EXPECT_EQ(bitmap.RowSpan(), 304);
    EXPECT_FALSE(bitmap.Resize(200, 10));
    EXPECT_TRUE(bitmap.Resize(400, 10));  // grows: a new surface at the rounded width
    EXPECT_EQ(bitmap.RowSpan(), 400);
    EXPECT_NE(bitmap.Bits(), nullptr);
}

TEST(SysBitmap, NewSurfaceIsClearAndEmptySizesReleaseIt) {
    SysBitmap bitmap(7, 5);
    ASSERT_NE(bitmap.Bits(), nullptr);
    for (int i = 0; i < bitmap.RowSpan() * bitmap.Height(); ++i) {
        ASSERT_EQ(bitmap.Bits()[i], 0u);
    }
    EXPECT_FALSE(bitmap.Resize(0, 10));
    EXPECT_EQ(bitmap.Bits(), nullptr);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.RowSpan(), 0);
    EXPECT_FALSE(bitmap.Resize(-4, -4));
    EXPECT_EQ(bitmap.Bits(), nullptr);
    EXPECT_TRUE(bitmap.Resize(3, 3));
    EXPECT_NE(bitmap.Bits(), nullptr);
    EXPECT_TRUE(bitmap.Resize(65536, 16385));  // too large for 32-bit byte counts
    EXPECT_EQ(bitmap.Bits(), nullptr);
    EXPECT_EQ(bitmap.Width(), 0);
}

}  // namespace
