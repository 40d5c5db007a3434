// PanelScale: the one conversion between panel units (the 300 x 350 layout every control, hit
// test and gesture works in) and the pixels of a display at some scale, held as a whole
// percentage. Edges and sizes round to the nearest pixel, halves up; a pixel goes back to the
// panel unit it lies in. At 100% every conversion is the identity. A plain value.
#pragma once

#include "raster/rect.h"

class PanelScale {
public:
    static constexpr int kMinPercent = 50;
    static constexpr int kMaxPercent = 400;

    // Clamped to kMinPercent..kMaxPercent.
    explicit PanelScale(int percent = 100);
    // The nearest whole percentage of a factor (1.5 -> 150), clamped; 100 for a factor that is
    // not a number.
    static PanelScale FromFactor(double factor);

    int Percent() const { return percent_; }
    double Factor() const { return percent_ / 100.0; }
    bool IsUnit() const { return percent_ == 100; }
    // Whether every panel unit is a whole number of pixels (100%, 200%, 300%, 400%).
    bool IsWhole() const { return percent_ % 100 == 0; }

    // A panel coordinate or length in pixels.
    int Pixels(int units) const;
    // Where a control of the panel lands: its corner moved, its size scaled on its own, so every
    // frame of a strip has one size wherever it is drawn.
    Rect PlaceRect(const Rect& panel) const;
    // The pixels that hold everything placed inside the panel rectangle; at a fractional scale
    // one pixel wider and higher than its edges, as a placed size may round past them.
    Rect CoverRect(const Rect& panel) const;
    // The panel unit a pixel of the window lies in.
    int ToPanel(int pixel) const;
    // The panel units the window's pixels lie in, every one of them.
    Rect PanelCover(const Rect& pixels) const;
    // The first pixel lying in the panel unit (none may at a scale below 100%).
    int FirstPixelOf(int units) const;

    bool operator==(const PanelScale& other) const { return percent_ == other.percent_; }
    bool operator!=(const PanelScale& other) const { return percent_ != other.percent_; }

private:
    int percent_;
};
