#include "editor/knob_control.h"

#include "editor/editor.h"

KnobControl::KnobControl(PluginBase* plug, const Rect& r, int param, int knobDirection,
                         double knobGearing, const ControlBlend& controlBlend)
    : Control(plug, r, param, controlBlend), direction(knobDirection), gearing(knobGearing) {}

void KnobControl::OnMouseDrag(int /*x*/, int /*y*/, int dX, int dY, const MouseMod& mod) {
    const double g = mod.ctrl || mod.shift ? gearing * 10 : gearing;
    // Up is towards smaller y, so a vertical drag divides by the negative height.
    const double change = direction == DirectionVertical
                              ? dY / static_cast<double>(rect.top - rect.bottom) / g
                              : dX / static_cast<double>(rect.right - rect.left) / g;
    SetValue(Value() + change);
    MarkChanged(true);
}

KnobStripControl::KnobStripControl(PluginBase* plug, const Rect& r, int param, int knobDirection,
                                   double knobGearing, const BitmapStrip& s,
                                   const ControlBlend& controlBlend)
    : KnobControl(plug, r, param, knobDirection, knobGearing, controlBlend), strip(s) {}

bool KnobStripControl::Draw(Editor& editor) {
    return editor.DrawStripFrame(strip, rect, FrameForValue(strip.frames), &blend);
}
