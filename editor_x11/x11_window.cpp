#include "editor_x11/x11_window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "raster/raster_bitmap.h"

void XcbFree::operator()(void* p) const { std::free(p); }

namespace {

constexpr uint8_t kDepth = 24;  // the usual depth, the one a visual is sought in last
constexpr uint32_t kPutImageHeaderBytes = 24;
// Rows gathered for one request at most: a knob's frame in one, a larger area in a few.
constexpr size_t kGatherBytes = 64 * 1024;
constexpr char kTitle[] = "PluginEditor";

// Input the window always takes; KeyPress is added only while it holds the keyboard.
constexpr uint32_t kEventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_BUTTON_1_MOTION |
                                XCB_EVENT_MASK_BUTTON_3_MOTION | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                                XCB_EVENT_MASK_FOCUS_CHANGE;

const xcb_screen_t* ScreenWithRoot(const xcb_setup_t* setup, uint32_t root) {
    for (auto it = xcb_setup_roots_iterator(setup); it.rem > 0; xcb_screen_next(&it)) {
        if (it.data->root == root) return it.data;
    }
    return nullptr;
}

// A visual the window can draw in: true colour, 16 or 32 bits per pixel, and no alpha channel
// (a 32-bit visual would let a compositor show the panel through).
struct VisualChoice {
    const xcb_visualtype_t* visual = nullptr;
    uint8_t depth = 0;
    X11PixelFormat format{0, 0, 0, 0, 0, false};
};

VisualChoice Qualify(const xcb_setup_t* setup, const xcb_visualtype_t* visual, uint8_t depth) {
    VisualChoice choice;
    if (visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR || depth < 15 || depth > 30) return choice;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth != depth) continue;
        choice.format = X11PixelFormat(visual->red_mask, visual->green_mask, visual->blue_mask,
                                       it.data->bits_per_pixel, it.data->scanline_pad,
                                       setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST);
        if (choice.format.valid) {
            choice.visual = visual;
            choice.depth = depth;
        }
        break;
    }
    return choice;
}

// The parent's visual when it will do, else the screen's own, else any 24-bit one.
VisualChoice ChooseVisual(const xcb_setup_t* setup, const xcb_screen_t* screen, uint32_t parent) {
    for (uint32_t wanted : {parent, screen->root_visual, uint32_t{XCB_NONE}}) {
        for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem > 0; xcb_depth_next(&d)) {
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
                const bool candidate =
                    wanted != XCB_NONE ? v.data->visual_id == wanted : d.data->depth == kDepth;
                if (!candidate) continue;
                VisualChoice choice = Qualify(setup, v.data, d.data->depth);
                if (choice.visual != nullptr) return choice;
            }
        }
    }
    return {};
}

}  // namespace

std::unique_ptr<X11Window> X11Window::Open(uint32_t parent, int x, int y, int width, int height) {
    if (parent == XCB_NONE || width <= 0 || height <= 0) return nullptr;
    std::unique_ptr<X11Window> w(new (std::nothrow) X11Window);
    if (w == nullptr) return nullptr;
    w->connection_ = xcb_connect(nullptr, nullptr);
    xcb_connection_t* c = w->connection_;
    if (xcb_connection_has_error(c) != 0) return nullptr;

    const xcb_setup_t* setup = xcb_get_setup(c);
    XcbPtr<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr));
    XcbPtr<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, parent), nullptr));
    if (tree == nullptr || attributes == nullptr) return nullptr;
    const xcb_screen_t* screen = ScreenWithRoot(setup, tree->root);
    if (screen == nullptr) return nullptr;
    const VisualChoice choice = ChooseVisual(setup, screen, attributes->visual);
    if (choice.visual == nullptr) return nullptr;
    const uint32_t visual = choice.visual->visual_id;
    w->format_ = choice.format;

    uint32_t colormap = screen->default_colormap;
    if (visual != screen->root_visual) {
        w->colormap_ = colormap = xcb_generate_id(c);
        xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, colormap, screen->root, visual);
    }
    // No background: an uncovered area keeps what it showed until the editor paints it.
    const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, kEventMask, colormap};
    const uint32_t window = xcb_generate_id(c);
    const xcb_void_cookie_t created = xcb_create_window_checked(
        c, choice.depth, window, parent, static_cast<int16_t>(x), static_cast<int16_t>(y),
        static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0,
        XCB_WINDOW_CLASS_INPUT_OUTPUT, visual,
        XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP, values);
    if (XcbPtr<xcb_generic_error_t> error{xcb_request_check(c, created)}; error != nullptr) {
        return nullptr;
    }
    w->window_ = window;
    w->width_ = width;
    w->height_ = height;

    w->gc_ = xcb_generate_id(c);
    const uint32_t noExposures = 0;
    xcb_create_gc(c, w->gc_, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof(kTitle) - 1, kTitle);
    w->depth_ = choice.depth;
    w->maxRequestBytes_ = xcb_get_maximum_request_length(c) * 4;
    w->rowsBytes_ = std::max(kGatherBytes, static_cast<size_t>(w->format_.RowBytes(width)));
    w->rows_.reset(new (std::nothrow) uint8_t[w->rowsBytes_]);
    if (w->rows_ == nullptr) return nullptr;
    xcb_map_window(c, window);
    xcb_flush(c);
    return w;
}

