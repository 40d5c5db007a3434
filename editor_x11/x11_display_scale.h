// The scale of the X display the editor opens on: Xft.dpi from the server's resource database
// (the RESOURCE_MANAGER property of the first screen's root window, which xrdb and the desktops
// set), else the GDK_SCALE the desktop exports, else 100%. Read once, when a window opens.
#pragma once

#include <xcb/xcb.h>

#include <cstddef>

#include "editor/panel_scale.h"

// The Xft.dpi of a resource database's text ("name:\tvalue" lines) in dots per inch, or 0.
double XftDpi(const char* resources, size_t length);

PanelScale X11DisplayScale(xcb_connection_t* connection);
