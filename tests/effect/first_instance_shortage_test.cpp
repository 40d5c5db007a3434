// The first instance of the process decodes the panel images into the shared cache. Short of
// memory at any allocation of that (libpng's own included), creation fails cleanly and no image
// is cached as missing: once memory is there, an instance shows every image. A program of its
// own, since the process-wide image cache keeps what the first instance loaded.
#include <gtest/gtest.h>

#include "editor/bitmap_cache.h"
#include "editor_headless/headless_editor.h"
#include "effect/orv_q12.h"
#include "raster/raster_bitmap.h"
#include "tests/effect/failing_allocator.h"
#include "vst/vst_entry.h"

using namespace vst2;

TEST(FirstInstanceShortOfMemory, FailsCleanlyAndCachesNoImageAsMissing) {
    ASSERT_EQ(BitmapCache::Process().Count(), 0) << "nothing decoded before this test";
    bool failedWhileDecoding = false;
    long n = 1;
    for (; n < 10000; ++n) {
        failing_allocator::Arm(n);
        AEffect* effect = CreateVstEffect(nullptr, &ORV_Q12::Create);
        const long made = failing_allocator::Disarm();
        if (made < n) {
            ASSERT_NE(effect, nullptr);
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
            break;
        }
        EXPECT_EQ(effect, nullptr) << "allocation " << n << " failed";
        if (effect != nullptr) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        const int cached = BitmapCache::Process().Count();
        failedWhileDecoding = failedWhileDecoding || (cached > 0 && cached < 6);
    }
    ASSERT_LT(n, 10000);
    EXPECT_TRUE(failedWhileDecoding) << "a creation failed between two images";

    ORV_Q12 fx(nullptr, &HeadlessEditor::Create);
    Editor& editor = *fx.AttachedEditor();
    for (int id : {100, 101, 103, 105, 106, 107}) {
        const RasterBitmap* image = editor.FetchImage(id, "image.png");
        ASSERT_NE(image, nullptr) << id;
        EXPECT_GT(image->Width(), 0) << id;
    }
    EXPECT_EQ(BitmapCache::Process().Count(), 6);
}
