// Benchmarks of the effect's editor: a full-panel draw (the first paint of a window), the
// redraw of one turned knob (a timer tick), and an idle tick. Before the timed runs it prints
// the memory an editor adds to each instance and the images every instance shares.
#include <benchmark/benchmark.h>
#include <malloc.h>

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
    ReportMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
