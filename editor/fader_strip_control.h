// FaderStripControl: the effect's horizontal "Input" fader at (56, 328). A press or drag puts the
// value where the pointer is along the strip (a handle one pixel long, so no grab offset); its
// frames show the value from empty to full. A right click asks for a typed value.
// Threads: as Control.
#pragma once

#include "editor/control.h"
#include "editor/knob_control.h"

class FaderStripControl : public Control {
public:
    FaderStripControl(PluginBase* plug, const BitmapStrip& strip);

    void OnMouseDown(int x, int y, const MouseMod& mod) override;
    void OnMouseDrag(int x, int y, int dX, int dY, const MouseMod& mod) override;
    bool Draw(Editor& editor) override;

private:
    // Pixels the handle's start can move along the strip.
    int Travel() const;
    // The value under the pointer, the grab offset taken off.
    void SetFromPointer(int x, int y);

    int handleLength = 1;
    BitmapStrip strip;
    int direction = DirectionHorizontal;
    int grabOffset = 0;
};
