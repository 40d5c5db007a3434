// The controls under the mouse: knob gearing, the wheel, double-click defaults, switches, the
// input fader, and how the editor routes presses, releases and keys.
#include <memory>

#include "editor/bitmap_control.h"
#include "editor/knob_control.h"
#include "tests/editor/editor_fixture.h"

using namespace vst2;

TEST_F(PanelTest, AKnobMovesByItsGearingPerPixelDragged) {
    Drag(kDriveKnob, 0, -1);
    EXPECT_NEAR(ControlOf(kDrive).Value(), 0.5 + 1 / 285.0, 1e-15);
    Drag(kDriveKnob, 0, 2);
    EXPECT_NEAR(ControlOf(kDrive).Value(), 0.5 - 1 / 285.0, 1e-15);
    // Ctrl or Shift held while moving gears it down tenfold (Ctrl at the press would open the
    // entry box instead).
    for (HeldKeys fine : {HeldKeys{true, false, false}, HeldKeys{false, true, false}}) {
        const double before = ControlOf(kFilter).Value();
        editor->Press(kFilterKnob.x, kFilterKnob.y);
        editor->Move(kFilterKnob.x, kFilterKnob.y - 1, MouseButton::Left, fine);
        editor->Release(kFilterKnob.x, kFilterKnob.y - 1);
        EXPECT_NEAR(ControlOf(kFilter).Value() - before, 1 / 2850.0, 1e-15);
    }
    // Far past the end it stops there, and turning back moves it at once.
    Drag(kVolumeKnob, 0, -400);
    EXPECT_EQ(ControlOf(kVolume).Value(), 1.0);
    EXPECT_EQ(ParamValue(ORV_Q12::kVolume), 10.0);
    Drag(kVolumeKnob, 0, 1);
    EXPECT_NEAR(ControlOf(kVolume).Value(), 1 - 1 / 285.0, 1e-15);
}

TEST_F(PanelTest, WheelNotchesStepAndStopAtTheEnds) {
    editor->Wheel(kDriveKnob.x, kDriveKnob.y, 3);
    EXPECT_NEAR(ControlOf(kDrive).Value(), 0.53, 1e-12);
    editor->Wheel(kDriveKnob.x, kDriveKnob.y, -2, HeldKeys{false, true, false});
    EXPECT_NEAR(ControlOf(kDrive).Value(), 0.528, 1e-12);
    editor->Wheel(kDriveKnob.x, kDriveKnob.y, 100);
    EXPECT_EQ(ControlOf(kDrive).Value(), 1.0);
    editor->Wheel(100, 332, -200);
    EXPECT_EQ(ControlOf(kInputStrip).Value(), 0.0);
    EXPECT_NEAR(ParamValue(ORV_Q12::kInput), 0.0001, 1e-15);
    // Beyond an end, and with no whole notch, the value stays and the host hears nothing.
    host.ClearCalls();
    editor->Wheel(kDriveKnob.x, kDriveKnob.y, 1);
    editor->Wheel(100, 332, -1);
    editor->Wheel(kFilterKnob.x, kFilterKnob.y, 0);
    EXPECT_TRUE(host.Calls().empty());
}

TEST_F(PanelTest, ADoubleClickRestoresTheValueAtAttachTime) {
    Drag(kFilterKnob, 0, -30);
    Click(kFilterKnob);
    editor->DoubleClick(kFilterKnob.x, kFilterKnob.y);
    editor->Release(kFilterKnob.x, kFilterKnob.y);
    EXPECT_EQ(ControlOf(kFilter).Value(), 0.5);
    EXPECT_EQ(ParamValue(ORV_Q12::kFilter), 5.0);

    // A control that has not yet received a value has no default to restore.
    KnobStripControl fresh(fx, {0, 0, 10, 10}, ORV_Q12::kFilter, DirectionVertical, 3.0, {}, {});
    fresh.OnMouseDblClick(5, 5, {});
    EXPECT_EQ(fresh.Value(), 0.0);
    EXPECT_EQ(ParamValue(ORV_Q12::kFilter), 5.0);
}

