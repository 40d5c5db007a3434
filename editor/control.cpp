#include "editor/control.h"

#include "editor/editor.h"
#include "plugin/plugin_base.h"

Control::Control(PluginBase* plugIn, const Rect& r, int param, const ControlBlend& controlBlend)
    : plug(plugIn), rect(r), targetRect(r), paramIdx(param), blend(controlBlend) {}

Control::~Control() = default;

void Control::OnMouseDown(int /*x*/, int /*y*/, const MouseMod& mod) {
    if (mod.ctrl && mod.left) AskForValue();
    if (mod.right) AskForValue();
}

void Control::OnMouseUp(int /*x*/, int /*y*/, const MouseMod& /*mod*/) {}

void Control::OnMouseDrag(int /*x*/, int /*y*/, int /*dX*/, int /*dY*/, const MouseMod& /*mod*/) {}

void Control::OnMouseDblClick(int /*x*/, int /*y*/, const MouseMod& /*mod*/) {
    const double restored = DefaultValue();
    if (restored < 0) return;  // no value received yet
    SetValue(restored);
    MarkChanged(true);
}

void Control::OnMouseWheel(int /*x*/, int /*y*/, const MouseMod& mod, int detents) {
    // Without a parameter (the background) there is nothing to turn.
    if (paramIdx < 0) return;
    const double notch = mod.ctrl || mod.shift ? 0.001 : 0.01;
    const double turned = Clamped(Value() + detents * notch);
    // At an end, a notch further changes nothing, and the host hears nothing of it.
    if (turned == Value()) return;
    SetValue(turned);
    MarkChanged(true);
}

bool Control::OnKeyDown(int /*x*/, int /*y*/, KeyCode /*key*/) { return false; }

void Control::OnMouseOver(int /*x*/, int /*y*/, const MouseMod& /*mod*/) {}

void Control::OnMouseOut() {}

void Control::ReceiveValue(double v) {
    if (DefaultValue() < 0) {
        defaultValue.store(v, std::memory_order_release);
        SetValue(v);
    }
    if (Value() != v) {
        SetValue(Clamped(v));
        changedByHost_.store(true, std::memory_order_release);
    }
}

void Control::ReceiveEnteredText(const char* /*text*/) {}

void Control::Hide(bool hide) {
    hidden = hide;
    redrawPending = true;
    MarkChanged(false);
}

void Control::SetGrayed(bool gray) {
    grayed = gray;
    blend.weight = gray ? 0.25f : 1.0f;
    MarkChanged(false);
}

bool Control::HitTest(int x, int y) const {
    if (IsEmptyRect(targetRect)) return false;
    return targetRect.left <= x && x < targetRect.right && targetRect.top <= y &&
           y < targetRect.bottom;
}

double Control::Clamped(double v) const {
    if (!(v >= clampLo)) return clampLo;
    if (v > clampHi) return clampHi;
    return v;
}

void Control::MarkChanged(bool push) {
    const double v = Clamped(Value());
    dirty = true;
    if (!push || plug == nullptr || paramIdx < 0) {
        SetValue(v);
        return;
    }
    // The host's thread stores values into the control inside the plug-in lock, at any moment:
    // the user's value goes into the control and the parameter together, so that they agree
    // whichever of the two threads comes last.
    LockGuard guard(plug->Lock());
    SetValue(v);
    plug->SetParameterFromEditor(paramIdx, v);
    if (Editor* editor = plug->AttachedEditor()) editor->ShowEditedValue(*this);
}

void Control::TakeHostChange() {
    if (changedByHost_.exchange(false, std::memory_order_acq_rel)) {
        dirty = true;
        redrawPending = true;
    }
}

void Control::MarkDrawn() {
    TakeHostChange();
    dirty = redrawPending;
    redrawPending = false;
}

bool Control::NeedsRedraw() {
    TakeHostChange();
    return dirty;
}

void Control::ReservedHook() {}

void Control::ReceiveAuxValue(int position, double v) {
    if (position < 0 || position >= AuxValueCount()) return;
    AuxEntry& entry = *auxValues.Get(position);
    if (entry.value.load() == v) return;
    entry.value.store(v);
    changedByHost_.store(true, std::memory_order_release);
}

int Control::AddAuxValue(int param) {
    AuxEntry* entry = auxValues.AppendNew();
    if (entry == nullptr) return -1;
    entry->paramIdx = param;
    return AuxValueCount() - 1;
}

int Control::FrameForValue(int frames) const {
    // Nearest frame, halves upward; frame 1 shows 0 and frame N shows 1.
    const double position = (frames - 1) * Value() + 0.5;
    if (!(position >= 1.0)) return 1;
    if (position >= frames) return frames;
    return static_cast<int>(position) + 1;
}

void Control::AskForValue() {
    if (paramIdx < 0 || promptDisabled || plug == nullptr) return;
    Editor* editor = plug->AttachedEditor();
    PluginParam* param = plug->Param(paramIdx);
    if (editor == nullptr) return;
    bool hasDisplayTexts = false;
    if (param != nullptr) {
        LockGuard guard(plug->Lock());
        hasDisplayTexts = param->DisplayTextCount() > 0;
    }
    Rect prompt = rect;
    if (!hasDisplayTexts) {
        // A 50 x 16 box centred on the control, the centre computed in single precision.
        const int cx = static_cast<int>(static_cast<float>(rect.left + rect.right) * 0.5f);
        const int cy = static_cast<int>(static_cast<float>(rect.top + rect.bottom) * 0.5f);
        prompt = {cx - 25, cy - 8, cx + 25, cy + 8};
    }
    editor->AskForValue(this, param, &prompt);
    redrawPending = true;
}

void Control::ApplyTypedValue(double v) {
    if (Value() == v) return;
    SetValue(v);
    MarkChanged(true);
    redrawPending = true;
}
