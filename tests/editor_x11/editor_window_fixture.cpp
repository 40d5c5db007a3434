#include "tests/editor_x11/editor_window_fixture.h"

#include <chrono>
#include <string>
#include <thread>

#include "effect/orv_q12.h"
#include "raster/mem_bitmap.h"
#include "raster/png_writer.h"

using namespace vst2;

namespace {

constexpr int kParentSize = 400;

// A channel of a window pixel, at 8 bits, and how many of those bits the visual keeps.
int Channel(uint32_t pixel, uint32_t mask, int& bits) {
    const int shift = __builtin_ctz(mask);
    bits = __builtin_popcount(mask);
    const uint32_t v = (pixel & mask) >> shift;
    return int(bits >= 8 ? v >> (bits - 8) : v << (8 - bits));
}

}  // namespace

void EditorWindowTest::SetUp() {
    ASSERT_TRUE(x11.Connected()) << "no X server: run this suite under xvfb-run";
    parent =
        x11.CreateWindow(kParentX, kParentY, kParentSize, kParentSize, XCB_EVENT_MASK_KEY_PRESS);
    x11.SetFocus(parent);
    fx = Create();
    fx.Start(44100.0f, 512);
    host_.ClearCalls();
}

void EditorWindowTest::TearDown() {
    if (fx.Effect() != nullptr) fx.Dispatch(effEditClose);
    x11.ReleaseButtons();
    ModuleTest::TearDown();
    x11.DestroyWindow(parent);
}

bool EditorWindowTest::OpenEditor() {
    if (fx.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{parent})) != 1) {
        return false;
    }
    // A window the editor replaced goes with its own connection, maybe a moment later.
    std::vector<uint32_t> children;
    IdleUntil([&] {
        children = x11.Children(parent);
        return children.size() == 1;
    });
    child = children.size() == 1 ? children[0] : 0;
    return child != 0;
}

bool EditorWindowTest::IdleUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) {
        fx.Dispatch(effEditIdle);
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void EditorWindowTest::IdleFor(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    IdleUntil([&] { return std::chrono::steady_clock::now() >= end; });
}

void EditorWindowTest::Click(Point p, uint32_t button) {
    PointAt(p);
    x11.Button(int(button), true);
    IdleFor(10);
    x11.Button(int(button), false);
    IdleFor(10);
}

std::vector<uint32_t> HeadlessPanel(const std::vector<float>& values,
                                    const std::function<void(HeadlessEditor&)>& gestures) {
    ORV_Q12 reference(nullptr, &HeadlessEditor::Create);
    AEffect* copy = reference.Effect();
    copy->dispatcher(copy, effOpen, 0, 0, nullptr, 0.0f);
    for (int i = 0; i < static_cast<int>(values.size()); ++i)
        copy->setParameter(copy, i, values[i]);
    auto& editor = static_cast<HeadlessEditor&>(*reference.AttachedEditor());
    editor.Tick();
    if (gestures) gestures(editor);
    for (int i = 0; i < 3; ++i) editor.Tick();
    const RasterBitmap& frame = *editor.FrameBuffer();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < frame.Height(); ++y) {
        for (int x = 0; x < frame.Width(); ++x)
            pixels.push_back(frame.Bits()[y * frame.RowSpan() + x]);
    }
    return pixels;
}

std::vector<uint32_t> EditorWindowTest::PanelOf(
    const host::HostedEffect& effect, const std::function<void(HeadlessEditor&)>& gestures) {
    std::vector<float> values;
    for (int i = 0; i < ORV_Q12::kParamCount; ++i) values.push_back(effect.GetParameter(i));
    return HeadlessPanel(values, gestures);
}

int DifferingPixels(X11TestHost& x11, uint32_t window, const std::vector<uint32_t>& expected) {
    const WindowImage image = x11.Image(window);
    if (image.pixels.size() != expected.size()) return int(expected.size());
    int differing = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        for (int c = 0; c < 3; ++c) {
            int bits = 0;
            const int shown = Channel(image.pixels[i], image.masks[c], bits);
            const int wanted = int(expected[i] >> (16 - 8 * c) & 0xFF);
            // A visual of fewer bits keeps the channel's top bits.
            const int kept = bits >= 8 ? 0xFF : 0xFF << (8 - bits) & 0xFF;
            if ((shown & kept) != (wanted & kept)) {
                ++differing;
                break;
            }
        }
    }
    return differing;
}

int EditorWindowTest::DifferingPixels(const std::vector<uint32_t>& expected, uint32_t window) {
    return ::DifferingPixels(x11, window != 0 ? window : child, expected);
}

void EditorWindowTest::SaveWindow(const char* name) {
    const WindowImage image = x11.Image(child);
    MemBitmap bitmap(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            uint32_t argb = 0xFF000000u;
            for (int c = 0; c < 3; ++c) {
                int bits = 0;
                argb |= uint32_t(Channel(image.pixels[y * image.width + x], image.masks[c], bits))
                        << (16 - 8 * c);
            }
            bitmap.Bits()[y * bitmap.RowSpan() + x] = argb;
        }
    }
    WritePngFile((std::string(ORV_TEST_OUTPUT_DIR) + "/" + name).c_str(), bitmap);
}
