#include "tests/editor/editor_fixture.h"

#include <cstdlib>
#include <memory>

#include "editor/bitmap_control.h"
#include "editor/editor.h"
#include "raster/blit.h"
#include "raster/mem_bitmap.h"
#include "raster/png_loader.h"

namespace {

vst2::AEffect* EntryWithHeadlessEditor(vst2::audioMasterCallback host) {
    auto* fx = new ORV_Q12(host, &HeadlessEditor::Create);
    fx->AddPreset("Empty", fx->PresetCount());
    return fx->Effect();
}

}  // namespace

void PanelTest::SetUp() {
    effect = host.Instantiate(&EntryWithHeadlessEditor);
    ASSERT_NE(effect, nullptr);
    fx = static_cast<ORV_Q12*>(VstPlugin::FromEffect(effect));
    editor = static_cast<HeadlessEditor*>(fx->AttachedEditor());
    ASSERT_NE(editor, nullptr);
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0.0f);
    host.ClearCalls();
}

void PanelTest::TearDown() {
    if (effect != nullptr) effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
}

void PanelTest::Drag(Point from, int dx, int dy, HeldKeys keys) {
    editor->Press(from.x, from.y, MouseButton::Left, keys);
    const int steps = std::max(std::abs(dx), std::abs(dy));
    for (int s = 1; s <= steps; ++s) {
        editor->Move(from.x + dx * s / steps, from.y + dy * s / steps, MouseButton::Left, keys);
    }
    editor->Release(from.x + dx, from.y + dy, MouseButton::Left, keys);
}

void PanelTest::Settle() {
    for (int i = 0; i < 8; ++i) {
        const int before = editor->PresentCount();
        editor->Tick();
        if (editor->PresentCount() == before) return;
    }
    ADD_FAILURE() << "the editor kept redrawing";
}

int PanelTest::PixelsDifferingFrom(const char* goldenPath) const {
    const auto golden = LoadPngFile(goldenPath);
    const RasterBitmap& shown = *editor->FrameBuffer();
    if (golden == nullptr || golden->Width() != shown.Width() ||
        golden->Height() != shown.Height()) {
        ADD_FAILURE() << goldenPath << " is missing or not of the frame buffer's size";
        return -1;
    }
    int differing = 0;
    for (int y = 0; y < shown.Height(); ++y) {
        for (int x = 0; x < shown.Width(); ++x) {
            differing +=
                golden->Bits()[y * golden->RowSpan() + x] != shown.Bits()[y * shown.RowSpan() + x];
        }
    }
    return differing;
}

int PanelTest::FrameShown(int index) const {
    const Rect r = ControlOf(index).GetRect();
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const StripImage strip = ImageOf(index);
    const RasterBitmap* background = editor->FetchImage(100, "100.png");
    const RasterBitmap* image = editor->FetchImage(strip.resource, "strip.png");
    const RasterBitmap& shown = *editor->FrameBuffer();
    // Each candidate: the background under the control with the frame composited by its alpha.
    for (int frame = 1; frame <= strip.frames; ++frame) {
        MemBitmap expected(w, h);
        const Rect under{r.left, r.top, r.right, r.bottom};
        Blit(&expected, background, 0, 0, &under, 1.0f, BlendCopy);
        const Rect source{0, (frame - 1) * h, w, frame * h};
        Blit(&expected, image, 0, 0, &source, 1.0f, BlendUseSourceAlpha);
        bool same = true;
        for (int y = 0; y < h && same; ++y) {
            for (int x = 0; x < w && same; ++x) {
                same = expected.Bits()[y * expected.RowSpan() + x] ==
                       shown.Bits()[(r.top + y) * shown.RowSpan() + r.left + x];
            }
        }
        if (same) return frame;
    }
    return -1;
}

std::string PanelTest::EditsOf(int index) const { return ::EditsOf(host.Calls(), index); }

std::string PanelTest::UnbalancedEdits() const { return ::UnbalancedEdits(host.Calls()); }
