#include "editor/fader_strip_control.h"

#include "editor/editor.h"

namespace {
constexpr int kLeft = 56;
constexpr int kTop = 328;
constexpr int kInputParam = 0;
}  // namespace

FaderStripControl::FaderStripControl(PluginBase* plug, const BitmapStrip& s)
    : Control(plug, {kLeft, kTop, kLeft + s.width, kTop + (s.frames > 0 ? s.height / s.frames : 0)},
              kInputParam, ControlBlend{0, 1.0f}),
      strip(s) {}

int FaderStripControl::Travel() const {
    const Rect& t = targetRect;
    return direction == DirectionHorizontal ? t.right - handleLength - t.left
                                            : t.bottom - t.top - handleLength;
}

void FaderStripControl::SetFromPointer(int x, int y) {
    const int travel = Travel();
    // A strip no longer than its handle has nowhere to move it.
    if (travel <= 0) return;
    const Rect& t = targetRect;
    if (direction == DirectionHorizontal) {
        SetValue((x - grabOffset - t.left) / static_cast<double>(travel));
    } else {
        SetValue(1 - (y - t.top - grabOffset) / static_cast<double>(travel));
    }
}

void FaderStripControl::OnMouseDown(int x, int y, const MouseMod& mod) {
    if (mod.right) {
        AskForValue();
        return;
    }
    const int travel = Travel();
    const bool horizontal = direction == DirectionHorizontal;
    const int handle = static_cast<int>(travel * (horizontal ? Value() : 1 - Value()));
    const int pos = horizontal ? x - targetRect.left : y - targetRect.top;
    grabOffset = handle < pos && pos < handle + handleLength ? pos - handle : handleLength / 2;
    SetFromPointer(x, y);
    MarkChanged(true);
}

void FaderStripControl::OnMouseDrag(int x, int y, int /*dX*/, int /*dY*/, const MouseMod& /*mod*/) {
    SetFromPointer(x, y);
    MarkChanged(true);
}

bool FaderStripControl::Draw(Editor& editor) {
    return editor.DrawStripFrame(strip, rect, FrameForValue(strip.frames), &blend);
}
