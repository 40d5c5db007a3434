// The panel images as module resources: found by id and type, decoded to their exact sizes, and
// drawn the way the editor composes them (opaque background, controls with transparent edges).
#include "raster/png_loader.h"
#include "resources/module_resource.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct PanelImage {
    int id;
    int width;
    int height;
    int frames;
};

constexpr PanelImage kPanelImages[] = {{100, 300, 350, 1}, {101, 95, 7695, 81},  {103, 45, 90, 2},
                                       {105, 32, 64, 2},   {106, 184, 808, 101}, {107, 17, 34, 2}};

// A null module handle names the running program (Windows) or is not consulted (Linux).
TEST(ModuleResources, EveryPanelImageDecodesToItsSize) {
    for (const PanelImage& image : kPanelImages) {
        auto bitmap = LoadPngResource(nullptr, image.id);
        ASSERT_NE(bitmap, nullptr) << image.id;
        EXPECT_EQ(bitmap->Width(), image.width) << image.id;
        EXPECT_EQ(bitmap->Height(), image.height) << image.id;
        EXPECT_EQ(bitmap->Height() % image.frames, 0) << image.id;
    }
}

TEST(ModuleResources, LookupByIdAndType) {
    EXPECT_EQ(LoadPngResource(nullptr, 102), nullptr);
    EXPECT_EQ(FindModuleResource(nullptr, 100, "JPG").data, nullptr);
    const ResourceBytes bytes = FindModuleResource(nullptr, 100, "PNG");
    ASSERT_NE(bytes.data, nullptr);
    EXPECT_GT(bytes.size, 8);
    EXPECT_EQ(FindModuleResource(nullptr, 100 + 0x10000, "PNG").data, bytes.data);  // 16-bit ids
}

uint32_t Alpha(const RasterBitmap& bitmap, int x, int y) {
    return bitmap.Bits()[ptrdiff_t(y) * bitmap.RowSpan() + x] >> 24;
}

// The editor copies the background opaquely and blends the controls by their alpha: the
// background must be opaque, a control frame's corners transparent, and every frame must differ
// from the next or the control would not move.
TEST(ModuleResources, ImagesSuitTheirCompositing) {
    for (const PanelImage& image : kPanelImages) {
        auto strip = LoadPngResource(nullptr, image.id);
        ASSERT_NE(strip, nullptr);
        const int frameHeight = image.height / image.frames;
        const ptrdiff_t frameWords = ptrdiff_t(frameHeight) * strip->RowSpan();
        for (int frame = 0; frame < image.frames; ++frame) {
            const int top = frame * frameHeight;
            const uint32_t corner = Alpha(*strip, image.width - 1, top + frameHeight - 1);
            if (image.id == 100) {
                for (int y = 0; y < image.height; ++y) {
                    for (int x = 0; x < image.width; ++x) {
                        ASSERT_EQ(Alpha(*strip, x, y), 255u) << x << "," << y;
                    }
                }
            } else {
                EXPECT_EQ(Alpha(*strip, 0, top) + corner, 0u) << image.id << " frame " << frame;
            }
            const uint32_t* a = strip->Bits() + frame * frameWords;
            if (frame + 1 < image.frames) {
                EXPECT_FALSE(std::equal(a, a + frameWords, a + frameWords))
                    << image.id << " frame " << frame + 1;
            }
        }
    }
}

}  // namespace
