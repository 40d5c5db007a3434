#include <filesystem>

#include "host/vst3_system.h"

namespace host {

std::string Vst3BundleBinary(const std::string& bundle) {
    const std::filesystem::path path(bundle);
    const std::string name =
        path.filename().empty() ? path.parent_path().stem().string() : path.stem().string();
    return (path / "Contents" / "x86_64-win" / (name + ".vst3")).string();
}

// InitDll is optional on Windows; one that answers false keeps the DLL from being used.
bool EnterVst3Module(const SharedLibrary& library, const std::string& binary, std::string* error) {
    using Init = bool (*)();
    const auto init = reinterpret_cast<Init>(library.Symbol("InitDll"));
    if (init == nullptr || init()) return true;
    if (error != nullptr) *error = binary + ": InitDll refused";
    return false;
}

void ExitVst3Module(const SharedLibrary& library) {
    using Exit = bool (*)();
    if (const auto exit = reinterpret_cast<Exit>(library.Symbol("ExitDll"))) exit();
}

const char* Vst3WindowType() { return "HWND"; }

// No descriptors on Windows: the editor's window has its own timer.
bool Vst3DescriptorReadable(int) { return false; }

}  // namespace host
