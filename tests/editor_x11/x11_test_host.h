// The X side of a small Linux host for the editor window tests: its own connection to the X
// server the suite runs under (xvfb-run), top-level windows for editors to open in, reading a
// window's pixels back, and a user's input synthesized with the XTEST extension, so that it
// takes the server's real path (pointer grabs, focus, timestamps) to the editor's connection.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor_x11/x11_window.h"

// A window's pixels and the masks of its visual's channels.
struct WindowImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;   // row by row, as the visual stores them
    uint32_t masks[3] = {0, 0, 0};  // red, green, blue
};

// Server resources: how many clients, and how many resources all of them hold.
struct ServerResources {
    int clients = 0;
    int resources = 0;
};

class X11TestHost {
public:
    X11TestHost();
    ~X11TestHost();
    X11TestHost(const X11TestHost&) = delete;
    X11TestHost& operator=(const X11TestHost&) = delete;

    bool Connected() const { return connection_ != nullptr; }
    xcb_connection_t* Connection() const { return connection_; }

    // A mapped top-level window of the screen's own visual at (x, y), selecting `events`.
    uint32_t CreateWindow(int x, int y, int width, int height, uint32_t events = 0);
    void DestroyWindow(uint32_t window);
    std::vector<uint32_t> Children(uint32_t window);
    WindowImage Image(uint32_t window);
    uint32_t Focus();
    void SetFocus(uint32_t window);
    // The next event the host's own windows received, or null.
    XcbEvent PollEvent();

    // Input, in screen pixels.
    void MoveTo(int x, int y);
    void Button(int button, bool down);
    // Presses and releases the key that types the keysym unshifted.
    void Key(uint32_t keysym);
    // Releases whatever buttons a failed test left down.
    void ReleaseButtons();

    // The server's resource database (the root window's RESOURCE_MANAGER), as xrdb sets it;
    // false when it has none. Setting an empty text deletes it.
    bool RootResources(std::string* text);
    void SetRootResources(const std::string& text);

    // Waits until the server has carried out this connection's requests.
    void Sync();
    // The clients and their resources (the X-Resource extension); nothing without it.
    ServerResources Resources();

private:
    uint8_t KeycodeOf(uint32_t keysym);

    xcb_connection_t* connection_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
    bool buttonDown_[6] = {};
};
