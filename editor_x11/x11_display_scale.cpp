#include "editor_x11/x11_display_scale.h"

#include <cstdlib>
#include <cstring>

#include "editor_x11/x11_window.h"

namespace {

constexpr double kBaseDpi = 96.0;
constexpr uint32_t kMaxResourceWords = 64 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

double XftDpi(const char* resources, size_t length) {
    static const char kName[] = "Xft.dpi";
    double dpi = 0.0;
    for (size_t at = 0; at < length;) {
        size_t end = at;
        while (end < length && resources[end] != '\n') ++end;
        size_t p = at;
        while (p < end && IsBlank(resources[p])) ++p;
        const size_t name = sizeof(kName) - 1;
        if (end - p > name && std::memcmp(resources + p, kName, name) == 0) {
            p += name;
            while (p < end && IsBlank(resources[p])) ++p;
            if (p < end && resources[p] == ':') {
                char number[32] = "";
                size_t n = 0;
                for (++p; p < end && n + 1 < sizeof(number); ++p) number[n++] = resources[p];
                number[n] = '\0';
                char* stop = nullptr;
                const double value = std::strtod(number, &stop);
                // The last setting of a name is the one that holds.
                if (stop != number && value > 0.0) dpi = value;
            }
        }
        at = end + 1;
    }
    return dpi;
}

PanelScale X11DisplayScale(xcb_connection_t* connection) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen != nullptr) {
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(connection, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER,
                             XCB_ATOM_STRING, 0, kMaxResourceWords);
        XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr));
        if (reply != nullptr && reply->format == 8) {
            const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
            const int length = xcb_get_property_value_length(reply.get());
            const double dpi = length > 0 ? XftDpi(text, static_cast<size_t>(length)) : 0.0;
            if (dpi > 0.0) return PanelScale::FromFactor(dpi / kBaseDpi);
        }
    }
    if (const char* gdk = std::getenv("GDK_SCALE")) {
        const int factor = std::atoi(gdk);
        if (factor >= 1) return PanelScale(100 * factor);
    }
    return PanelScale(100);
}
