// HeadlessEditor: the editor with no window, on every platform. Its frame buffer is what a
// window would show; Tick() does what a window's redraw timer does; PresentRect records what
// would have been copied to the screen. Tests and orv-snapshot drive it through the hooks below,
// which deliver mouse, wheel, key and typing events the way a window's messages would.
// Threads: the hooks and Tick run on the thread that plays the window thread.
#pragma once

#include <memory>

#include "editor/panel_editor.h"

// Modifier keys held during a simulated event.
struct HeldKeys {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

class HeadlessEditor : public PanelEditor {
public:
    explicit HeadlessEditor(PluginBase* plug);
    ~HeadlessEditor() override;

    // An editor factory for the effect; null when memory is short.
    static std::unique_ptr<Editor> Create(PluginBase* plug);

    void PlatformHook() override {}
    bool PresentRect(const Rect& r) override;
    WindowHandle CreateEditorWindow(WindowHandle parent) override;
    // As a window's closing: a gesture in progress is cancelled.
    void DestroyEditorWindow() override;
    WindowHandle EditorWindowHandle() override { return nullptr; }

    // Positions are the frame buffer's pixels, which are panel units at 100%.
    // A button going down or up; the window keeps the mouse from a press to its release.
    void Press(int x, int y, MouseButton button = MouseButton::Left, HeldKeys keys = {});
    void Release(int x, int y, MouseButton button = MouseButton::Left, HeldKeys keys = {});
    // The pointer moving with a button held.
    void Move(int x, int y, MouseButton held = MouseButton::Left, HeldKeys keys = {});
    // The second press of a left-button double click (a click comes before it).
    void DoubleClick(int x, int y, HeldKeys keys = {});
    void Wheel(int x, int y, int detents, HeldKeys keys = {});
    // The window losing the mouse mid-gesture (another window took the capture).
    void LoseMouse();
    // A key by its Windows virtual-key number: to the entry box while one is open, else to the
    // control under the pointer. False when nothing took it (a window hands it to the host).
    bool PressKey(int virtualKey);
    // Characters typed into the entry box.
    void TypeText(const char* text);

    // Presents are recorded between two ClearPresented calls: the count, and the rectangle of
    // each of the first kPresentRecord (later ones are only counted, so presenting never
    // allocates).
    static constexpr int kPresentRecord = 256;
    int PresentCount() const { return presentCount_; }
    // The rectangle of present i (from 0, below PresentCount and kPresentRecord).
    const Rect& Presented(int i) const { return presented_[i]; }
    void ClearPresented();

private:
    static MouseMod Mod(MouseButton held, bool down, HeldKeys keys);

    Rect presented_[kPresentRecord] = {};
    int presentCount_ = 0;
    bool hasMouse_ = false;
    int pointerX_ = 0;
    int pointerY_ = 0;
};
