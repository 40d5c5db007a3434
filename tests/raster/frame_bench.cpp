// Measures what the editor does with the raster layer: decoding the five panel images and
// composing a full 300 x 350 frame (an opaque copy of the background plus seven alpha-blended
// control frames). With a file name, also writes that frame as a PNG: the panel as the editor
// will show it, with the knobs at 5 of 10, Quality on and the input strip at its default.
#include "raster/blit.h"
#include "raster/png_loader.h"
#include "raster/png_writer.h"
#include "raster/sys_bitmap.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MicrosecondsSince(Clock::time_point start, int repeats) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / repeats;
}

struct Panel {
    std::unique_ptr<MemBitmap> background, knob, footswitch, toggle, input;
};

Panel LoadPanel() {
    return {LoadPngResource(nullptr, 100), LoadPngResource(nullptr, 101),
            LoadPngResource(nullptr, 103), LoadPngResource(nullptr, 105),
            LoadPngResource(nullptr, 106)};
}

// Frame `frame` (from 1) of a vertical strip of `frames`, drawn by its alpha at (x, y).
void DrawFrame(SysBitmap& surface, const MemBitmap& strip, int frames, int frame, int x, int y) {
    const int height = strip.Height() / frames;
    const Rect source = {0, (frame - 1) * height, strip.Width(), frame * height};
    Blit(&surface, &strip, x, y, &source, 1.0f, BlendUseSourceAlpha);
}

void Compose(SysBitmap& surface, const Panel& panel) {
    Blit(&surface, panel.background.get(), 0, 0, nullptr, 1.0f, BlendCopy);
    for (int x : {18, 102, 186}) {
        DrawFrame(surface, *panel.knob, 81, 41, x, 64);
    }
    DrawFrame(surface, *panel.toggle, 2, 1, 63, 277);
    DrawFrame(surface, *panel.toggle, 2, 2, 211, 277);
    DrawFrame(surface, *panel.footswitch, 2, 1, 125, 233);
    DrawFrame(surface, *panel.input, 101, 51, 56, 328);
}

}  // namespace

int main(int argc, char** argv) {
    constexpr int kDecodes = 20;
    const Clock::time_point decodeStart = Clock::now();
    for (int i = 0; i < kDecodes; ++i) {
        if (!LoadPanel().knob) {
            std::fprintf(stderr, "the panel images did not decode\n");
            return 1;
        }
    }
    const double decodeMicroseconds = MicrosecondsSince(decodeStart, kDecodes);

    const Panel panel = LoadPanel();
    SysBitmap surface(300, 350);
    constexpr int kFrames = 2000;
    const Clock::time_point composeStart = Clock::now();
    for (int i = 0; i < kFrames; ++i) {
        Compose(surface, panel);
    }
    const double composeMicroseconds = MicrosecondsSince(composeStart, kFrames);

    std::printf("decode all five images: %.2f ms\n", decodeMicroseconds / 1000.0);
    std::printf("compose a 300 x 350 frame (background + 7 controls): %.1f us\n",
                composeMicroseconds);
    if (argc > 1 && !WritePngFile(argv[1], surface)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
