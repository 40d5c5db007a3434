// The effect's panel as a user meets it: what a fresh panel shows, the footswitch's latch
// deciding between processing and an exact pass-through, gestures reaching the host as edits.
#include <cmath>
#include <string>
#include <vector>

#include "editor/bitmap_control.h"
#include "raster/png_loader.h"
#include "tests/editor/editor_fixture.h"

using namespace vst2;

TEST_F(PanelTest, AFreshPanelShowsTheDefaultFrames) {
    editor->Tick();
    ASSERT_EQ(editor->PresentCount(), 1);
    const Rect whole = editor->Presented(0);
    EXPECT_EQ(whole.right - whole.left, 300);
    EXPECT_EQ(whole.bottom - whole.top, 350);
    for (int knob : {kDrive, kFilter, kVolume}) EXPECT_EQ(FrameShown(knob), 41) << knob;
    EXPECT_EQ(FrameShown(kStereo), 1);
    EXPECT_EQ(FrameShown(kQuality), 2);
    EXPECT_EQ(FrameShown(kPedal), 1);
    EXPECT_EQ(FrameShown(kInputStrip), 51);
}

TEST_F(PanelTest, AFreshPanelMatchesTheGoldenImage) {
    editor->Tick();
    const auto golden = LoadPngFile(ORV_GOLDEN_DIR "/panel.png");
    ASSERT_NE(golden, nullptr);
    const RasterBitmap& shown = *editor->FrameBuffer();
    ASSERT_EQ(golden->Width(), shown.Width());
    ASSERT_EQ(golden->Height(), shown.Height());
    int differing = 0;
    for (int y = 0; y < shown.Height(); ++y) {
        for (int x = 0; x < shown.Width(); ++x) {
            differing +=
                golden->Bits()[y * golden->RowSpan() + x] != shown.Bits()[y * shown.RowSpan() + x];
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(PanelTest, TheHostIsToldOfNoEditorItCouldOpen) {
    EXPECT_EQ(effect->flags, 0x1018);
    ERect* rect = nullptr;
    EXPECT_EQ(effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f), 0);
    EXPECT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, nullptr, 0.0f), 0);
}

TEST_F(PanelTest, TheFootswitchLatchTogglesAnExactPassThrough) {
    std::vector<float> left(512), right(512), out0(512), out1(512);
    for (int i = 0; i < 512; ++i) {
        left[i] = 0.5f * std::sin(0.05f * i);
        right[i] = 0.25f * std::cos(0.031f * i) + 1e-30f;
    }
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {out0.data(), out1.data()};
    auto passesThrough = [&] {
        effect->processReplacing(effect, inputs, outputs, 512);
        return out0 == left && out1 == right;
    };

    EXPECT_TRUE(fx->Engaged());
    EXPECT_FALSE(passesThrough());
    editor->Press(kFootswitch.x, kFootswitch.y);
    EXPECT_EQ(ParamValue(ORV_Q12::kBypass), 1) << "the contact is closed while held";
    EXPECT_TRUE(fx->Engaged()) << "the latch flips on release";
    editor->Release(kFootswitch.x, kFootswitch.y);
    EXPECT_EQ(ParamValue(ORV_Q12::kBypass), 0);
    EXPECT_FALSE(fx->Engaged());
    EXPECT_TRUE(passesThrough());

    // Any parameter change keeps the latched state; automating "Bypass" does not decide it.
    effect->setParameter(effect, ORV_Q12::kDrive, 0.9f);
    effect->setParameter(effect, ORV_Q12::kBypass, 0.0f);
    EXPECT_TRUE(passesThrough());

    // The second cycle, released outside the footswitch: it keeps the mouse and still flips.
    editor->Press(kFootswitch.x, kFootswitch.y);
    editor->Release(kBackground.x, kBackground.y);
    EXPECT_EQ(ParamValue(ORV_Q12::kBypass), 0);
    EXPECT_TRUE(fx->Engaged());
    EXPECT_FALSE(passesThrough());
}

TEST_F(PanelTest, ADoubleClickOnTheFootswitchIsTwoFullCycles) {
    Click(kFootswitch);
    editor->DoubleClick(kFootswitch.x, kFootswitch.y);
    editor->Release(kFootswitch.x, kFootswitch.y);
    EXPECT_TRUE(fx->Engaged());
    EXPECT_EQ(static_cast<FootswitchControl&>(ControlOf(kPedal)).Latched(), false);
}

TEST_F(PanelTest, AGestureReachesTheHostAsBeginAutomateEnd) {
    Drag(kDriveKnob, 0, -3);
    std::vector<host::HostCallRecord> calls;
    for (const host::HostCallRecord& call : host.Calls()) {
        if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterAutomate ||
            call.opcode == audioMasterEndEdit) {
            calls.push_back(call);
        }
    }
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
    for (const host::HostCallRecord& call : calls) EXPECT_EQ(call.index, ORV_Q12::kDrive);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(calls[i].opcode, audioMasterAutomate);
        EXPECT_FLOAT_EQ(calls[i].opt, static_cast<float>(0.5 + i / 285.0));
    }
    EXPECT_NEAR(ParamValue(ORV_Q12::kDrive), 10 * (0.5 + 3 / 285.0), 1e-12);

    // A click on the background starts no edit.
    host.ClearCalls();
    Click(kBackground);
    EXPECT_TRUE(host.Calls().empty());
}

TEST_F(PanelTest, OnlyChangedControlsAreRedrawnHostValuesOnTwoTicks) {
    editor->Tick();
    editor->ClearPresented();
    editor->Tick();
    EXPECT_EQ(editor->PresentCount(), 0) << "nothing changed";

    // A drag redraws the knob once.
    Drag(kFilterKnob, 0, -40);
    editor->Tick();
    ASSERT_EQ(editor->PresentCount(), 1);
    const Rect r = editor->Presented(0);
    EXPECT_EQ(r.left, 102);
    EXPECT_EQ(r.top, 64);
    EXPECT_EQ(r.right, 197);
    EXPECT_EQ(r.bottom, 159);
    editor->Tick();
    EXPECT_EQ(editor->PresentCount(), 1);
    EXPECT_EQ(FrameShown(kFilter), 41 + 11) << "0.5 + 40/285 of 80 frames";

    // Values from the host are drawn on two passes, the union of both knobs at once.
    effect->setParameter(effect, ORV_Q12::kDrive, 0.0f);
    effect->setParameter(effect, ORV_Q12::kVolume, 1.0f);
    editor->ClearPresented();
    for (int tick = 0; tick < 3; ++tick) editor->Tick();
    ASSERT_EQ(editor->PresentCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(editor->Presented(i).left, 18);
        EXPECT_EQ(editor->Presented(i).right, 281);
    }
    EXPECT_EQ(FrameShown(kDrive), 1);
    EXPECT_EQ(FrameShown(kVolume), 81);
}
