#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "generated/orv_identity.h"
#include "standalone/panel_window.h"

namespace {

// ICCCM's WM_SIZE_HINTS: the flags, then 17 numbers; the minimum and maximum sizes at 5 to 8.
constexpr uint32_t kMinSizeHint = 1u << 4;
constexpr uint32_t kMaxSizeHint = 1u << 5;
constexpr int kSizeHintWords = 18;

// The desktop entry's name as instance and class, so that desktops group the window with it.
constexpr char kClass[] = ORV_STANDALONE_PROGRAM "\0" ORV_STANDALONE_PROGRAM;

}  // namespace

std::unique_ptr<PanelWindow> PanelWindow::Open(int width, int height, std::string* error) {
    const char* display = std::getenv("DISPLAY");
    const std::string named = display != nullptr ? display : "";
    std::unique_ptr<PanelWindow> w(new (std::nothrow) PanelWindow);
    if (w == nullptr) {
        *error = "out of memory";
        return nullptr;
    }
    w->connection_ = xcb_connect(nullptr, nullptr);
    xcb_connection_t* c = w->connection_;
    if (xcb_connection_has_error(c) != 0) {
        *error = (named.empty() ? std::string("no display (DISPLAY is not set)")
                                : "cannot open the display \"" + named + "\"") +
                 ": use --no-gui to run without a window";
        return nullptr;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    w->window_ = xcb_generate_id(c);
    const uint32_t values[] = {screen->black_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    const xcb_void_cookie_t made = xcb_create_window_checked(
        c, XCB_COPY_FROM_PARENT, w->window_, screen->root, 0, 0, static_cast<uint16_t>(width),
        static_cast<uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
        XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    if (xcb_generic_error_t* failed = xcb_request_check(c, made)) {
        std::free(failed);
        w->window_ = 0;
        *error = "the display refused the window";
        return nullptr;
    }

    const char* title = identity::kProductName;
    const auto titleLength = static_cast<uint32_t>(std::strlen(title));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w->window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        titleLength, title);
    if (const uint32_t netName = w->Atom("_NET_WM_NAME")) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w->window_, netName, w->Atom("UTF8_STRING"),
                            8, titleLength, title);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w->window_, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof(kClass), kClass);
    w->FixSize(width, height);
    // The close button asks, through WM_DELETE_WINDOW, instead of taking the connection away.
    w->deleteWindow_ = w->Atom("WM_DELETE_WINDOW");
    if (const uint32_t protocols = w->Atom("WM_PROTOCOLS"); protocols != 0 && w->deleteWindow_) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w->window_, protocols, XCB_ATOM_ATOM, 32, 1,
                            &w->deleteWindow_);
    }
    // The editor's own connection asks about this window next: it must exist by then.
    xcb_get_input_focus_reply_t* synced =
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    std::free(synced);
    return w;
}

PanelWindow::~PanelWindow() {
    if (connection_ == nullptr) return;
    if (window_ != 0 && state_ != State::kLost) xcb_destroy_window(connection_, window_);
    xcb_flush(connection_);
    xcb_disconnect(connection_);
}

void PanelWindow::FixSize(int width, int height) {
    uint32_t hints[kSizeHintWords] = {};
    hints[0] = kMinSizeHint | kMaxSizeHint;
    hints[5] = hints[7] = static_cast<uint32_t>(width);
    hints[6] = hints[8] = static_cast<uint32_t>(height);
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, kSizeHintWords, hints);
    width_ = width;
    height_ = height;
}

void PanelWindow::Resize(int width, int height) {
    if ((width == width_ && height == height_) || width <= 0 || height <= 0) return;
    FixSize(width, height);
    const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    xcb_configure_window(connection_, window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         size);
    xcb_flush(connection_);
}

uint32_t PanelWindow::Atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const uint32_t atom = reply != nullptr ? reply->atom : 0;
    std::free(reply);
    return atom;
}

void* PanelWindow::Handle() const {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(window_));
}

void PanelWindow::Show() {
    xcb_map_window(connection_, window_);
    xcb_flush(connection_);
}

int PanelWindow::Descriptor() const { return xcb_get_file_descriptor(connection_); }

PanelWindow::State PanelWindow::HandleEvents() {
    while (state_ == State::kOpen) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection_);
        if (event == nullptr) break;
        const uint8_t type = event->response_type & 0x7F;
        if (type == XCB_CLIENT_MESSAGE) {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if (message->format == 32 && message->data.data32[0] == deleteWindow_)
                state_ = State::kCloseAsked;
        } else if (type == XCB_DESTROY_NOTIFY) {
            // Destroyed by someone else (xkill): the window and the panel in it are gone.
            state_ = State::kLost;
        }
        std::free(event);
    }
    if (xcb_connection_has_error(connection_) != 0) state_ = State::kLost;
    return state_;
}
