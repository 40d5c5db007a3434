// X11Window: the editor's own connection to the X server and the child window it opens in the
// host's window, with the graphics context (and, for a parent of another visual, the colormap)
// it draws with. Open is the one place that creates these and the destructor the one that
// destroys them; the server frees whatever a closed connection leaves. XCB keeps every X error
// on this connection, so a window the host destroyed first costs an error event, not the host.
// Threads: the host's user-interface thread (effEditOpen, effEditIdle, effEditClose).
#pragma once

#include <xcb/xcb.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "editor/editor_types.h"
#include "editor_x11/x11_pixel_format.h"

class RasterBitmap;

// A reply or an event from XCB, which the receiver frees.
struct XcbFree {
    void operator()(void* p) const;
};
template <typename T>
using XcbPtr = std::unique_ptr<T, XcbFree>;
using XcbEvent = XcbPtr<xcb_generic_event_t>;

class X11Window {
public:
    // A mapped width x height child of `parent` at (x, y) on the display DISPLAY names. Null
    // when there is no display, the parent is no window there, its screen offers no true-colour
    // visual of 16 or 32 bits per pixel, or the window cannot be made.
    static std::unique_ptr<X11Window> Open(uint32_t parent, int x, int y, int width, int height);
    ~X11Window();
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    uint32_t Id() const { return window_; }
    xcb_connection_t* Connection() const { return connection_; }
    // False once the server is gone or the host destroyed the window.
    bool Usable() const;
    // The host destroyed the window (with its parent): nothing more is sent to it.
    void Forget() { destroyed_ = true; }

    // The next queued event, or null.
    XcbEvent PollEvent();
    void Flush();
    // Waits until the server has carried out every request sent so far.
    void Sync();

    // Copies the rectangle of the frame (cut to the frame and the window) to the same place in
    // the window.
    void Put(const RasterBitmap& frame, const Rect& r);
    // Gives the window a new size (the panel at a new scale).
    void Resize(int width, int height);
    // The window's position in its parent; false when it is gone.
    bool Position(int& x, int& y);

    // The keyboard focus for the window, and KeyPress events with it; the sequence number of the
    // request, which the FocusIn it causes carries.
    uint16_t TakeKeyboard(uint32_t time);
    // Gives the focus back to the window that had it, if the window still has it, and stops
    // taking keys.
    void ReturnKeyboard();

private:
    X11Window() = default;
    void SelectEvents(uint32_t mask);

    xcb_connection_t* connection_ = nullptr;
    uint32_t window_ = 0;
    uint32_t gc_ = 0;
    uint32_t colormap_ = 0;  // only when the window needed its own
    int width_ = 0;
    int height_ = 0;
    uint8_t depth_ = 0;
    X11PixelFormat format_{0, 0, 0, 0, 0, false};
    uint32_t maxRequestBytes_ = 0;
    std::unique_ptr<uint8_t[]> rows_;  // rows of a rectangle, gathered for a request
    size_t rowsBytes_ = 0;
    uint32_t previousFocus_ = XCB_NONE;
    bool destroyed_ = false;
};
