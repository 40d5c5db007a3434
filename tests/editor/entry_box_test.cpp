// Typing a value: the box a right click opens, what it takes, and how the next tick commits or
// cancels it.
#include <memory>
#include <string>

#include "editor/entry_filter.h"
#include "tests/editor/editor_fixture.h"

using namespace vst2;

namespace {
constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kBackspace = 8;

uint32_t PixelAt(const RasterBitmap& bitmap, int x, int y) {
    return bitmap.Bits()[y * bitmap.RowSpan() + x];
}
}  // namespace

class EntryBoxTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        editor->Tick();  // the window's first paint
    }
    void OpenOn(Point at) { Click(at, MouseButton::Right); }
    std::string Text() const { return editor->EntryBox().Text(); }
};

TEST_F(EntryBoxTest, ARightClickOpensTheValueAllSelectedOverTheKnob) {
    OpenOn(kDriveKnob);
    ASSERT_TRUE(editor->EntryBoxOpen());
    EXPECT_EQ(Text(), "5.000");
    EXPECT_EQ(editor->EntryBox().SelectionStart(), 0);
    EXPECT_EQ(editor->EntryBox().SelectionEnd(), 5);
    const Rect box = editor->EntryBox().Area();
    EXPECT_EQ(box.left, 40);
    EXPECT_EQ(box.top, 103);
    EXPECT_EQ(box.right, 91);
    EXPECT_EQ(box.bottom, 120);
    // It is drawn over the panel in the entry background colour.
    EXPECT_EQ(PixelAt(*editor->FrameBuffer(), box.left, box.top), 0xFFFFFFFFu);

    // Ctrl with the left button opens it too; on the input strip it is centred on (148, 332).
    editor->PressKey(kEscape);
    editor->Tick();
    Click(kFilterKnob, MouseButton::Left, HeldKeys{false, true, false});
    EXPECT_TRUE(editor->EntryBoxOpen());
    EXPECT_EQ(ControlOf(kFilter).Value(), 0.5);
    editor->PressKey(kEscape);
    editor->Tick();
    editor->Press(148, 332, MouseButton::Right);
    editor->Release(148, 332, MouseButton::Right);
    EXPECT_EQ(editor->EntryBox().Area().left, 123);
    EXPECT_EQ(editor->EntryBox().Area().top, 324);
    EXPECT_EQ(Text(), "1.000");
}

TEST_F(EntryBoxTest, EnterCommitsOnTheNextTick) {
    OpenOn(kDriveKnob);
    host.ClearCalls();
    editor->TypeText("7.5");
    editor->PressKey(kEnter);
    EXPECT_EQ(ParamValue(ORV_Q12::kDrive), 5.0) << "the tick applies it";
    editor->Tick();
    EXPECT_FALSE(editor->EntryBoxOpen());
    EXPECT_EQ(ParamValue(ORV_Q12::kDrive), 7.5);
    EXPECT_EQ(ControlOf(kDrive).Value(), 0.75);
    EXPECT_EQ(host.CountOf(audioMasterAutomate), 1);
    EXPECT_EQ(host.CountOf(audioMasterBeginEdit), 0) << "typed values are not bracketed";
    Settle();
    EXPECT_EQ(FrameShown(kDrive), 61) << "the knob, and no trace of the box";

    OpenOn(kDriveKnob);
    editor->TypeText("12");
    editor->PressKey(kEnter);
    editor->Tick();
    EXPECT_EQ(ParamValue(ORV_Q12::kDrive), 10.0);
}

TEST_F(EntryBoxTest, OnlyNumberCharactersUpToTheLimitAreTaken) {
    OpenOn(kFilterKnob);
    editor->TypeText("a1b.2x-+");
    EXPECT_EQ(Text(), "1.2-+");
    editor->PressKey(kBackspace);
    editor->PressKey(kBackspace);
    EXPECT_EQ(Text(), "1.2");
    editor->TypeText(std::string(40, '9').c_str());
    EXPECT_EQ(Text().size(), 35u);

    PluginParam stepped;
    stepped.type = ParamType::Stepped;
    EXPECT_FALSE(EntryTakesCharacter(&stepped, '.'));
    EXPECT_TRUE(EntryTakesCharacter(&stepped, '-'));
    EXPECT_TRUE(EntryTakesCharacter(nullptr, 'x'));
    PluginParam unset;
    EXPECT_TRUE(EntryTakesCharacter(&unset, 'x'));
}