TEST_F(PanelTest, SwitchesToggleOnAnyButton) {
    Click(kStereoSwitch);
    EXPECT_EQ(ParamValue(ORV_Q12::kStereo), 1);
    Click(kStereoSwitch, MouseButton::Right);
    EXPECT_EQ(ParamValue(ORV_Q12::kStereo), 0);
    editor->Press(kStereoSwitch.x, kStereoSwitch.y, MouseButton::Middle);
    EXPECT_EQ(ParamValue(ORV_Q12::kStereo), 1);
    editor->Release(kStereoSwitch.x, kStereoSwitch.y, MouseButton::Middle);
    EXPECT_EQ(editor->MouseCapture(), -1) << "the middle release lets go too";
    Click(kQualitySwitch, MouseButton::Left, HeldKeys{false, true, false});
    EXPECT_EQ(ParamValue(ORV_Q12::kQuality), 0);
    EXPECT_EQ(fx->OversampleFactor(), 2);
    // The second click of a double click is one more step.
    Click(kQualitySwitch);
    editor->DoubleClick(kQualitySwitch.x, kQualitySwitch.y);
    EXPECT_EQ(ParamValue(ORV_Q12::kQuality), 0);
}

TEST_F(PanelTest, ASwitchOfThreeFramesCycles) {
    SwitchControl three(fx, {0, 0, 1, 1}, ORV_Q12::kFilter, BitmapStrip{nullptr, 1, 3, 3}, {});
    const double expected[] = {0.5, 1.0, 0.0};
    for (double value : expected) {
        three.OnMouseDown(0, 0, {});
        EXPECT_EQ(three.Value(), value);
    }
}

TEST_F(PanelTest, TheInputFaderFollowsThePointer) {
    editor->Press(56 + 61, 331);
    EXPECT_NEAR(ControlOf(kInputStrip).Value(), 61 / 183.0, 1e-15);
    editor->Move(56 + 183, 360);
    EXPECT_EQ(ControlOf(kInputStrip).Value(), 1.0);
    editor->Move(20, 331);
    EXPECT_EQ(ControlOf(kInputStrip).Value(), 0.0);
    editor->Move(56 + 100, 329);
    editor->Release(56 + 100, 329);
    EXPECT_NEAR(ParamValue(ORV_Q12::kInput), 0.0001 + (2 - 0.0001) * 100 / 183.0, 1e-12);
}

TEST_F(PanelTest, PressesAndReleasesBracketOneEdit) {
    // A right press on a knob starts an edit like a left one (and asks for a typed value).
    editor->Press(kDriveKnob.x, kDriveKnob.y, MouseButton::Right);
    EXPECT_EQ(host.CountOf(audioMasterBeginEdit), 1);
    EXPECT_TRUE(editor->EntryBoxOpen());
    // The release, far outside, still reaches the pressed control and ends its edit.
    editor->Release(299, 349, MouseButton::Right);
    EXPECT_EQ(host.CountOf(audioMasterEndEdit), 1);
    EXPECT_EQ(editor->MouseCapture(), -1);

    // A double click on the footswitch is a press of its own: it takes the mouse and begins an
    // edit, which its release ends.
    host.ClearCalls();
    editor->DoubleClick(kFootswitch.x, kFootswitch.y);
    EXPECT_EQ(editor->MouseCapture(), kPedal);
    editor->Release(kFootswitch.x, kFootswitch.y);
    EXPECT_EQ(EditsOf(ORV_Q12::kBypass), "BAE");
}

// Whatever the gesture, the host hears every edit that begins end once, and no end without its
// beginning; a gesture cancelled before its release leaves the pedal as it was.
TEST_F(PanelTest, EveryGestureLeavesTheHostsEditsBalanced) {
    // Double clicks with either button (a right one is two right presses, as X11 reports it
    // and Windows now handles it), on a knob, a switch and the footswitch.
    for (Point at : {kDriveKnob, kStereoSwitch, kFootswitch}) {
        Click(at);
        editor->DoubleClick(at.x, at.y);
        editor->Release(at.x, at.y);
        Click(at, MouseButton::Right);
        Click(at, MouseButton::Right);
        if (editor->EntryBoxOpen()) editor->PressKey(27);
    }
    // A release whose press never came is nothing at all: no edit, no toggle.
    const double bypass = ParamValue(ORV_Q12::kBypass);
    const size_t calls = host.Calls().size();
    editor->Release(kFootswitch.x, kFootswitch.y);
    editor->Release(kDriveKnob.x, kDriveKnob.y, MouseButton::Right);
    EXPECT_EQ(host.Calls().size(), calls);
    // The mouse lost mid-gesture: the drag keeps what it set, the footswitch does not flip.
    editor->Press(kVolumeKnob.x, kVolumeKnob.y);
    editor->Move(kVolumeKnob.x, kVolumeKnob.y - 10);
    editor->LoseMouse();
    editor->Move(kVolumeKnob.x, kVolumeKnob.y - 20);
    editor->Release(kVolumeKnob.x, kVolumeKnob.y - 20);
    EXPECT_NEAR(ParamValue(ORV_Q12::kVolume), 10 * (0.5 + 10 / 285.0), 1e-9);
    editor->Press(kFootswitch.x, kFootswitch.y);
    editor->LoseMouse();
    editor->Release(kFootswitch.x, kFootswitch.y);
    // A middle click; a press while another is still held; the window closed mid-gesture.
    editor->Press(kQualitySwitch.x, kQualitySwitch.y, MouseButton::Middle);
    editor->Release(kQualitySwitch.x, kQualitySwitch.y, MouseButton::Middle);
    editor->Press(kFootswitch.x, kFootswitch.y);
    editor->Press(kFilterKnob.x, kFilterKnob.y, MouseButton::Right);
    editor->Release(kFilterKnob.x, kFilterKnob.y, MouseButton::Right);
    editor->PressKey(27);
    editor->Press(kDriveKnob.x, kDriveKnob.y);
    editor->DestroyEditorWindow();
    editor->Release(kDriveKnob.x, kDriveKnob.y);
    EXPECT_EQ(ParamValue(ORV_Q12::kBypass), bypass) << "no cancelled click flipped the pedal";
    EXPECT_EQ(UnbalancedEdits(), "");
}

