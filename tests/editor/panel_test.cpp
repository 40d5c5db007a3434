// The effect's panel as a user meets it: what a fresh panel shows, the footswitch flipping
// "Bypass" between processing and an exact pass-through and the light showing it, gestures
// reaching the host as edits.
#include <cmath>
#include <string>
#include <vector>

#include "editor/bitmap_control.h"
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
    EXPECT_EQ(FrameShown(kLight), 1) << "lit: the effect processes";
}

TEST_F(PanelTest, AFreshPanelMatchesTheGoldenImage) {
    editor->Tick();
    EXPECT_EQ(PixelsDifferingFrom(ORV_GOLDEN_DIR "/panel.png"), 0);
}

TEST_F(PanelTest, TheHostIsToldOfNoEditorItCouldOpen) {
    EXPECT_EQ(effect->flags, 0x1018);
    ERect* rect = nullptr;
    EXPECT_EQ(effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f), 0);
    EXPECT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, nullptr, 0.0f), 0);
}

TEST_F(PanelTest, TheFootswitchFlipsBypassAndTheLightShowsIt) {
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

    EXPECT_FALSE(passesThrough());
    editor->Press(kFootswitch.x, kFootswitch.y);
    Settle();
    EXPECT_EQ(FrameShown(kPedal), 2) << "pressed while held";
    EXPECT_EQ(ParamValue(ORV_Q12::kBypass), 0) << "nothing changes before the release";
    editor->Release(kFootswitch.x, kFootswitch.y);
    EXPECT_EQ(ParamValue(ORV_Q12::kBypass), 1);
    EXPECT_TRUE(passesThrough());
    EXPECT_EQ(EditsOf(ORV_Q12::kBypass), "BAE");
    Settle();
    EXPECT_EQ(FrameShown(kPedal), 1);
    EXPECT_EQ(FrameShown(kLight), 2) << "dark: passing through";

    // Another parameter changes nothing; the host's Bypass stamps the pedal, and the panel
    // follows.
    effect->setParameter(effect, ORV_Q12::kDrive, 0.9f);
    EXPECT_TRUE(passesThrough());
    effect->setParameter(effect, ORV_Q12::kBypass, 0.0f);
    EXPECT_FALSE(passesThrough());
    Settle();
    EXPECT_EQ(FrameShown(kLight), 1);

    // Released outside the footswitch: it keeps the mouse, and the click still counts.
    editor->Press(kFootswitch.x, kFootswitch.y);
    editor->Release(kBackground.x, kBackground.y);
    EXPECT_EQ(ParamValue(ORV_Q12::kBypass), 1);
    EXPECT_TRUE(passesThrough());
    // A double-click is two clicks.
    Click(kFootswitch);
    editor->DoubleClick(kFootswitch.x, kFootswitch.y);
    editor->Release(kFootswitch.x, kFootswitch.y);
    EXPECT_EQ(ParamValue(ORV_Q12::kBypass), 1);
    EXPECT_EQ(EditsOf(ORV_Q12::kBypass), "BAEBAEBAEBAE");
}

// A click on the light goes to the background beneath it; the wheel over the footswitch, the
// light or the background changes nothing, tells the host nothing and redraws nothing.
TEST_F(PanelTest, TheLightTakesNoInputAndThePedalNoWheel) {
    Settle();
    editor->ClearPresented();
    host.ClearCalls();
    Click(kStatusLight);
    for (Point at : {kFootswitch, kStatusLight, kBackground}) editor->Wheel(at.x, at.y, 3);
    editor->Tick();
    EXPECT_EQ(editor->PresentCount(), 0) << "the wheel redrew something";
    editor->Press(kFootswitch.x, kFootswitch.y);
    editor->Tick();
    editor->Wheel(kDriveKnob.x, kDriveKnob.y, -2);
    EXPECT_EQ(ParamValue(ORV_Q12::kDrive), 5) << "the held footswitch takes the wheel";
    editor->LoseMouse();
    EXPECT_EQ(EditsOf(ORV_Q12::kBypass), "BE");
    EXPECT_EQ(ParamValue(ORV_Q12::kBypass), 0);
    EXPECT_EQ(ControlOf(kLight).Value(), 0.0);
    Settle();
    ASSERT_EQ(editor->PresentCount(), 2) << "only the footswitch, pressed and let go";
    EXPECT_EQ(editor->Presented(1).left, 125);
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