X11Window::~X11Window() {
    if (connection_ == nullptr) return;
    if (window_ != XCB_NONE && !destroyed_) xcb_destroy_window(connection_, window_);
    if (gc_ != XCB_NONE) xcb_free_gc(connection_, gc_);
    if (colormap_ != XCB_NONE) xcb_free_colormap(connection_, colormap_);
    xcb_flush(connection_);
    xcb_disconnect(connection_);
}

bool X11Window::Usable() const { return !destroyed_ && xcb_connection_has_error(connection_) == 0; }

XcbEvent X11Window::PollEvent() { return XcbEvent(xcb_poll_for_event(connection_)); }

void X11Window::Flush() { xcb_flush(connection_); }

void X11Window::Sync() {
    XcbPtr<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

void X11Window::Put(const RasterBitmap& frame, const Rect& r) {
    const int right = std::min({r.right, frame.Width(), width_});
    const int bottom = std::min({r.bottom, frame.Height(), height_});
    const int left = std::max(r.left, 0);
    const int top = std::max(r.top, 0);
    if (!Usable() || frame.Bits() == nullptr || left >= right || top >= bottom) return;
    const int width = right - left;
    const int rowBytes = format_.RowBytes(width);
    // Whole rows of a frame whose rows lie back to back go as they are; anything else is
    // gathered (and converted) first.
    const bool direct = format_.sameAsFrame && left == 0 && width == frame.RowSpan();
    const int requestRows = static_cast<int>(maxRequestBytes_ - kPutImageHeaderBytes) / rowBytes;
    const int gatherRows = static_cast<int>(rowsBytes_) / rowBytes;
    const int bandRows = std::max(1, direct ? requestRows : std::min(requestRows, gatherRows));
    for (int y = top; y < bottom; y += bandRows) {
        const int rows = std::min(bandRows, bottom - y);
        const uint32_t* source = frame.Bits() + static_cast<size_t>(y) * frame.RowSpan() + left;
        const uint8_t* data = reinterpret_cast<const uint8_t*>(source);
        if (!direct) {
            uint8_t* out = rows_.get();
            for (int row = 0; row < rows; ++row, source += frame.RowSpan(), out += rowBytes) {
                if (format_.sameAsFrame) {
                    std::memcpy(out, source, static_cast<size_t>(width) * 4);
                } else {
                    format_.ConvertRow(source, width, out);
                }
            }
            data = rows_.get();
        }
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_,
                      static_cast<uint16_t>(width), static_cast<uint16_t>(rows),
                      static_cast<int16_t>(left), static_cast<int16_t>(y), 0, depth_,
                      static_cast<uint32_t>(rowBytes * rows), data);
    }
}

void X11Window::Resize(int width, int height) {
    if (!Usable() || width <= 0 || height <= 0) return;
    const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    xcb_configure_window(connection_, window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         size);
    width_ = width;
    height_ = height;
}

bool X11Window::Position(int& x, int& y) {
    if (!Usable()) return false;
    XcbPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window_), nullptr));
    if (geometry == nullptr) return false;
    x = geometry->x;
    y = geometry->y;
    return true;
}

void X11Window::SelectEvents(uint32_t mask) {
    xcb_change_window_attributes(connection_, window_, XCB_CW_EVENT_MASK, &mask);
}

uint16_t X11Window::TakeKeyboard(uint32_t time) {
    XcbPtr<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    previousFocus_ = focus != nullptr ? focus->focus : XCB_NONE;
    SelectEvents(kEventMask | XCB_EVENT_MASK_KEY_PRESS);
    return static_cast<uint16_t>(
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_PARENT, window_, time).sequence);
}

void X11Window::ReturnKeyboard() {
    if (!Usable()) return;
    SelectEvents(kEventMask);
    XcbPtr<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    // Whoever took the focus from the box keeps it.
    if (focus != nullptr && focus->focus == window_) {
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_PARENT, previousFocus_, XCB_CURRENT_TIME);
    }
    previousFocus_ = XCB_NONE;
}
