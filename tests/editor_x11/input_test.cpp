// A user at the editor's window, through the X server: drags (also beyond the window's edge),
// wheel notches, double-clicks, the footswitch, typing a value, and keys meant for the host.
#include <vector>

#include "effect/orv_q12.h"
#include "tests/editor/edit_calls.h"
#include "tests/editor_x11/editor_window_fixture.h"

using namespace vst2;

namespace {

constexpr uint32_t kReturnKey = 0xFF0D;
constexpr uint32_t kEscapeKey = 0xFF1B;
constexpr double kPerPixel = 1.0 / 285;  // a 95-pixel knob with gearing 3

}  // namespace

class EditorInputTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        ASSERT_TRUE(OpenEditor());
        ASSERT_TRUE(Shows(ExpectedPanel()));
        host_.ClearCalls();
    }
    void Wheel(Point at, int notches) {
        PointAt(at);
        for (int i = 0; i < (notches < 0 ? -notches : notches); ++i) {
            x11.Button(notches > 0 ? 4 : 5, true);
            x11.Button(notches > 0 ? 4 : 5, false);
        }
    }
    bool ParamBecomes(int index, double value) {
        return IdleUntil([&] { return std::abs(Param(index) - value) < 1e-6; });
    }
    std::string EditsOf(int index) const { return ::EditsOf(host_.Calls(), index); }
    void Type(const char* keys) {
        for (const char* k = keys; *k != '\0'; ++k) x11.Key(uint32_t(*k));
    }
    // A right click opens the value box, which takes the keyboard.
    bool OpenBoxOn(Point p) {
        Click(p, kButtonRight);
        return IdleUntil([&] { return x11.Focus() == child; });
    }
};

TEST_F(EditorInputTest, ADragUpOnDriveBeyondTheWindowIsOneGesture) {
    PointAt(kDriveKnob);
    x11.Button(1, true);
    IdleFor(10);
    // Up to y = -9 of the panel: outside the editor's window and the host's.
    for (int dy = 5; dy <= 120; dy += 5) {
        PointAt({kDriveKnob.x, kDriveKnob.y - dy});
        IdleFor(5);
    }
    x11.Button(1, false);
    ASSERT_TRUE(IdleUntil([&] { return host_.CountOf(audioMasterEndEdit) == 1; }));
    EXPECT_NEAR(Param(ORV_Q12::kDrive), 0.5 + 120 * kPerPixel, 1e-6);
    const std::string edits = EditsOf(ORV_Q12::kDrive);
    EXPECT_EQ(edits.front(), 'B');
    EXPECT_EQ(edits.back(), 'E');
    EXPECT_EQ(edits.find_first_not_of('A', 1), edits.size() - 1) << edits;
    EXPECT_GE(edits.size(), 3u);
    EXPECT_TRUE(Shows(ExpectedPanel()));
}

TEST_F(EditorInputTest, WheelNotchesTurnTheKnobUnderThePointer) {
    Wheel(kVolumeKnob, 1);
    EXPECT_TRUE(ParamBecomes(ORV_Q12::kVolume, 0.51));
    Wheel(kVolumeKnob, -2);
    EXPECT_TRUE(ParamBecomes(ORV_Q12::kVolume, 0.49));
    EXPECT_EQ(EditsOf(ORV_Q12::kVolume), "AAA") << "wheel notches are not bracketed";
    EXPECT_TRUE(Shows(ExpectedPanel()));
}

TEST_F(EditorInputTest, TwoQuickClicksRestoreTheDefaultTwoSlowOnesDoNot) {
    Wheel(kFilterKnob, 3);
    ASSERT_TRUE(ParamBecomes(ORV_Q12::kFilter, 0.53));
    Click(kFilterKnob);
    IdleFor(450);
    Click(kFilterKnob);
    IdleFor(50);
    EXPECT_NEAR(Param(ORV_Q12::kFilter), 0.53, 1e-6);
    // A few pixels apart still counts.
    Click(kFilterKnob);
    Click({kFilterKnob.x + 2, kFilterKnob.y - 1});
    EXPECT_TRUE(ParamBecomes(ORV_Q12::kFilter, 0.5));
    EXPECT_TRUE(Shows(ExpectedPanel()));
}

TEST_F(EditorInputTest, TheFootswitchTogglesAnExactPassThrough) {
    std::vector<float> left(256), right(256), out0(256), out1(256);
    for (int i = 0; i < 256; ++i) left[i] = right[i] = 0.4f * float((i * 7) % 19) / 19.0f - 0.2f;
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {out0.data(), out1.data()};
    auto passesThrough = [&] {
        fx.ProcessReplacing(inputs, outputs, 256);
        return out0 == left && out1 == right;
    };
    EXPECT_FALSE(passesThrough());
    Click(kFootswitch);
    ASSERT_TRUE(IdleUntil([&] { return host_.CountOf(audioMasterEndEdit) == 1; }));
    EXPECT_EQ(EditsOf(ORV_Q12::kBypass), "BAE") << "the click sends the new state once";
    EXPECT_TRUE(passesThrough());
    Click(kFootswitch);
    ASSERT_TRUE(IdleUntil([&] { return host_.CountOf(audioMasterEndEdit) == 2; }));
    EXPECT_FALSE(passesThrough());
}

