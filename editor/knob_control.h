// KnobControl: a control turned by dragging, relative to where the drag started: the whole range
// takes `gearing` times the control's height (or width) in pixels, ten times that with Ctrl or
// Shift held. KnobStripControl shows it with a strip frame per value.
// Threads: as Control.
#pragma once

#include "editor/control.h"

enum ControlDirection : int32_t { DirectionVertical = 0, DirectionHorizontal = 1 };

class KnobControl : public Control {
public:
    KnobControl(PluginBase* plug, const Rect& rect, int paramIdx, int direction, double gearing,
                const ControlBlend& blend);

    void OnMouseDrag(int x, int y, int dX, int dY, const MouseMod& mod) override;

protected:
    int direction;
    double gearing;
};

class KnobStripControl : public KnobControl {
public:
    KnobStripControl(PluginBase* plug, const Rect& rect, int paramIdx, int direction,
                     double gearing, const BitmapStrip& strip, const ControlBlend& blend);

    bool Draw(Editor& editor) override;

private:
    BitmapStrip strip;
};
