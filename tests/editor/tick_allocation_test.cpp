// The redraw tick allocates nothing: not when nothing changed (and then it draws nothing
// either), not when it redraws a knob turned by the user or the host.
#include <gtest/gtest.h>

#include "editor_headless/headless_editor.h"
#include "effect/orv_q12.h"
#include "tests/support/counting_allocator.h"

TEST(TickAllocationTest, TicksAllocateNothingAndIdleOnesDrawNothing) {
    ORV_Q12 fx(nullptr, &HeadlessEditor::Create);
    auto& editor = static_cast<HeadlessEditor&>(*fx.AttachedEditor());
    editor.Tick();
    editor.ClearPresented();
    {
        AllocationCounter counter;
        for (int i = 0; i < 100; ++i) editor.Tick();
        EXPECT_EQ(counter.Count(), 0);
        EXPECT_EQ(editor.PresentCount(), 0);
    }
    {
        AllocationCounter counter;
        editor.Press(65, 111);
        editor.Move(65, 90);
        editor.Release(65, 90);
        fx.Effect()->setParameter(fx.Effect(), ORV_Q12::kVolume, 0.9f);
        for (int i = 0; i < 4; ++i) editor.Tick();
        EXPECT_EQ(counter.Count(), 0);
        EXPECT_EQ(editor.PresentCount(), 2);
    }
}
