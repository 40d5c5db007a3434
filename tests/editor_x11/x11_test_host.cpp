#include "tests/editor_x11/x11_test_host.h"

#include <xcb/res.h>
#include <xcb/xtest.h>

namespace {

const xcb_visualtype_t* FindVisual(const xcb_screen_t* screen, uint32_t id) {
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem > 0; xcb_depth_next(&d)) {
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
            if (v.data->visual_id == id) return v.data;
        }
    }
    return nullptr;
}

}  // namespace

X11TestHost::X11TestHost() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        xcb_disconnect(c);
        return;
    }
    connection_ = c;
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
}

X11TestHost::~X11TestHost() {
    if (connection_ == nullptr) return;
    ReleaseButtons();
    xcb_disconnect(connection_);
}

uint32_t X11TestHost::CreateWindow(int x, int y, int width, int height, uint32_t events) {
    const uint32_t window = xcb_generate_id(connection_);
    const uint32_t values[] = {screen_->black_pixel, events};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen_->root, int16_t(x),
                      int16_t(y), uint16_t(width), uint16_t(height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_map_window(connection_, window);
    Sync();
    return window;
}

void X11TestHost::DestroyWindow(uint32_t window) {
    xcb_destroy_window(connection_, window);
    Sync();
}

std::vector<uint32_t> X11TestHost::Children(uint32_t window) {
    XcbPtr<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
    if (tree == nullptr) return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return {children, children + xcb_query_tree_children_length(tree.get())};
}

WindowImage X11TestHost::Image(uint32_t window) {
    WindowImage image;
    XcbPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    if (geometry == nullptr) return image;
    XcbPtr<xcb_get_image_reply_t> reply(
        xcb_get_image_reply(connection_,
                            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                          geometry->width, geometry->height, ~0u),
                            nullptr));
    if (reply == nullptr) return image;
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    int bytesPerPixel = 0;
    int padBytes = 4;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f)) {
        if (f.data->depth == reply->depth) {
            bytesPerPixel = f.data->bits_per_pixel / 8;
            padBytes = f.data->scanline_pad / 8;
        }
    }
    const xcb_visualtype_t* visual = FindVisual(screen_, reply->visual);
    if (visual == nullptr || (bytesPerPixel != 2 && bytesPerPixel != 4)) return image;
    image.width = geometry->width;
    image.height = geometry->height;
    image.masks[0] = visual->red_mask;
    image.masks[1] = visual->green_mask;
    image.masks[2] = visual->blue_mask;
    const int rowBytes = (image.width * bytesPerPixel + padBytes - 1) / padBytes * padBytes;
    const uint8_t* data = xcb_get_image_data(reply.get());
    const bool msbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    image.pixels.reserve(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = data + y * rowBytes + x * bytesPerPixel;
            uint32_t pixel = 0;
            for (int b = 0; b < bytesPerPixel; ++b) {
                const int shift = 8 * (msbFirst ? bytesPerPixel - 1 - b : b);
                pixel |= uint32_t(p[b]) << shift;
            }
            image.pixels.push_back(pixel);
        }
    }
    return image;
}

uint32_t X11TestHost::Focus() {
    XcbPtr<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    return focus != nullptr ? focus->focus : XCB_NONE;
}

void X11TestHost::SetFocus(uint32_t window) {
    xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    Sync();
}

XcbEvent X11TestHost::PollEvent() { return XcbEvent(xcb_poll_for_event(connection_)); }

void X11TestHost::MoveTo(int x, int y) {
    xcb_test_fake_input(connection_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, screen_->root,
                        int16_t(x), int16_t(y), 0);
    Sync();
}

void X11TestHost::Button(int button, bool down) {
    xcb_test_fake_input(connection_, down ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, uint8_t(button),
                        XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    if (button > 0 && button < 6) buttonDown_[button] = down;
    Sync();
}

void X11TestHost::ReleaseButtons() {
    for (int button = 1; button < 6; ++button) {
        if (buttonDown_[button]) Button(button, false);
    }
}

uint8_t X11TestHost::KeycodeOf(uint32_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    XcbPtr<xcb_get_keyboard_mapping_reply_t> map(xcb_get_keyboard_mapping_reply(
        connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr));
    if (map == nullptr) return 0;
    const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(map.get());
    for (int k = 0; k < count; ++k) {
        if (symbols[k * map->keysyms_per_keycode] == keysym) {
            return uint8_t(setup->min_keycode + k);
        }
    }
    return 0;
}

void X11TestHost::Key(uint32_t keysym) {
    const uint8_t keycode = KeycodeOf(keysym);
    xcb_test_fake_input(connection_, XCB_KEY_PRESS, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(connection_, XCB_KEY_RELEASE, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    Sync();
}

void X11TestHost::Sync() {
    XcbPtr<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

ServerResources X11TestHost::Resources() {
    ServerResources counts;
    XcbPtr<xcb_res_query_clients_reply_t> clients(
        xcb_res_query_clients_reply(connection_, xcb_res_query_clients(connection_), nullptr));
    if (clients == nullptr) return counts;
    for (auto it = xcb_res_query_clients_clients_iterator(clients.get()); it.rem > 0;
         xcb_res_client_next(&it)) {
        ++counts.clients;
        XcbPtr<xcb_res_query_client_resources_reply_t> resources(
            xcb_res_query_client_resources_reply(
                connection_, xcb_res_query_client_resources(connection_, it.data->resource_base),
                nullptr));
        if (resources == nullptr) continue;
        for (auto t = xcb_res_query_client_resources_types_iterator(resources.get()); t.rem > 0;
             xcb_res_type_next(&t)) {
            counts.resources += int(t.data->count);
        }
    }
    return counts;
}

bool X11TestHost::RootResources(std::string* text) {
    XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, screen_->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING,
                         0, 1 << 16),
        nullptr));
    if (reply == nullptr || reply->type == XCB_NONE) return false;
    text->assign(static_cast<const char*>(xcb_get_property_value(reply.get())),
                 static_cast<size_t>(xcb_get_property_value_length(reply.get())));
    return true;
}

void X11TestHost::SetRootResources(const std::string& text) {
    if (text.empty()) {
        xcb_delete_property(connection_, screen_->root, XCB_ATOM_RESOURCE_MANAGER);
    } else {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, screen_->root,
                            XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 8,
                            static_cast<uint32_t>(text.size()), text.data());
    }
    Sync();
}
