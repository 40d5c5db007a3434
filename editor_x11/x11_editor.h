// X11Editor: the editor inside a Linux host's X11 window. Opening makes the editor's own
// connection to the X server and a child of the host's window (X11Window); the host's idle call
// then handles the queued X events and runs the redraw tick whenever 20 ms have passed. It only
// translates: X input becomes the portable editor's Handle* calls, Expose a redraw, and
// presenting copies the frame buffer to the window. The value box is the in-panel one, which
// holds the keyboard focus while it is open; otherwise keys go to the host's window.
// Threads: the host's user-interface thread (effEditOpen, effEditIdle, effEditClose), like a
// window thread; ReceiveParamFromPlugin as in Editor.
#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <memory>

#include "editor/panel_editor.h"
#include "editor_x11/double_click.h"
#include "editor_x11/x11_display_scale.h"
#include "editor_x11/x11_keymap.h"
#include "editor_x11/x11_window.h"

class X11Editor : public PanelEditor {
public:
    explicit X11Editor(PluginBase* plug);
    ~X11Editor() override;

    void PlatformHook() override {}
    bool PresentRect(const Rect& r) override;
    void OpenEntryBox(Control* control, const TextStyle& style, const Rect& r, const char* text,
                      PluginParam* param) override;
    // The host's window, as an X11 Window id; null when there is no display to open it on.
    WindowHandle CreateEditorWindow(WindowHandle parent) override;
    void DestroyEditorWindow() override;
    WindowHandle EditorWindowHandle() override;
    bool CanOpenWindow() const override { return true; }
    void DestroyEntryBox() override;
    void Idle() override;
    void OnScaleChanged() override;
    void OnMenuShown(bool shown) override;
    int EventFileDescriptor() const override;

private:
    void HandleEvent(const xcb_generic_event_t& event);
    void OnButtonPress(const xcb_button_press_event_t& event);
    void OnButtonRelease(const xcb_button_release_event_t& event);
    void OnExpose(const xcb_expose_event_t& event);
    void OnKeyPress(const xcb_key_press_event_t& event);
    void OnFocus(const xcb_focus_in_event_t& event, bool gained);
    // The mouse went with the window (unmapped, destroyed, closed): the gesture is cancelled.
    void LoseMouse();
    // The last of a run of pointer motions: the drags in between add up to the same move.
    void DeliverMotion();

    std::unique_ptr<X11Window> window_;
    X11Keymap keymap_;
    DoubleClick doubleClick_;
    std::chrono::steady_clock::time_point lastTick_{};
    Rect exposed_{};         // the union of an Expose series, drawn at its last event
    bool hasMouse_ = false;  // a press went to the editor: drags reach it until the release
    bool motionPending_ = false;
    xcb_motion_notify_event_t motion_{};
    uint32_t lastInputTime_ = XCB_CURRENT_TIME;
    // The focus the box took, whose FocusIn is the box's own and not the user's doing.
    bool focusRequested_ = false;
    uint16_t focusRequest_ = 0;
};
