// Benchmarks of the effect's editor: a full-panel draw (the first paint of a window), the
// redraw of one turned knob (a timer tick), and an idle tick. Before the timed runs it prints,
// for each display scale, the time to open the editor (an instance built and its first paint)
// the first time in the process and again, with the image memory the scale adds and its frame
// buffer; then the memory an editor adds to each instance and the images every instance shares.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "editor/bitmap_cache.h"
#include "editor_headless/headless_editor.h"
#include "effect/orv_q12.h"

namespace {

// Bytes in use on the heap, large (mapped) blocks included.
size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Heap bytes each of several instances adds, built with the given editor factory.
double BytesPerInstance(EditorFactory factory) {
    constexpr int kInstances = 8;
    std::vector<std::unique_ptr<ORV_Q12>> instances;
    instances.push_back(std::make_unique<ORV_Q12>(nullptr, factory));  // images cached here
    const size_t before = HeapInUse();
    for (int i = 0; i < kInstances; ++i) {
        instances.push_back(std::make_unique<ORV_Q12>(nullptr, factory));
    }
    return double(HeapInUse() - before) / kInstances;
}

// Milliseconds to build an instance with its editor at the scale and draw its first paint.
double OpenMilliseconds(int percent, const RasterBitmap** frame, std::unique_ptr<ORV_Q12>* keep) {
    const auto start = std::chrono::steady_clock::now();
    auto fx = std::make_unique<ORV_Q12>(nullptr, &HeadlessEditor::Create);
    auto* editor = static_cast<HeadlessEditor*>(fx->AttachedEditor());
    editor->SetScale(PanelScale(percent));
    editor->Tick();
    const auto stop = std::chrono::steady_clock::now();
    *frame = editor->FrameBuffer();
    *keep = std::move(fx);
    return std::chrono::duration<double, std::milli>(stop - start).count();
}

void ReportScales() {
    for (const int percent : {100, 200, 125, 150, 175, 250, 300}) {
        const long long imagesBefore = BitmapCache::Process().PixelBytes();
        const RasterBitmap* frame = nullptr;
        std::unique_ptr<ORV_Q12> first, again;
        const double cold = OpenMilliseconds(percent, &frame, &first);
        const double warm = OpenMilliseconds(percent, &frame, &again);
        std::printf(
            "%d%%: editor open %.1f ms first, %.1f ms again; images +%lld bytes, "
            "frame buffer %lld bytes\n",
            percent, cold, warm, BitmapCache::Process().PixelBytes() - imagesBefore,
            4LL * frame->RowSpan() * frame->Height());
    }
}

void ReportMemory() {
    const double withEditor = BytesPerInstance(&HeadlessEditor::Create);
    const double without = BytesPerInstance(nullptr);
    std::printf(
        "heap per instance: %.0f bytes with the editor, %.0f without: %.0f for the editor\n",
        withEditor, without, withEditor - without);
    std::printf("images shared by every instance: %d images, %lld bytes of pixels\n",
                BitmapCache::Process().Count(), BitmapCache::Process().PixelBytes());
}

struct Panel {
    Panel() : fx(nullptr, &HeadlessEditor::Create) {
        editor = static_cast<HeadlessEditor*>(fx.AttachedEditor());
        editor->Tick();
    }
    ORV_Q12 fx;
    HeadlessEditor* editor;
};

void BM_FullPanelDraw(benchmark::State& state) {
    Panel panel;
    for (auto _ : state) {
        panel.editor->Draw({0, 0, 300, 350});
        panel.editor->ClearPresented();
    }
}
BENCHMARK(BM_FullPanelDraw)->Unit(benchmark::kMicrosecond);

// A value from the host for the Drive knob, then the tick that draws it.
void BM_OneKnobRedraw(benchmark::State& state) {
    Panel panel;
    double value = 0.25;
    for (auto _ : state) {
        value = 1.0 - value;
        panel.editor->ReceiveParamFromPlugin(ORV_Q12::kDrive, value, true);
        panel.editor->Tick();
        panel.editor->ClearPresented();
    }
}
BENCHMARK(BM_OneKnobRedraw)->Unit(benchmark::kMicrosecond);

void BM_IdleTick(benchmark::State& state) {
    Panel panel;
    for (auto _ : state) panel.editor->Tick();
}
BENCHMARK(BM_IdleTick);

}  // namespace

int main(int argc, char** argv) {
    ReportScales();
    ReportMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