TEST_F(PanelTest, HiddenAndGrayedControlsAreNotHitButHiddenOnesStillAskForRedraws) {
    editor->Tick();
    ControlOf(kDrive).Hide(true);
    Click(kDriveKnob);
    EXPECT_EQ(host.CountOf(audioMasterBeginEdit), 0) << "the background took the click";
    Rect dirty{};
    EXPECT_TRUE(editor->NeedsRedraw(dirty));
    EXPECT_EQ(dirty.left, 18);
    ControlOf(kDrive).Hide(false);

    ControlOf(kFilter).SetGrayed(true);
    EXPECT_EQ(ControlOf(kFilter).Blend().weight, 0.25f);
    Click(kFilterKnob);
    EXPECT_EQ(host.CountOf(audioMasterBeginEdit), 0);
    ControlOf(kFilter).SetGrayed(false);
    EXPECT_EQ(ControlOf(kFilter).Blend().weight, 1.0f);
}

TEST_F(PanelTest, KeysTheControlsDoNotTakeGoBackToTheWindow) {
    EXPECT_FALSE(editor->PressKey('A'));
    editor->Press(kBackground.x, kBackground.y);
    EXPECT_FALSE(editor->PressKey(' '));
    editor->Release(kBackground.x, kBackground.y);
    EXPECT_FALSE(editor->PressKey(27)) << "Escape is no key of a control";
    EXPECT_EQ(KeyCodeFromVirtualKey('7'), KeyDigit0 + 7);
    EXPECT_EQ(KeyCodeFromVirtualKey('Z'), KeyLetterA + 25);
    EXPECT_EQ(KeyCodeFromVirtualKey(40), KeyDown);
    EXPECT_EQ(KeyCodeFromVirtualKey(27), KeyNone);
}

TEST_F(PanelTest, HostValuesReachTheControlsAsTheParameterStoresThem) {
    // A switch position between the two is stored snapped; the next click flips it at once.
    effect->setParameter(effect, ORV_Q12::kStereo, 0.3f);
    EXPECT_EQ(ControlOf(kStereo).Value(), 0.0);
    Click(kStereoSwitch);
    EXPECT_EQ(ParamValue(ORV_Q12::kStereo), 1);
    effect->setParameter(effect, ORV_Q12::kBypass, 0.7f);
    EXPECT_EQ(ControlOf(kPedal).Value(), 1.0);
    Click(kFootswitch);
    EXPECT_EQ(ParamValue(ORV_Q12::kBypass), 0);
    // Values outside the range arrive as the nearer bound.
    char text[] = "-3";
    effect->dispatcher(effect, effString2Parameter, ORV_Q12::kDrive, 0, text, 0.0f);
    EXPECT_EQ(ControlOf(kDrive).Value(), 0.0);
    editor->ReceiveParamFromPlugin(ORV_Q12::kFilter, 25.0, false);
    EXPECT_EQ(ControlOf(kFilter).Value(), 1.0);
    // A normalised value the host should never send is cut back before it is drawn or sent.
    effect->setParameter(effect, ORV_Q12::kVolume, 1.5f);
    EXPECT_EQ(ControlOf(kVolume).Value(), 1.0);
}
