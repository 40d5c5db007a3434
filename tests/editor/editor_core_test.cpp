// The editor core on its own: drawing passes, strip frames, and the lifetimes of the editor and
// the controls the effect relies on.
#include <memory>

#include "editor/bitmap_control.h"
#include "tests/editor/editor_fixture.h"

using namespace vst2;

namespace {

// A control that counts its draws.
class Swatch : public Control {
public:
    Swatch(PluginBase* plug, const Rect& r) : Control(plug, r, -1, {}) {}
    bool Draw(Editor&) override {
        ++draws;
        return true;
    }
    int draws = 0;
};

// A control whose destructor still reaches the host, as an edit left open would.
class EndsItsEditWhenDeleted : public Control {
public:
    explicit EndsItsEditWhenDeleted(PluginBase* plug) : Control(plug, {0, 0, 1, 1}, 2, {}) {}
    ~EndsItsEditWhenDeleted() override { plug->EndParamEdit(paramIdx); }
    bool Draw(Editor&) override { return true; }
};

}  // namespace

TEST_F(PanelTest, AnEditorWithoutControlsDrawsAndPresentsNothing) {
    HeadlessEditor empty(fx);
    empty.CreateDrawSurfaces();
    EXPECT_TRUE(empty.Draw({0, 0, 300, 350}));
    EXPECT_EQ(empty.PresentCount(), 0);
}

TEST_F(PanelTest, APassDrawsWhatMeetsItsClipAndClearsWhatItCoveredWhole) {
    HeadlessEditor bare(fx);
    bare.CreateDrawSurfaces();
    auto* a = new Swatch(fx, {10, 10, 20, 20});
    auto* empty = new Swatch(fx, {});
    auto* hidden = new Swatch(fx, {0, 0, 5, 5});
    bare.AddControl(std::unique_ptr<Control>(a));
    bare.AddControl(std::unique_ptr<Control>(empty));
    bare.AddControl(std::unique_ptr<Control>(hidden));
    hidden->Hide(true);

    Rect dirty{};
    EXPECT_TRUE(bare.NeedsRedraw(dirty));
    EXPECT_EQ(dirty.left, 0) << "hidden controls count; empty rectangles add nothing";
    EXPECT_EQ(dirty.right, 20);

    // A control whose left edge lies on the clip's right edge still counts as meeting it, but
    // the pass drew none of it, so it stays dirty.
    bare.Draw({0, 0, 10, 10});
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(hidden->draws, 0);
    EXPECT_EQ(empty->draws, 0);
    dirty = {};
    EXPECT_TRUE(bare.NeedsRedraw(dirty));
    EXPECT_EQ(dirty.left, 0) << "the hidden control's second pass is due";
    EXPECT_EQ(dirty.right, 20);
    bare.Draw({0, 0, 20, 20});
    bare.Draw({0, 0, 20, 20});
    dirty = {};
    EXPECT_FALSE(bare.NeedsRedraw(dirty));

    // Only a dirty control with an empty rectangle: something to do, nowhere to do it.
    empty->MarkChanged(false);
    dirty = {};
    EXPECT_TRUE(bare.NeedsRedraw(dirty));
    EXPECT_EQ(dirty.right, 0);
    bare.Tick();
    EXPECT_FALSE(bare.NeedsRedraw(dirty));
}

TEST_F(PanelTest, StripFramesAreDrawnOnlyInsideThePassClip) {
    editor->Tick();
    RasterBitmap* knob = editor->FetchImage(101, "101.png");
    const BitmapStrip strip{knob, knob->Width(), knob->Height(), 81};
    const Rect drive = ControlOf(kDrive).GetRect();
    editor->Draw({0, 0, 1, 1});
    editor->DrawStripFrame(strip, drive, 81, nullptr);
    EXPECT_EQ(FrameShown(kDrive), 41) << "outside the last pass's clip";
}

TEST_F(PanelTest, ReplacingTheEditorFreesTheOldOneAndKeepsThePedalsState) {
    Click(kFootswitch);
    ASSERT_FALSE(fx->Engaged());
    fx->AttachEditor(new HeadlessEditor(fx));
    EXPECT_NE(fx->AttachedEditor(), editor);
    editor = nullptr;
    effect->setParameter(effect, ORV_Q12::kDrive, 0.2f);
    EXPECT_FALSE(fx->Engaged());
}

TEST_F(PanelTest, AResizedEditorDropsItsControlsEndingTheEditOfThePressedOne) {
    Click(kFootswitch);
    editor->Press(kDriveKnob.x, kDriveKnob.y);
    editor->Resize(400, 300);
    EXPECT_EQ(EditsOf(ORV_Q12::kDrive), "BE");
    EXPECT_EQ(editor->ControlCount(), 0);
    EXPECT_EQ(editor->FrameBuffer()->Width(), 400);
    effect->setParameter(effect, ORV_Q12::kDrive, 0.2f);
    EXPECT_FALSE(fx->Engaged());
    Click(kDriveKnob);  // nothing left to hit
    EXPECT_NEAR(ParamValue(ORV_Q12::kDrive), 2.0, 1e-6);
}

TEST_F(PanelTest, TheEditorGoesWhileThePlugInIsWhole) {
    editor->AddControl(std::make_unique<EndsItsEditWhenDeleted>(fx));
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    effect = nullptr;
    EXPECT_EQ(host.CountOf(audioMasterEndEdit), 1);
}

TEST_F(PanelTest, AFurtherParameterShownByAControlFollowsTheHost) {
    HeadlessEditor bare(fx);
    bare.CreateDrawSurfaces();
    auto* shows = new Swatch(fx, {0, 0, 4, 4});
    const int position = shows->AddAuxValue(ORV_Q12::kVolume);
    bare.AddControl(std::unique_ptr<Control>(shows));
    bare.Tick();
    bare.ReceiveParamFromPlugin(ORV_Q12::kVolume, 7.5, false);
    EXPECT_EQ(shows->AuxValue(position), 0.75);
    bare.ClearPresented();
    for (int i = 0; i < 3; ++i) bare.Tick();
    EXPECT_EQ(bare.PresentCount(), 2);
}

TEST_F(PanelTest, MeasuredTextIsPlacedByItsAlignment) {
    TextStyle style;
    Rect r{100, 20, 160, 20};
    EXPECT_TRUE(editor->MeasureText(style, "", r));
    EXPECT_EQ(r.left, 100) << "an empty text leaves the rectangle";
    EXPECT_EQ(r.right, 160);

    ASSERT_TRUE(editor->MeasureText(style, "5.000", r));
    const int width = r.right - r.left;
    EXPECT_GT(width, 0);
    EXPECT_EQ(r.left, 130 - width / 2) << "centred on the old rectangle";
    EXPECT_GT(r.bottom, 20);
    EXPECT_NE(style.font, nullptr) << "the font is kept in the style";

    style.alignment = AlignFar;
    Rect far{0, 0, 200, 0};
    ASSERT_TRUE(editor->MeasureText(style, "5.000", far));
    EXPECT_EQ(far.right, 200);
    EXPECT_EQ(far.left, 200 - width);
}
