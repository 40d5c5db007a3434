// What a VST 3 host does differently on each system (vst3_system_posix.cpp, _win32.cpp): where a
// bundle keeps the binary, the module's entry and exit functions, the editor's window type, and
// whether a descriptor registered with the run loop has data waiting.
#pragma once

#include <string>

#include "host/shared_library.h"

namespace host {

// The binary of the bundle folder for this system (Contents/x86_64-linux/NAME.so,
// Contents/x86_64-win/NAME.vst3).
std::string Vst3BundleBinary(const std::string& bundle);
// Calls the module's entry function as this system's hosts do; false, with the reason in error,
// when it is missing where it is required or refuses.
bool EnterVst3Module(const SharedLibrary& library, const std::string& binary, std::string* error);
void ExitVst3Module(const SharedLibrary& library);
// "X11EmbedWindowID" or "HWND".
const char* Vst3WindowType();
// True when reading the descriptor would not block.
bool Vst3DescriptorReadable(int fd);

}  // namespace host
