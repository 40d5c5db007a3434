// The panel at display scales: the frame buffer is the artwork composed at the scale, and
// gestures given in the window's pixels mean in panel units what they mean at 100%.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "editor/bitmap_control.h"
#include "editor/scaled_images.h"
#include "raster/blit.h"
#include "raster/mem_bitmap.h"
#include "tests/editor/editor_fixture.h"

namespace {

// The test's own area filter: each destination pixel integrates the source over its footprint
// in two dimensions at once, premultiplied.
std::unique_ptr<MemBitmap> AreaFiltered(const RasterBitmap& source, int top, int sw, int sh, int dw,
                                        int dh) {
    auto out = std::make_unique<MemBitmap>(dw, dh);
    const double fx = double(sw) / dw;
    const double fy = double(sh) / dh;
    for (int y = 0; y < dh; ++y) {
        for (int x = 0; x < dw; ++x) {
            double sum[4] = {0, 0, 0, 0};
            for (int sy = int(y * fy); sy < sh && sy < (y + 1) * fy; ++sy) {
                const double hy = std::min(sy + 1.0, (y + 1) * fy) - std::max(double(sy), y * fy);
                for (int sx = int(x * fx); sx < sw && sx < (x + 1) * fx; ++sx) {
                    const double hx =
                        std::min(sx + 1.0, (x + 1) * fx) - std::max(double(sx), x * fx);
                    const uint32_t p = source.Bits()[(top + sy) * source.RowSpan() + sx];
                    const double a = (p >> 24) * hx * hy;
                    sum[3] += a;
                    for (int c = 0; c < 3; ++c) sum[c] += ((p >> (8 * c)) & 0xFF) * a;
                }
            }
            const double area = fx * fy;
            uint32_t word = uint32_t(std::lround(sum[3] / area)) << 24;
            for (int c = 0; c < 3 && sum[3] > 0; ++c) {
                word |= uint32_t(std::lround(sum[c] / sum[3])) << (8 * c);
            }
            out->Bits()[y * out->RowSpan() + x] = word;
        }
    }
    return out;
}

class ScaledPanelTest : public PanelTest, public ::testing::WithParamInterface<int> {
protected:
    // The panel as the test composes it from the double-size images at the scale: the frames
    // it shows at 100% (read off the 1x frame buffer) at the scale's pixel positions.
    std::unique_ptr<MemBitmap> Composed(const PanelScale& scale, const std::vector<int>& frames) {
        auto panel = std::make_unique<MemBitmap>(scale.Pixels(300), scale.Pixels(350));
        for (int i = 0; i < editor->ControlCount(); ++i) {
            const StripImage image = ImageOf(i);
            const RasterBitmap* big =
                editor->FetchImage(kDoubleSizeIdOffset + image.resource, "2x.png");
            if (big == nullptr) return nullptr;
            const Rect r = ControlOf(i).GetRect();
            const int w = r.right - r.left;
            const int h = r.bottom - r.top;
            const int top = (frames[i] - 1) * 2 * h;
            std::unique_ptr<MemBitmap> frame;
            const RasterBitmap* shown = big;
            Rect from{0, top, 2 * w, top + 2 * h};
            if (scale.Percent() != 200) {
                frame = AreaFiltered(*big, top, 2 * w, 2 * h, scale.Pixels(w), scale.Pixels(h));
                shown = frame.get();
                from = {0, 0, scale.Pixels(w), scale.Pixels(h)};
            }
            const int mode = i == kBackgroundControl ? BlendCopy : BlendCopy | BlendUseSourceAlpha;
            Blit(panel.get(), shown, scale.Pixels(r.left), scale.Pixels(r.top), &from, 1.0f, mode);
        }
        return panel;
    }

