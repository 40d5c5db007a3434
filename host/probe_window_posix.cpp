#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>

#include "host/probe_window.h"

namespace host {

namespace {

class X11ProbeWindow : public ProbeWindow {
public:
    X11ProbeWindow(xcb_connection_t* connection, xcb_window_t window)
        : connection_(connection), window_(window) {}
    ~X11ProbeWindow() override {
        xcb_destroy_window(connection_, window_);
        xcb_disconnect(connection_);
    }

    void* Handle() const override { return reinterpret_cast<void*>(std::uintptr_t{window_}); }

private:
    xcb_connection_t* connection_;
    xcb_window_t window_;
};

}  // namespace

std::unique_ptr<ProbeWindow> ProbeWindow::Create() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    // The UI's connection must find the window when it makes its own inside it.
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    return std::make_unique<X11ProbeWindow>(connection, window);
}

}  // namespace host
