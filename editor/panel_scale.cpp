#include "editor/panel_scale.h"

#include <cmath>

namespace {

// Floor division, for coordinates left of or above the panel too.
int FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return static_cast<int>(q);
}

}  // namespace

PanelScale::PanelScale(int percent)
    : percent_(percent < kMinPercent ? kMinPercent
                                     : (percent > kMaxPercent ? kMaxPercent : percent)) {}

PanelScale PanelScale::FromFactor(double factor) {
    if (!(factor == factor)) return PanelScale(100);
    const double percent = std::floor(factor * 100.0 + 0.5);
    if (percent < kMinPercent) return PanelScale(kMinPercent);
    if (percent > kMaxPercent) return PanelScale(kMaxPercent);
    return PanelScale(static_cast<int>(percent));
}

int PanelScale::Pixels(int units) const { return FloorDiv(1LL * units * percent_ + 50, 100); }

Rect PanelScale::PlaceRect(const Rect& panel) const {
    const int left = Pixels(panel.left);
    const int top = Pixels(panel.top);
    return {left, top, left + Pixels(panel.right - panel.left),
            top + Pixels(panel.bottom - panel.top)};
}

Rect PanelScale::CoverRect(const Rect& panel) const {
    const int slack = IsWhole() ? 0 : 1;
    return {FloorDiv(1LL * panel.left * percent_, 100), FloorDiv(1LL * panel.top * percent_, 100),
            FloorDiv(1LL * panel.right * percent_, 100) + slack,
            FloorDiv(1LL * panel.bottom * percent_, 100) + slack};
}

int PanelScale::ToPanel(int pixel) const { return FloorDiv(100LL * pixel, percent_); }

Rect PanelScale::PanelCover(const Rect& pixels) const {
    return {ToPanel(pixels.left), ToPanel(pixels.top), ToPanel(pixels.right - 1) + 1,
            ToPanel(pixels.bottom - 1) + 1};
}

int PanelScale::FirstPixelOf(int units) const { return -FloorDiv(-1LL * units * percent_, 100); }
