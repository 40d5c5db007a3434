// The built module's editor in a window of a small X11 host: per test an effect created through
// the module's entry point with a recording host, a host window on the screen for its editor,
// effEditIdle called the way a host's user-interface loop calls it, and the user's input through
// the X server. The oracle for the pixels is the headless editor's frame buffer for the same
// parameter values.
#pragma once

#include <functional>
#include <vector>

#include "editor_headless/headless_editor.h"
#include "tests/e2e/module_fixture.h"
#include "tests/editor/panel_layout.h"
#include "tests/editor_x11/x11_test_host.h"

// The panel the headless editor draws for normalised parameter values (one per parameter), after
// `gestures`, row by row as 0xAARRGGBB.
std::vector<uint32_t> HeadlessPanel(const std::vector<float>& values,
                                    const std::function<void(HeadlessEditor&)>& gestures = {});
// Pixels of a window that differ from `expected` at the window's precision.
int DifferingPixels(X11TestHost& x11, uint32_t window, const std::vector<uint32_t>& expected);

class EditorWindowTest : public ModuleTest {
protected:
    // Where the host's window lies on the screen; the editor opens at its top left corner.
    static constexpr int kParentX = 100;
    static constexpr int kParentY = 100;
    static constexpr uint32_t kButtonLeft = 1;
    static constexpr uint32_t kButtonRight = 3;

    void SetUp() override;
    void TearDown() override;

    // effEditOpen in the host's window; true when the editor's window appeared there.
    bool OpenEditor();
    // effEditIdle every 5 ms until `done` holds (true) or two seconds have passed (false).
    bool IdleUntil(const std::function<bool()>& done);
    void IdleFor(int milliseconds);

    // The pointer over panel pixel p (the window may lie outside the panel's pixels).
    void PointAt(Point p) { x11.MoveTo(kParentX + p.x, kParentY + p.y); }
    void Click(Point p, uint32_t button = kButtonLeft);
    float Param(int index) const { return fx.GetParameter(index); }

    // The panel the headless editor draws for an effect's parameter values, after `gestures`.
    static std::vector<uint32_t> PanelOf(const host::HostedEffect& effect,
                                         const std::function<void(HeadlessEditor&)>& gestures = {});
    std::vector<uint32_t> ExpectedPanel(const std::function<void(HeadlessEditor&)>& gestures = {}) {
        return PanelOf(fx, gestures);
    }
    // Pixels of an editor's window (this test's by default) that differ from `expected` at the
    // window's precision.
    int DifferingPixels(const std::vector<uint32_t>& expected, uint32_t window = 0);
    // Idles until the window shows `expected`.
    bool Shows(const std::vector<uint32_t>& expected) {
        return IdleUntil([&] { return DifferingPixels(expected) == 0; });
    }
    // The window's pixels as a PNG file in the test output folder, for a person to look at.
    void SaveWindow(const char* name);

    X11TestHost x11;
    host::HostedEffect fx{nullptr};
    uint32_t parent = 0;
    uint32_t child = 0;
};