TEST_F(EditorInputTest, ATypedValueIsSetOnEnterAndTheHostGetsTheKeyboardBack) {
    ASSERT_TRUE(OpenBoxOn(kDriveKnob));
    auto rightClickDrive = [](HeadlessEditor& e) {
        e.Press(kDriveKnob.x, kDriveKnob.y, MouseButton::Right);
        e.Release(kDriveKnob.x, kDriveKnob.y, MouseButton::Right);
    };
    EXPECT_TRUE(Shows(ExpectedPanel(rightClickDrive))) << "the value, all selected";
    // The focus the box took is not the user's click into it: redrawing goes on.
    fx.SetParameter(ORV_Q12::kVolume, 0.8f);
    EXPECT_TRUE(Shows(ExpectedPanel(rightClickDrive))) << "the host turned Volume";
    Type("x7.5");
    EXPECT_TRUE(Shows(ExpectedPanel([&](HeadlessEditor& e) {
        rightClickDrive(e);
        e.TypeText("7.5");
    }))) << "the letter is dropped";
    SaveWindow("x11_window_typing.png");
    x11.Key(kReturnKey);
    EXPECT_TRUE(ParamBecomes(ORV_Q12::kDrive, 0.75));
    EXPECT_TRUE(IdleUntil([&] { return x11.Focus() == parent; }));
    EXPECT_TRUE(Shows(ExpectedPanel()));
    EXPECT_EQ(EditsOf(ORV_Q12::kDrive), "BEA") << "the right click's gesture, then the value";
}

TEST_F(EditorInputTest, EscapeOrAClickElsewhereClosesTheBoxUnapplied) {
    ASSERT_TRUE(OpenBoxOn(kFilterKnob));
    Type("9");
    x11.Key(kEscapeKey);
    EXPECT_TRUE(IdleUntil([&] { return x11.Focus() == parent; }));
    EXPECT_TRUE(Shows(ExpectedPanel()));

    ASSERT_TRUE(OpenBoxOn(kVolumeKnob));
    Type("1");
    Click(kBackground);
    EXPECT_TRUE(IdleUntil([&] { return x11.Focus() == parent; }));
    EXPECT_TRUE(Shows(ExpectedPanel()));
    EXPECT_EQ(Param(ORV_Q12::kFilter), 0.5f);
    EXPECT_EQ(Param(ORV_Q12::kVolume), 0.5f);
}

TEST_F(EditorInputTest, KeysOverThePanelReachTheHostsWindow) {
    PointAt(kDriveKnob);
    x11.Key('a');
    bool hostGotIt = false;
    IdleUntil([&] {
        for (auto event = x11.PollEvent(); event != nullptr; event = x11.PollEvent()) {
            if ((event->response_type & 0x7F) == XCB_KEY_PRESS &&
                reinterpret_cast<xcb_key_press_event_t*>(event.get())->event == parent) {
                hostGotIt = true;
            }
        }
        return hostGotIt;
    });
    EXPECT_TRUE(hostGotIt);
}

// Whatever the user and the host do mid-gesture, every edit the host heard begin ends once:
// double clicks with either button, a middle click, a release whose press went to a window
// that lay over the panel (and is gone), the host hiding the editor's window mid-drag, and the
// editor closed mid-drag. The pedal flips only for whole clicks.
TEST_F(EditorInputTest, EveryGestureLeavesTheHostsEditsBalanced) {
    auto endsBecome = [&](int ends) {
        return IdleUntil([&] { return host_.CountOf(audioMasterEndEdit) == ends; });
    };
    Click(kFootswitch);
    Click(kFootswitch);
    Click(kStereoSwitch, kButtonRight);
    Click(kStereoSwitch, kButtonRight);
    Click(kQualitySwitch, 2);
    ASSERT_TRUE(endsBecome(5)) << "the middle click's edit ends at its release";
    EXPECT_EQ(EditsOf(ORV_Q12::kBypass), "BAEBAE") << "a double click is two clicks";
    EXPECT_EQ(Param(ORV_Q12::kBypass), 0.0f);
    EXPECT_EQ(Param(ORV_Q12::kStereo), 0.0f);
    EXPECT_EQ(Param(ORV_Q12::kQuality), 0.0f);

    const uint32_t cover =
        x11.CreateWindow(kParentX + 100, kParentY + 220, 100, 80,
                         XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE);
    PointAt(kFootswitch);
    x11.Button(1, true);
    x11.DestroyWindow(cover);
    x11.Button(1, false);
    IdleFor(100);
    EXPECT_EQ(Param(ORV_Q12::kBypass), 0.0f) << "the stray release flipped the pedal";
    EXPECT_EQ(host_.CountOf(audioMasterEndEdit), 5);

    PointAt(kDriveKnob);
    x11.Button(1, true);
    IdleFor(10);
    PointAt({kDriveKnob.x, kDriveKnob.y - 10});
    IdleFor(20);
    xcb_unmap_window(x11.Connection(), child);
    x11.Sync();
    EXPECT_TRUE(endsBecome(6)) << "hidden mid-drag";
    xcb_map_window(x11.Connection(), child);
    x11.Sync();
    x11.Button(1, false);
    IdleFor(50);
    EXPECT_NEAR(Param(ORV_Q12::kDrive), 0.5 + 10 * kPerPixel, 1e-6);

    PointAt(kVolumeKnob);
    x11.Button(1, true);
    IdleFor(10);
    PointAt({kVolumeKnob.x, kVolumeKnob.y - 5});
    IdleFor(20);
    EXPECT_EQ(fx.Dispatch(effEditClose), 1);
    x11.Button(1, false);
    EXPECT_EQ(UnbalancedEdits(host_.Calls()), "");
}
