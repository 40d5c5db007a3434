// Control: one rectangle of the editor bound to at most one parameter. It keeps the parameter's
// value normalised (0..1), draws its image, and turns the mouse gestures the editor routes to it
// into new values for the plug-in object. The editor's list owns its controls.
// Threads: every handler, Draw and the redraw flags run on the editor's window thread. Only
// ReceiveValue and ReceiveAuxValue come from the host's thread (inside the plug-in lock); they
// touch nothing but the atomics below, and the window thread turns their note of a change into
// redraw flags the next time it asks NeedsRedraw or MarkDrawn.
#pragma once

#include <atomic>

#include "editor/editor_types.h"
#include "plugin/pointer_list.h"

class Editor;
class PluginBase;

class Control {
public:
    Control(PluginBase* plug, const Rect& rect, int paramIdx, const ControlBlend& blend);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // The virtual operations keep this slot order.
    virtual ~Control();
    virtual void OnMouseDown(int x, int y, const MouseMod& mod);
    virtual void OnMouseUp(int x, int y, const MouseMod& mod);
    virtual void OnMouseDrag(int x, int y, int dX, int dY, const MouseMod& mod);
    virtual void OnMouseDblClick(int x, int y, const MouseMod& mod);
    virtual void OnMouseWheel(int x, int y, const MouseMod& mod, int detents);
    virtual bool OnKeyDown(int x, int y, KeyCode key);
    virtual void OnMouseOver(int x, int y, const MouseMod& mod);
    virtual void OnMouseOut();
    virtual bool Draw(Editor& editor) = 0;
    virtual void ReceiveValue(double v);
    virtual void ReceiveEnteredText(const char* text);
    virtual void Hide(bool hide);
    virtual void SetGrayed(bool gray);
    virtual bool HitTest(int x, int y) const;
    virtual void MarkChanged(bool push);
    virtual void MarkDrawn();
    virtual bool NeedsRedraw();
    virtual void ReservedHook();  // kept for the slot order; no control gives it work
    virtual void ReceiveAuxValue(int position, double v);
    // The gesture that began with a press here ended without its release (the window lost the
    // mouse): nothing of the release happens.
    virtual void OnGestureCancelled() {}

    // Opens the editor's text entry box over the control for its parameter.
    void AskForValue();
    // A value typed into the entry box: taken and sent to the plug-in when it differs.
    void ApplyTypedValue(double v);
    // Shows a further parameter; returns its position, or -1 (nothing changed) when memory is
    // short. Call before the editor is attached.
    int AddAuxValue(int paramIdx);

    const Rect& GetRect() const { return rect; }
    const Rect& TargetRect() const { return targetRect; }
    int ParamIdx() const { return paramIdx; }
    double Value() const { return value.load(std::memory_order_acquire); }
    double DefaultValue() const { return defaultValue.load(std::memory_order_acquire); }
    bool IsHidden() const { return hidden; }
    bool IsGrayed() const { return grayed; }
    bool DblClickAsPress() const { return dblClickAsPress; }
    int EntryMaxChars() const { return entryMaxChars; }
    TextStyle& Text() { return text; }
    const ControlBlend& Blend() const { return blend; }
    int AuxValueCount() const { return auxValues.Count(); }
    int AuxParamIdx(int position) const { return auxValues.Get(position)->paramIdx; }
    double AuxValue(int position) const { return auxValues.Get(position)->value.load(); }
    void SetPromptDisabled(bool disabled) { promptDisabled = disabled; }

protected:
    // value clamped to clampLo..clampHi; NaN counts as below.
    double Clamped(double v) const;
    void SetValue(double v) { value.store(v, std::memory_order_release); }
    // The strip frame (from 1) that shows the current value.
    int FrameForValue(int frames) const;
    // Moves a change noted by the host's thread into the redraw flags (window thread).
    void TakeHostChange();

    struct AuxEntry {
        std::atomic<double> value{0.0};  // written by the host's thread
        int paramIdx = -1;
    };

    int entryMaxChars = 35;
    TextStyle text;
    PluginBase* plug;
    Rect rect;
    Rect targetRect;
    int paramIdx;
    PointerList<AuxEntry> auxValues;  // none in most controls, so nothing allocated
    // Written by the window thread (user edits) and by the host's thread (ReceiveValue).
    std::atomic<double> value{0.0};
    // Written once by the first ReceiveValue (the attaching thread); read by the window thread.
    std::atomic<double> defaultValue{-1.0};
    double clampLo = 0.0;
    double clampHi = 1.0;
    bool dirty = true;
    bool hidden = false;
    bool grayed = false;
    bool redrawPending = false;
    bool promptDisabled = false;
    bool dblClickAsPress = false;
    ControlBlend blend;

private:
    // Set by the host's thread after it stored a new value; taken by the window thread.
    std::atomic<bool> changedByHost_{false};
};
