#include "clap/clap_window.h"

const char* ClapWindowApi() { return clap::kWindowApiWin32; }

void* ClapParentWindow(const clap::clap_window& window) { return window.win32; }

bool ClapEditorIdlesInHostLoop() { return false; }
