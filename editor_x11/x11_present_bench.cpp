// Benchmarks of presenting to an X11 window: the whole 300 x 350 panel (a window's first paint or
// an Expose) and one knob's 95 x 95 frame (a timer tick after a turn), each until the server has
// carried it out. Runs against the X server DISPLAY names: `xvfb-run -a orv_x11_present_bench`.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "editor_x11/x11_window.h"
#include "raster/sys_bitmap.h"

namespace {

// A top-level window on its own connection, for the panel to open in. One for the whole run:
// an X server resets when its last client leaves, and refuses connections meanwhile.
class ParentWindow {
public:
    ParentWindow() : connection_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(connection_) != 0) return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        id_ = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, id_, screen->root, 0, 0, 300, 350, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(connection_, id_);
        // Made before another connection asks about it.
        free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }
    ~ParentWindow() { xcb_disconnect(connection_); }
    uint32_t Id() const { return id_; }

private:
    xcb_connection_t* connection_;
    uint32_t id_ = 0;
};

void Present(benchmark::State& state, const Rect& r) {
    static ParentWindow parent;
    auto window = X11Window::Open(parent.Id(), 0, 0, 300, 350);
    if (window == nullptr) {
        state.SkipWithError("no X display");
        return;
    }
    SysBitmap frame(300, 350);
    for (int i = 0; i < 300 * 350; ++i) frame.Bits()[i] = 0xFF000000u | uint32_t(i * 2654435761u);
    for (auto _ : state) {
        window->Put(frame, r);
        window->Sync();
    }
    state.SetBytesProcessed(state.iterations() * (r.right - r.left) * (r.bottom - r.top) * 4);
}

void BM_PresentWholePanel(benchmark::State& state) { Present(state, {0, 0, 300, 350}); }
BENCHMARK(BM_PresentWholePanel)->Unit(benchmark::kMicrosecond);

void BM_PresentOneKnob(benchmark::State& state) { Present(state, {18, 64, 113, 159}); }
BENCHMARK(BM_PresentOneKnob)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
