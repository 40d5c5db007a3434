// The window system the panel embeds in, which differs per platform: the API a host names it
// by, the host's window as the editor takes it, and who runs the editor's events and redraw tick.
#pragma once

#include "clap/clap_abi.h"

// "x11" on Linux, "win32" on Windows.
const char* ClapWindowApi();
// The host's window in a clap_window of that API, as Editor::CreateEditorWindow takes it.
void* ClapParentWindow(const clap::clap_window& window);
// True where the editor's events and tick come from the host's loop (timer-support and
// posix-fd-support, on Linux); false where its window has a timer of its own (Windows).
bool ClapEditorIdlesInHostLoop();
