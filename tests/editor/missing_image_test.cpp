// An image resource that cannot be loaded: the panel is still built with every control at its
// place, the controls that use the image draw nothing, and the effect sounds as usual. A program
// of its own, since the process-wide image cache keeps the first answer for each image.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "editor/bitmap_control.h"
#include "editor_headless/headless_editor.h"
#include "effect/orv_q12.h"
#include "raster/blit.h"

namespace {

constexpr int kKnobImage = 101;

// The offscreen editor, but the knob strip cannot be loaded.
class EditorWithoutKnobs : public HeadlessEditor {
public:
    using HeadlessEditor::HeadlessEditor;
    std::unique_ptr<RasterBitmap> LoadPlatformBitmap(int id, const char* name) override {
        return id == kKnobImage ? nullptr : HeadlessEditor::LoadPlatformBitmap(id, name);
    }
};

std::unique_ptr<Editor> MakeEditorWithoutKnobs(PluginBase* plug) {
    return std::make_unique<EditorWithoutKnobs>(plug);
}

}  // namespace

TEST(MissingImageTest, KnobsWithoutTheirImageArePlacedAndDrawNothing) {
    ORV_Q12 fx(nullptr, &MakeEditorWithoutKnobs);
    fx.Effect()->dispatcher(fx.Effect(), vst2::effOpen, 0, 0, nullptr, 0.0f);
    auto& editor = static_cast<HeadlessEditor&>(*fx.AttachedEditor());
    ASSERT_EQ(editor.ControlCount(), 9);
    const Rect drive = editor.ControlAt(1)->GetRect();
    EXPECT_EQ(drive.left, 18);
    EXPECT_EQ(drive.top, 64);
    EXPECT_EQ(drive.right, 113);
    EXPECT_EQ(drive.bottom, 159);

    // Where the knobs would be, the background shows unchanged.
    editor.Tick();
    const RasterBitmap* background = editor.FetchImage(100, "100.png");
    const RasterBitmap& shown = *editor.FrameBuffer();
    int differing = 0;
    for (int y = drive.top; y < drive.bottom; ++y) {
        for (int x = drive.left; x < drive.right; ++x) {
            differing += shown.Bits()[y * shown.RowSpan() + x] !=
                         background->Bits()[y * background->RowSpan() + x];
        }
    }
    EXPECT_EQ(differing, 0);

    // The knob still turns its parameter, and the effect processes.
    editor.Press(65, 111);
    editor.Move(65, 101);
    editor.Release(65, 101);
    EXPECT_NEAR(fx.Param(ORV_Q12::kDrive)->value, 10 * (0.5 + 10 / 285.0), 1e-9);
    std::vector<float> in(256), out0(256), out1(256);
    for (int i = 0; i < 256; ++i) in[i] = 0.3f * std::sin(0.07f * i);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out0.data(), out1.data()};
    fx.Effect()->processReplacing(fx.Effect(), inputs, outputs, 256);
    double energy = 0;
    for (float s : out0) energy += double(s) * s;
    EXPECT_TRUE(std::isfinite(energy));
    EXPECT_GT(energy, 0.0);
    EXPECT_NE(out0, in);
}
