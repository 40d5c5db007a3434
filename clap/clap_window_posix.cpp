#include <cstdint>

#include "clap/clap_window.h"

const char* ClapWindowApi() { return clap::kWindowApiX11; }

void* ClapParentWindow(const clap::clap_window& window) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window.x11));
}

bool ClapEditorIdlesInHostLoop() { return true; }
