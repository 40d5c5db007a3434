// The scale of the display a window is on: its DPI over 96, from GetDpiForWindow where the
// system has it (looked up at run time: older systems lack it), else from the LOGPIXELSY of the
// window's device context. A host that is not DPI-aware sees 96 everywhere, as Windows scales
// its windows itself.
#pragma once

#include <windows.h>

#include "editor/panel_scale.h"

PanelScale WindowDisplayScale(HWND window);
