#include <dlfcn.h>
#include <poll.h>

#include <filesystem>

#include "host/vst3_system.h"

namespace host {

std::string Vst3BundleBinary(const std::string& bundle) {
    const std::filesystem::path path(bundle);
    const std::string name =
        path.filename().empty() ? path.parent_path().stem().string() : path.stem().string();
    return (path / "Contents" / "x86_64-linux" / (name + ".so")).string();
}

// Linux hosts reject a module without ModuleEntry; it takes the module's handle.
bool EnterVst3Module(const SharedLibrary& library, const std::string& binary, std::string* error) {
    using Entry = bool (*)(void*);
    const auto entry = reinterpret_cast<Entry>(library.Symbol("ModuleEntry"));
    if (entry == nullptr || library.Symbol("ModuleExit") == nullptr) {
        if (error != nullptr) *error = binary + " exports no ModuleEntry and ModuleExit";
        return false;
    }
    // The library is loaded already: this only names its handle.
    void* handle = dlopen(binary.c_str(), RTLD_NOW | RTLD_NOLOAD);
    const bool entered = entry(handle);
    if (handle != nullptr) dlclose(handle);
    if (!entered && error != nullptr) *error = binary + ": ModuleEntry refused";
    return entered;
}

void ExitVst3Module(const SharedLibrary& library) {
    using Exit = bool (*)();
    if (const auto exit = reinterpret_cast<Exit>(library.Symbol("ModuleExit"))) exit();
}

const char* Vst3WindowType() { return "X11EmbedWindowID"; }

bool Vst3DescriptorReadable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, 0) > 0 && (entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

}  // namespace host
