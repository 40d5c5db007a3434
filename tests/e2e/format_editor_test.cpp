// The editor in a real window of the host's, in every format: the window shows exactly the panel
// the headless editor draws (its golden image), and a value the host sets shows on the panel
// until the host sets it back; on a display at 200% the window is the panel drawn at 2x.
#include <cstdint>
#include <vector>

#include "raster/png_loader.h"
#include "tests/e2e/editor_parent.h"
#include "tests/e2e/format_fixture.h"

namespace {

using FormatEditorTest = FormatTest;

std::vector<uint32_t> GoldenPanel(const char* file = ORV_GOLDEN_DIR "/panel.png") {
    const auto golden = LoadPngFile(file);
    std::vector<uint32_t> rgb;
    if (golden == nullptr) return rgb;
    for (int y = 0; y < golden->Height(); ++y) {
        for (int x = 0; x < golden->Width(); ++x)
            rgb.push_back(golden->Bits()[y * golden->RowSpan() + x] & 0xFFFFFFu);
    }
    return rgb;
}

int Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return static_cast<int>(a.size() + b.size());
    int differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
    return differing;
}

}  // namespace

TEST_P(FormatEditorTest, TheWindowShowsThePanelAndTheHostsValues) {
    const std::unique_ptr<EditorParent> parent = EditorParent::Create();
    if (parent == nullptr) GTEST_SKIP() << "no window system";
    host::PluginInstance& fx = Started();
    if (!fx.HasEditor()) GTEST_SKIP() << "no editor";
    const std::vector<uint32_t> golden = GoldenPanel();
    ASSERT_EQ(golden.size(), 300u * 350u);
    ASSERT_TRUE(fx.OpenEditor(parent->Handle()));
    EXPECT_EQ(Differing(parent->EditorPixels(fx), golden), 0);

    const std::vector<double> silence(64, 0.0);
    // A host that processes sends its values with the next block (CLAP's events).
    fx.SetParam(1, 0.9);
    fx.SetParam(4, 1.0);
    Render(fx, silence, silence, 64);
    EXPECT_GT(Differing(parent->EditorPixels(fx), golden), 100) << "the host's values not shown";
    fx.SetParam(1, 0.5);
    fx.SetParam(4, 0.0);
    Render(fx, silence, silence, 64);
    EXPECT_EQ(Differing(parent->EditorPixels(fx), golden), 0);
    fx.CloseEditor();
}

// The scale from the host's own call where the format has one, else from the display (the X
// server's Xft.dpi).
TEST_P(FormatEditorTest, AtTwiceTheDisplaysScaleTheWindowShowsThePanelAt2x) {
    const std::unique_ptr<EditorParent> parent = EditorParent::Create();
    if (parent == nullptr) GTEST_SKIP() << "no window system";
    host::PluginInstance& fx = Started();
    if (!fx.HasEditor()) GTEST_SKIP() << "no editor";
    if (!fx.SetEditorScale(2.0) && !parent->SetDisplayDpi(192)) {
        GTEST_SKIP() << "neither the host nor the test can set the display's scale";
    }
    const std::vector<uint32_t> golden = GoldenPanel(ORV_GOLDEN_DIR "/panel-2x.png");
    ASSERT_EQ(golden.size(), 600u * 700u);
    ASSERT_TRUE(fx.OpenEditor(parent->Handle()));
    int width = 0, height = 0;
    ASSERT_TRUE(fx.EditorSize(&width, &height));
    EXPECT_EQ(width, 600);
    EXPECT_EQ(height, 700);
    EXPECT_EQ(Differing(parent->EditorPixels(fx), golden), 0);
    fx.CloseEditor();
}

ORV_ON_EVERY_FORMAT(FormatEditorTest);
