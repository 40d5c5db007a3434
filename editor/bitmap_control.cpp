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

void FootswitchControl::OnMouseDown(int /*x*/, int /*y*/, const MouseMod& /*mod*/) {
    held = true;
    MarkChanged(false);
}

void FootswitchControl::OnMouseUp(int /*x*/, int /*y*/, const MouseMod& /*mod*/) {
    held = false;
    SetValue(Value() >= 0.5 ? 0.0 : 1.0);
    MarkChanged(true);
}

void FootswitchControl::OnMouseWheel(int /*x*/, int /*y*/, const MouseMod& /*mod*/,
                                     int /*detents*/) {}

void FootswitchControl::OnGestureCancelled() {
    held = false;
    MarkChanged(false);
}

bool FootswitchControl::Draw(Editor& editor) {
    return editor.DrawStripFrame(strip, rect, held ? 2 : 1, &blend);
}

bool IndicatorControl::HitTest(int /*x*/, int /*y*/) const { return false; }
