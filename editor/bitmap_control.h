// The controls that show a strip frame: BitmapControl (a picture chosen by its value, such as the
// panel's background), SwitchControl (steps through its frames on every press),
// FootswitchControl (a momentary contact whose click flips its parameter) and IndicatorControl
// (shows its parameter and takes no input).
// Threads: as Control.
#pragma once

#include "editor/control.h"

class BitmapControl : public Control {
public:
    BitmapControl(PluginBase* plug, const Rect& rect, int paramIdx, const BitmapStrip& strip,
                  const ControlBlend& blend);

    bool Draw(Editor& editor) override;

    const BitmapStrip& Strip() const { return strip; }

protected:
    BitmapStrip strip;
};

class SwitchControl : public BitmapControl {
public:
    using BitmapControl::BitmapControl;

    // Any button, any modifier: the next frame's value, from the last back to the first.
    void OnMouseDown(int x, int y, const MouseMod& mod) override;
    void OnMouseDblClick(int x, int y, const MouseMod& mod) override;
};

// A momentary footswitch: its frame shows the contact (the second while held), its value the
// parameter it flips. A click, a press and its release, sends the other state of the parameter
// (0 from anything below 0.5, else 1); a press whose gesture is cancelled sends nothing. It takes
// no wheel.
class FootswitchControl : public SwitchControl {
public:
    FootswitchControl(PluginBase* plug, const Rect& rect, int paramIdx, const BitmapStrip& strip,
                      const ControlBlend& blend);

    void OnMouseDown(int x, int y, const MouseMod& mod) override;
    void OnMouseUp(int x, int y, const MouseMod& mod) override;
    void OnMouseWheel(int x, int y, const MouseMod& mod, int detents) override;
    void OnGestureCancelled() override;
    bool Draw(Editor& editor) override;

private:
    bool held = false;
};

// A picture of its parameter's value (a status light, say) that takes no input: nothing hits
// it, so presses, the wheel and keys go to whatever lies beneath.
class IndicatorControl : public BitmapControl {
public:
    using BitmapControl::BitmapControl;

    bool HitTest(int x, int y) const override;
};
