// A window of the host's own that nobody sees, for a plug-in UI that tells its size only once it
// has been made in a window (LV2's): an unmapped X11 window on a connection of its own.
// Lifecycle: the window and the connection go with the object. Threads: the caller's.
#pragma once

#include <memory>

namespace host {

class ProbeWindow {
public:
    // Null when there is no X server to make it on.
    static std::unique_ptr<ProbeWindow> Create();
    virtual ~ProbeWindow() = default;

    // The window, as a UI's parent: an X11 window id.
    virtual void* Handle() const = 0;
};

}  // namespace host
