// A window of the host's for a plug-in's editor to open in, as a platform has them: a top-level
// window on Windows, an X11 window on Linux when the program runs with an X server. With it the
// host's user-interface loop (the message pump, the instance's editor idling: effEditIdle, a run
// loop's descriptors and timers) and a count of the editor windows open in it, to see that an
// open opened one and a close closed it. Any format: it drives a host::PluginInstance.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/plugin_host.h"

class EditorParent {
public:
    // Null when there is no window system to open a window in.
    static std::unique_ptr<EditorParent> Create();
    virtual ~EditorParent() = default;

    // What OpenEditor takes: an HWND, an X11 window id.
    virtual void* Handle() const = 0;
    // The host's user-interface loop for a moment, the effect's editor open in this window.
    virtual void Idle(host::PluginInstance& fx) = 0;
    // Editor windows open in this window, after idling until their number is `expected` (or
    // two seconds have passed: a window may come and go a moment after the call).
    virtual int EditorsAfterIdling(host::PluginInstance& fx, int expected) = 0;
    // A user's click at a panel pixel of the effect's open editor (the right button opens a
    // control's entry box), then the user-interface loop until the editor has dealt with it.
    virtual void Click(host::PluginInstance& fx, int x, int y, bool right) = 0;
    // The open editor window's pixels as the screen shows them, 0xRRGGBB row by row, after the
    // user-interface loop ran for a moment; empty when no editor window is open.
    virtual std::vector<uint32_t> EditorPixels(host::PluginInstance& fx) = 0;
    // The display's resolution as editors opening from now on read it, put back when the
    // parent goes; false where the test cannot set it.
    virtual bool SetDisplayDpi(int /*dpi*/) { return false; }
};