    std::vector<int> FramesShown() {
        std::vector<int> frames(editor->ControlCount(), 1);
        for (int i = 1; i < editor->ControlCount(); ++i) frames[i] = FrameShown(i);
        return frames;
    }
};

TEST_P(ScaledPanelTest, TheFrameBufferIsTheArtworkComposedAtTheScale) {
    const PanelScale scale(GetParam());
    Drag(kDriveKnob, 0, -40);
    Click(kStereoSwitch);
    Settle();
    const std::vector<int> frames = FramesShown();
    ASSERT_TRUE(editor->SetScale(scale));
    Settle();
    const RasterBitmap& shown = *editor->FrameBuffer();
    ASSERT_EQ(shown.Width(), scale.Pixels(300));
    ASSERT_EQ(shown.Height(), scale.Pixels(350));
    const auto expected = Composed(scale, frames);
    ASSERT_NE(expected, nullptr);
    // Only the filter's rounding, once before and once after compositing, may differ.
    const int tolerance = scale.Percent() == 200 ? 0 : 2;
    int worst = 0;
    for (int y = 0; y < shown.Height(); ++y) {
        for (int x = 0; x < shown.Width(); ++x) {
            const uint32_t a = shown.Bits()[y * shown.RowSpan() + x];
            const uint32_t b = expected->Bits()[y * expected->RowSpan() + x];
            for (int c = 0; c < 32; c += 8) {
                worst = std::max(worst, std::abs(int((a >> c) & 0xFF) - int((b >> c) & 0xFF)));
            }
        }
    }
    EXPECT_LE(worst, tolerance);
}

// The same gestures, given in the window's pixels at the scale and at 100%, leave the same values.
TEST_P(ScaledPanelTest, GesturesMoveValuesAsAtFullSize) {
    auto play = [this](const PanelScale& scale) {
        EXPECT_TRUE(editor->SetScale(scale));
        auto at = [&](Point p) { return Point{scale.FirstPixelOf(p.x), scale.FirstPixelOf(p.y)}; };
        auto drag = [&](Point from, int dx, int dy, HeldKeys keys) {
            const Point a = at(from);
            const Point b = at({from.x + dx, from.y + dy});
            const int steps = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
            editor->Press(a.x, a.y, MouseButton::Left, keys);
            for (int s = 1; s <= steps; ++s) {
                editor->Move(a.x + (b.x - a.x) * s / steps, a.y + (b.y - a.y) * s / steps,
                             MouseButton::Left, keys);
            }
            editor->Release(b.x, b.y, MouseButton::Left, keys);
        };
        drag(kDriveKnob, 3, -37, {});
        drag(kFilterKnob, 0, 23, {true, false, false});
        drag({60, 332}, 97, 0, {});
        const Point volume = at(kVolumeKnob);
        editor->Wheel(volume.x, volume.y, 3);
        const Point stereo = at(kStereoSwitch);
        editor->Press(stereo.x, stereo.y);
        editor->Release(stereo.x, stereo.y);
        std::vector<double> values;
        for (int i = 0; i < fx->ParamCount(); ++i) values.push_back(ParamValue(i));
        return values;
    };
    std::vector<float> defaults;
    std::vector<double> untouched;
    for (int i = 0; i < fx->ParamCount(); ++i) {
        defaults.push_back(effect->getParameter(effect, i));
        untouched.push_back(ParamValue(i));
    }
    const std::vector<double> atScale = play(PanelScale(GetParam()));
    for (int i = 0; i < fx->ParamCount(); ++i) effect->setParameter(effect, i, defaults[i]);
    const std::vector<double> atFullSize = play(PanelScale(100));
    EXPECT_EQ(atScale, atFullSize);
    EXPECT_NE(atFullSize, untouched);
}

// The picture the window tests hold a window at 200% to.
TEST_F(PanelTest, AFreshPanelAt200PercentMatchesItsGoldenImage) {
    ASSERT_TRUE(editor->SetScale(PanelScale(200)));
    Settle();
    EXPECT_EQ(PixelsDifferingFrom(ORV_GOLDEN_DIR "/panel-2x.png"), 0);
}

// The menu a right click on the background opens: a click on an item, or the arrows and Enter,
// choose; Escape or a click elsewhere close it; each choice asks the host for the new size.
TEST_F(PanelTest, TheBackgroundsMenuChoosesTheScale) {
    auto lastSizeAsked = [this]() {
        Point size{0, 0};
        for (const host::HostCallRecord& call : host.Calls()) {
            if (call.opcode == vst2::audioMasterSizeWindow) size = {call.index, int(call.value)};
        }
        return size;
    };
    auto clickItem = [this](int item) {
        const PanelScale& scale = editor->Scale();
        const Rect& area = editor->ScaleMenu().Area();
        const int x = scale.FirstPixelOf(area.left + 30);
        const int y = scale.FirstPixelOf(area.top + 1 + item * PanelMenu::kItemHeight + 8);
        editor->Press(x, y);
        editor->Release(x, y);
    };
    const int follow = 6;
    Click(kBackground, MouseButton::Right);
    const PanelMenu& menu = editor->ScaleMenu();
    ASSERT_TRUE(menu.IsOpen());
    ASSERT_EQ(menu.Count(), 7);
    EXPECT_TRUE(menu.IsChecked(follow));
    clickItem(2);
    EXPECT_FALSE(menu.IsOpen());
    EXPECT_EQ(editor->Scale().Percent(), 150);
    EXPECT_EQ(editor->FrameBuffer()->Width(), 450);
    EXPECT_EQ(lastSizeAsked().x, 450);
    EXPECT_EQ(lastSizeAsked().y, 525);

    const Point background{editor->Scale().FirstPixelOf(kBackground.x),
                           editor->Scale().FirstPixelOf(kBackground.y)};
    editor->Press(background.x, background.y, MouseButton::Right);
    ASSERT_TRUE(menu.IsOpen());
    EXPECT_TRUE(menu.IsChecked(2));
    EXPECT_TRUE(editor->PressKey(27));  // Escape
    EXPECT_FALSE(menu.IsOpen());
    editor->Press(background.x, background.y, MouseButton::Right);
    editor->Press(1, 1);  // outside the menu
    EXPECT_FALSE(menu.IsOpen());
    EXPECT_EQ(editor->Scale().Percent(), 150);

    editor->Press(background.x, background.y, MouseButton::Right);
    for (int i = 0; i <= follow; ++i) editor->PressKey(40);  // Down
    EXPECT_EQ(menu.Highlighted(), follow);
    editor->PressKey(13);  // Enter
    EXPECT_EQ(editor->Scale().Percent(), 100);
    EXPECT_EQ(editor->ChosenPercent(), 0);
    EXPECT_EQ(lastSizeAsked().x, 300);
    Settle();
    // The closed menu left nothing behind.
    for (int i = 1; i < editor->ControlCount(); ++i) EXPECT_GT(FrameShown(i), 0) << i;
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledPanelTest, ::testing::Values(125, 150, 200, 300));

}  // namespace