TEST_F(EntryBoxTest, ACommitReadsAtMost31Characters) {
    OpenOn(kDriveKnob);
    editor->TypeText((std::string(30, '0') + "12").c_str());
    editor->PressKey(kEnter);
    editor->Tick();
    EXPECT_EQ(ParamValue(ORV_Q12::kDrive), 1.0);
}

TEST_F(EntryBoxTest, EscapeTheWheelAndALostFocusCancelOnTheNextTick) {
    auto cancelsWith = [&](auto cancel) {
        OpenOn(kVolumeKnob);
        editor->TypeText("9");
        cancel();
        EXPECT_TRUE(editor->EntryBoxOpen());
        editor->Tick();
        EXPECT_FALSE(editor->EntryBoxOpen());
        EXPECT_EQ(ParamValue(ORV_Q12::kVolume), 5.0);
    };
    cancelsWith([&] { editor->PressKey(kEscape); });
    cancelsWith([&] { editor->Wheel(kVolumeKnob.x, kVolumeKnob.y, 1); });
    cancelsWith([&] { editor->EntryFocusChanged(false); });
    EXPECT_EQ(ControlOf(kVolume).Value(), 0.5) << "the wheel turned nothing";
}

TEST_F(EntryBoxTest, AClickElsewhereClosesTheBoxAndActs) {
    OpenOn(kVolumeKnob);
    editor->TypeText("9");
    Click(kStereoSwitch);
    EXPECT_FALSE(editor->EntryBoxOpen());
    EXPECT_EQ(ParamValue(ORV_Q12::kVolume), 5.0);
    EXPECT_EQ(ParamValue(ORV_Q12::kStereo), 1.0);
}

TEST_F(EntryBoxTest, WhileTheBoxHasTheKeyboardTheTimerWaits) {
    OpenOn(kDriveKnob);
    editor->EntryFocusChanged(true);
    effect->setParameter(effect, ORV_Q12::kFilter, 0.0f);
    editor->ClearPresented();
    editor->Tick();
    EXPECT_EQ(editor->PresentCount(), 0);
    EXPECT_EQ(editor->EntryState(), TextEntryState::Focused);

    // A press then only cancels; it reaches no control.
    Click(kStereoSwitch);
    EXPECT_EQ(ParamValue(ORV_Q12::kStereo), 0.0);
    EXPECT_EQ(editor->EntryState(), TextEntryState::Cancel);
    editor->Tick();
    EXPECT_FALSE(editor->EntryBoxOpen());
    Settle();
    EXPECT_EQ(FrameShown(kFilter), 1);
}

TEST_F(EntryBoxTest, ARedrawAroundAnOpenBoxIsNotedAndForgotten) {
    OpenOn(kDriveKnob);
    effect->setParameter(effect, ORV_Q12::kVolume, 1.0f);
    editor->Tick();
    EXPECT_EQ(editor->EntryState(), TextEntryState::Redrawn);
    editor->Tick();
    EXPECT_EQ(editor->EntryState(), TextEntryState::Idle);
    EXPECT_TRUE(editor->EntryBoxOpen());
}

namespace {
// A control that takes free text.
class TextTaker : public Control {
public:
    explicit TextTaker(PluginBase* plug) : Control(plug, {0, 0, 20, 20}, -1, {}) {}
    bool Draw(Editor&) override { return true; }
    void ReceiveEnteredText(const char* text) override { received = text; }
    std::string received;
};
}  // namespace

TEST_F(EntryBoxTest, WithoutAParameterTheTextGoesToTheControl) {
    TextTaker taker(fx);
    const Rect r{10, 10, 60, 26};
    editor->AskForValue(&taker, nullptr, &r);
    EXPECT_EQ(Text(), " ");
    editor->TypeText("hi there");
    editor->PressKey(kEnter);
    editor->Tick();
    EXPECT_EQ(taker.received, "hi there");

    testing::internal::CaptureStdout();
    editor->AskForValue(nullptr, fx->Param(0), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "missing pControl..\nmissing TextRect..\n");
    EXPECT_FALSE(editor->EntryBoxOpen());
}

TEST_F(EntryBoxTest, ClosingTheBoxRepaintsUnderItAndLosesNoOtherRedraw) {
    Drag(kFilterKnob, 0, -40);  // waits for the next tick
    OpenOn(kDriveKnob);
    editor->PressKey(kEscape);
    editor->Tick();  // closes the box: a pass over its area only
    Settle();
    EXPECT_EQ(FrameShown(kDrive), 41) << "no trace of the box";
    EXPECT_EQ(FrameShown(kFilter), 52);
}
