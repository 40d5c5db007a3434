// The effect with its offscreen editor, created through an entry point bound to a recording host
// (so every call to the host is seen), plus what the editor tests read off the panel: control
// values, parameter values and which strip frame a control's pixels show.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "editor_headless/headless_editor.h"
#include "effect/orv_q12.h"
#include "host/vst_host.h"
#include "tests/editor/edit_calls.h"
#include "tests/editor/panel_layout.h"

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    Control& ControlOf(int index) const { return *editor->ControlAt(index); }
    double ParamValue(int index) const { return fx->Param(index)->value; }
    // The strip frame (from 1) that the control's rectangle of the frame buffer shows, or -1.
    int FrameShown(int index) const;
    void Click(Point at, MouseButton button = MouseButton::Left, HeldKeys keys = {}) {
        editor->Press(at.x, at.y, button, keys);
        editor->Release(at.x, at.y, button, keys);
    }
    // A press, then moves of one pixel at a time, then the release.
    void Drag(Point from, int dx, int dy, HeldKeys keys = {});
    // Ticks until a tick presents nothing (at most eight).
    void Settle();
    // How many pixels of the frame buffer differ from a golden PNG; -1, with a failure, when the
    // image is missing or of another size.
    int PixelsDifferingFrom(const char* goldenPath) const;
    // The host's calls since the last ClearCalls (tests/editor/edit_calls.h).
    std::string EditsOf(int index) const;
    std::string UnbalancedEdits() const;

    host::RecordingHost host;
    vst2::AEffect* effect = nullptr;
    ORV_Q12* fx = nullptr;
    HeadlessEditor* editor = nullptr;
};
