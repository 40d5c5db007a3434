// The panel images as module resources: found by id and type, decoded to their exact sizes, and
// drawn the way the editor composes them (opaque background, controls with transparent edges).
#include "raster/png_loader.h"
#include "resources/module_resource.h"

#include <gtest/gtest.h>

namespace {

struct PanelImage {
    int id;
    int width;
    int height;
    int frames;
};

constexpr PanelImage kPanelImages[] = {{100, 300, 350, 1},
                                       {101, 95, 7695, 81},
                                       {103, 45, 90, 2},
                                       {105, 32, 64, 2},
                                       {106, 184, 808, 101}};

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

TEST(ModuleResources, BackgroundIsOpaqueAndControlsHaveTransparentCorners) {
    auto background = LoadPngResource(nullptr, 100);
    ASSERT_NE(background, nullptr);
    for (int y = 0; y < background->Height(); ++y) {
        for (int x = 0; x < background->Width(); ++x) {
            ASSERT_EQ(Alpha(*background, x, y), 255u) << x << "," << y;
        }
    }
    for (const PanelImage& image : kPanelImages) {
        if (image.id == 100 || image.id == 106) {
            continue;  // the input strip's frames are a full-width track
        }
        auto strip = LoadPngResource(nullptr, image.id);
        ASSERT_NE(strip, nullptr);
        const int frameHeight = image.height / image.frames;
        for (int frame = 0; frame < image.frames; ++frame) {
            const int top = frame * frameHeight;
            EXPECT_EQ(Alpha(*strip, 0, top), 0u) << image.id << " frame " << frame;
            EXPECT_EQ(Alpha(*strip, image.width - 1, top + frameHeight - 1), 0u)
                << image.id << " frame " << frame;
        }
    }
}

// Frames of one strip must differ from their neighbours, or a control would not move.
TEST(ModuleResources, EveryFrameOfAStripDiffersFromTheNext) {
    for (const PanelImage& image : kPanelImages) {
        if (image.frames == 1) {
            continue;
        }
        auto strip = LoadPngResource(nullptr, image.id);
        ASSERT_NE(strip, nullptr);
        const int frameHeight = image.height / image.frames;
        const ptrdiff_t frameWords = ptrdiff_t(frameHeight) * strip->RowSpan();
        for (int frame = 0; frame + 1 < image.frames; ++frame) {
            const uint32_t* a = strip->Bits() + frame * frameWords;
            const uint32_t* b = a + frameWords;
            EXPECT_FALSE(std::equal(a, a + frameWords, b)) << image.id << " frame " << frame + 1;
        }
    }
}

}  // namespace
