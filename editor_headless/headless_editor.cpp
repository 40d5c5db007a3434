#include "editor_headless/headless_editor.h"

#include "plugin/make_nothrow.h"

HeadlessEditor::HeadlessEditor(PluginBase* plug) : PanelEditor(plug) {}

HeadlessEditor::~HeadlessEditor() = default;

std::unique_ptr<Editor> HeadlessEditor::Create(PluginBase* plug) {
    return MakeNothrow<HeadlessEditor>(plug);
}

bool HeadlessEditor::PresentRect(const Rect& r) {
    const Rect shown = OverlayEntryBox(r);
    if (presentCount_ < kPresentRecord) presented_[presentCount_] = shown;
    ++presentCount_;
    return true;
}

WindowHandle HeadlessEditor::CreateEditorWindow(WindowHandle /*parent*/) { return nullptr; }

void HeadlessEditor::DestroyEditorWindow() { LoseMouse(); }

void HeadlessEditor::ClearPresented() { presentCount_ = 0; }

MouseMod HeadlessEditor::Mod(MouseButton held, bool down, HeldKeys keys) {
    MouseMod mod;
    mod.left = down && held == MouseButton::Left;
    mod.right = down && held == MouseButton::Right;
    mod.shift = keys.shift;
    mod.ctrl = keys.ctrl;
    mod.alt = keys.alt;
    return mod;
}

void HeadlessEditor::Press(int x, int y, MouseButton button, HeldKeys keys) {
    pointerX_ = x;
    pointerY_ = y;
    if (HandlePress(x, y, button, Mod(button, true, keys))) hasMouse_ = true;
}

void HeadlessEditor::Release(int x, int y, MouseButton button, HeldKeys keys) {
    pointerX_ = x;
    pointerY_ = y;
    if (HandleRelease(x, y, Mod(button, false, keys))) hasMouse_ = false;
}

void HeadlessEditor::Move(int x, int y, MouseButton held, HeldKeys keys) {
    pointerX_ = x;
    pointerY_ = y;
    if (held == MouseButton::Middle || !hasMouse_) return;
    HandleDrag(x, y, Mod(held, true, keys));
}

void HeadlessEditor::DoubleClick(int x, int y, HeldKeys keys) {
    pointerX_ = x;
    pointerY_ = y;
    if (HandleDoubleClick(x, y, Mod(MouseButton::Left, true, keys))) hasMouse_ = true;
}

void HeadlessEditor::Wheel(int x, int y, int detents, HeldKeys keys) {
    HandleWheel(x, y, Mod(MouseButton::Left, false, keys), detents);
}

void HeadlessEditor::LoseMouse() {
    hasMouse_ = false;
    CancelGesture();
}

bool HeadlessEditor::PressKey(int virtualKey) {
    if (EntryBoxOpen()) {
        EntryKeyDown(virtualKey);
        return true;
    }
    return HandleKey(pointerX_, pointerY_, virtualKey);
}

void HeadlessEditor::TypeText(const char* text) {
    for (const char* at = text; at != nullptr && *at != '\0'; ++at) EntryCharacter(*at);
}
