// The controls that show a strip frame chosen by their value: BitmapControl (a picture, such as
// the panel's background), SwitchControl (steps through its frames on every press) and
// FootswitchControl (a momentary contact with a latch that flips on every release).
// Threads: as Control; a footswitch's latch is also read by the effect inside the plug-in lock.
#pragma once

#include <atomic>

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

class FootswitchControl : public SwitchControl {
public:
    FootswitchControl(PluginBase* plug, const Rect& rect, int paramIdx, const BitmapStrip& strip,
                      const ControlBlend& blend);
    // Clears the pointer given to ReportDeletionTo.
    ~FootswitchControl() override;

    // Release: the latch flips, then the contact opens (value 0, sent to the parameter).
    void OnMouseUp(int x, int y, const MouseMod& mod) override;

    bool Latched() const { return latch.load(std::memory_order_acquire); }
    // A non-owner's pointer to this footswitch, set to null when the footswitch is deleted
    // (by its editor, always inside the plug-in lock).
    void ReportDeletionTo(FootswitchControl** holder) { holder_ = holder; }

private:
    // Written on the window thread; read by the effect on any thread.
    std::atomic<bool> latch{false};
    FootswitchControl** holder_ = nullptr;
};
