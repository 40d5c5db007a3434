#include "plugin/heap_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "plugin/pointer_list.h"
#include "plugin/text_buffer.h"

TEST(HeapBufferTest, SmallGranularityGrowsByHalfTheSizeOrTheGranularity) {
    HeapBuffer buffer(128);
    ASSERT_TRUE(buffer.Resize(10));
    EXPECT_EQ(buffer.Size(), 10);
    EXPECT_EQ(buffer.Allocated(), 10 + 128);
    ASSERT_TRUE(buffer.Resize(1000));
    EXPECT_EQ(buffer.Allocated(), 1000 + 500);
    // Within the allocation nothing moves.
    ASSERT_TRUE(buffer.Resize(1400));
    EXPECT_EQ(buffer.Allocated(), 1500);
}

TEST(HeapBufferTest, LargeGranularityRoundsToPagesLessTheAllocatorHeader) {
    HeapBuffer buffer(4096);
    ASSERT_TRUE(buffer.Resize(100));
    // step 4096: (100 + 96 + 4096) cut to 4096, less 96.
    EXPECT_EQ(buffer.Allocated(), 4096 - 96);
    ASSERT_TRUE(buffer.Resize(20000));
    // g = 10000, cut to 8192: 20000 + 96 + 8192 = 28288, cut to 24576, less 96.
    EXPECT_EQ(buffer.Allocated(), 24576 - 96);
    // The step is capped at 4 MiB.
    HeapBuffer huge(4096);
    ASSERT_TRUE(huge.Resize(20 << 20));
    EXPECT_EQ(huge.Allocated(), (((20 << 20) + 96 + 4194304) / 4096) * 4096 - 96);
}

TEST(HeapBufferTest, ShrinksOnlyBelowTheHysteresisThreshold) {
    HeapBuffer buffer(128);
    ASSERT_TRUE(buffer.Resize(1000));  // allocated 1500
    // Threshold min(750, 1500 - 512) = 750: 800 keeps the allocation, 700 reallocates.
    ASSERT_TRUE(buffer.Resize(800));
    EXPECT_EQ(buffer.Allocated(), 1500);
    ASSERT_TRUE(buffer.Resize(700));
    EXPECT_EQ(buffer.Allocated(), 700 + 350);
    // Without shrinking allowed the allocation stays.
    ASSERT_TRUE(buffer.Resize(10, false));
    EXPECT_EQ(buffer.Allocated(), 1050);
    ASSERT_TRUE(buffer.Resize(0));
    EXPECT_EQ(buffer.Allocated(), 0);
    EXPECT_EQ(buffer.Data(), nullptr);
}

TEST(HeapBufferTest, MinimumAllocationAndZeroingAndKeptBytes) {
    HeapBuffer buffer(16);
    buffer.SetMinimumAllocation(4000);
    ASSERT_TRUE(buffer.Resize(4));
    EXPECT_EQ(buffer.Allocated(), 4000);
    for (int i = 0; i < 4; ++i) buffer.Data()[i] = static_cast<std::uint8_t>(i + 1);
    ASSERT_TRUE(buffer.ResizeZeroed(5000));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(buffer.Data()[i], i + 1);
    for (int i = 4; i < 5000; ++i) ASSERT_EQ(buffer.Data()[i], 0) << i;
}

TEST(HeapBufferTest, ASizeBeyondThirtyTwoBitsFailsAndChangesNothing) {
    HeapBuffer buffer(4096);
    ASSERT_TRUE(buffer.Resize(64));
    buffer.Data()[0] = 42;
    const std::uint8_t* data = buffer.Data();
    EXPECT_FALSE(buffer.Resize(std::numeric_limits<std::int32_t>::max()));
    EXPECT_FALSE(buffer.Resize(-1));
    EXPECT_EQ(buffer.Size(), 64);
    EXPECT_EQ(buffer.Data(), data);
    EXPECT_EQ(buffer.Data()[0], 42);
}

TEST(PointerListTest, InsertsInPlaceReadsNullOutsideAndDeletesLastFirstOffTheList) {
    static int order[3];
    static int countSeen[3];
    static int deleted = 0;
    struct Tracked {
        int id;
        const PointerList<Tracked>* list;
        ~Tracked() {
            countSeen[deleted] = list->Count();
            order[deleted++] = id;
        }
    };
    {
        PointerList<Tracked> list;
        ASSERT_TRUE(list.Append(new Tracked{0, &list}));
        ASSERT_TRUE(list.Append(new Tracked{2, &list}));
        ASSERT_TRUE(list.Insert(1, new Tracked{1, &list}));
        EXPECT_EQ(list.Count(), 3);
        EXPECT_EQ(list.Get(-1), nullptr);
        EXPECT_EQ(list.Get(3), nullptr);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(list.Get(i)->id, i);
    }
    EXPECT_EQ(deleted, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(order[i], 2 - i);
        EXPECT_EQ(countSeen[i], 2 - i) << "an entry leaves the list before it is deleted";
    }
}

TEST(TextBufferTest, EmptyReadsAsEmptyText) {
    TextBuffer text;
    EXPECT_STREQ(text.Get(), "");
    EXPECT_TRUE(text.IsEmpty());
    ASSERT_TRUE(text.Set("Left"));
    EXPECT_STREQ(text.Get(), "Left");
    ASSERT_TRUE(text.Set(nullptr));
    EXPECT_STREQ(text.Get(), "");
}
