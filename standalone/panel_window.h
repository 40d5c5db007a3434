// orv-q12's own top-level X11 window, titled "ORV Q12", of the panel's size and not resizable,
// in which the plug-in's editor opens as it opens in a host's window: this window is the host's
// part (the title, the size, the close button), the editor's child window draws the panel and
// takes the input. Open is the one place that connects to the display and makes the window; the
// destructor the one that destroys both.
// Threads: the program's main thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct xcb_connection_t;

class PanelWindow {
public:
    enum class State { kOpen, kCloseAsked, kLost };

    // An unmapped width x height window on the display DISPLAY names; null with a line for the
    // user in error when there is no display or the window cannot be made.
    static std::unique_ptr<PanelWindow> Open(int width, int height, std::string* error);
    ~PanelWindow();
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;

    // The window's id, as the editor takes its parent.
    void* Handle() const;
    void Show();
    // Gives the window a new fixed size (the panel at another scale); nothing when it has it.
    void Resize(int width, int height);
    // Readable when the window's connection has events for HandleEvents.
    int Descriptor() const;
    // Handles the queued events: kCloseAsked once the window manager passed on the close
    // button's click, kLost once the display or the window is gone.
    State HandleEvents();

private:
    PanelWindow() = default;
    // The atom of the name; 0 when the server does not answer.
    uint32_t Atom(const char* name);
    // The window manager's minimum and maximum: the window's size and no other.
    void FixSize(int width, int height);

    xcb_connection_t* connection_ = nullptr;
    uint32_t window_ = 0;
    uint32_t deleteWindow_ = 0;
    int width_ = 0;
    int height_ = 0;
    State state_ = State::kOpen;
};
