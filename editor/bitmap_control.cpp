#include "editor/bitmap_control.h"

#include "editor/editor.h"

BitmapControl::BitmapControl(PluginBase* plug, const Rect& r, int param, const BitmapStrip& s,
                             const ControlBlend& controlBlend)
    : Control(plug, r, param, controlBlend), strip(s) {}

bool BitmapControl::Draw(Editor& editor) {
    const int frame = strip.frames <= 1 ? 1 : FrameForValue(strip.frames);
    return editor.DrawStripFrame(strip, rect, frame, &blend);
}

void SwitchControl::OnMouseDown(int /*x*/, int /*y*/, const MouseMod& /*mod*/) {
    const double step = strip.frames < 2 ? 1.0 : 1.0 / (strip.frames - 1);
    double next = Value() + step;
    if (next > 1.001) next = 0;
    SetValue(next);
    MarkChanged(true);
}

void SwitchControl::OnMouseDblClick(int x, int y, const MouseMod& mod) {
    SwitchControl::OnMouseDown(x, y, mod);
}

FootswitchControl::FootswitchControl(PluginBase* plug, const Rect& r, int param,
                                     const BitmapStrip& s, const ControlBlend& controlBlend)
    : SwitchControl(plug, r, param, s, controlBlend) {
    dblClickAsPress = true;
}

FootswitchControl::~FootswitchControl() {
    if (holder_ != nullptr) *holder_ = nullptr;
}

void FootswitchControl::OnMouseUp(int /*x*/, int /*y*/, const MouseMod& /*mod*/) {
    // The latch flips before the contact is reported, so the parameter change it causes
    // already sees the new state.
    latch.store(!Latched(), std::memory_order_release);
    SetValue(0);
    MarkChanged(true);
}
