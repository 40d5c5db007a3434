// ORV Q12 loaded from the built DLL through its entry point, its editor opened in a real host
// window and driven by real window messages; beside it the same effect with the offscreen
// editor, driven by the same gestures, whose frame buffer is what the window must show.
#pragma once

#include <memory>

#include "editor_headless/headless_editor.h"
#include "effect/orv_q12.h"
#include "tests/e2e/module_fixture.h"
#include "tests/editor/panel_layout.h"
#include "tests/win32/host_window.h"

// The Drive knob's rectangle and the panel's size.
constexpr Rect kDriveRect{18, 64, 113, 159};
constexpr int kPanelWidth = 300;
constexpr int kPanelHeight = 350;

// The same effect in this process, with the offscreen editor: the reference picture.
struct ReferencePanel {
    ReferencePanel();
    ~ReferencePanel();
    // Eight ticks: more than any change needs to be drawn twice.
    void Settle();

    vst2::AEffect* effect = nullptr;
    HeadlessEditor* editor = nullptr;
};

class EditorWindowTest : public ModuleTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // effEditOpen in the host window; the editor window found there (null when none).
    HWND OpenEditor(const host::HostedEffect& effect);
    // One tick of the editor's redraw timer, delivered now.
    void Tick() { SendMessageA(editorWindow, WM_TIMER, 2, 0); }
    // Eight ticks of each editor.
    void Settle();

    // Mouse messages posted to the editor window and dispatched.
    void Post(UINT message, WPARAM keys, int x, int y);
    void Press(Point at, UINT message = WM_LBUTTONDOWN, WPARAM keys = MK_LBUTTON) {
        Post(message, keys, at.x, at.y);
    }
    void Release(Point at, UINT message = WM_LBUTTONUP) { Post(message, 0, at.x, at.y); }
    // A left-button drag in one-pixel moves.
    void Drag(Point from, int dx, int dy);
    // A wheel turn over a panel point (the message carries screen coordinates).
    void Wheel(Point at, int delta);

    // The window's pixels now, and how many differ from the reference panel's frame buffer.
    std::unique_ptr<SysBitmap> Capture() const;
    int DifferencesFromReference(const RasterBitmap& shown) const;

    double Parameter(int index) { return fx.GetParameter(index); }
    std::vector<vst2::int32> EditCallsSinceClear() const;

    HostWindow* hostWindow = &HostWindow::Shared();
    host::HostedEffect fx{nullptr};
    HWND editorWindow = nullptr;
    ReferencePanel reference;
};
