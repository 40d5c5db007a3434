#include <windows.h>

#include "host/vst_host.h"

namespace host {

std::unique_ptr<VstModule> VstModule::Load(const std::string& path, std::string* error) {
    HMODULE handle = LoadLibraryA(path.c_str());
    if (handle == nullptr) {
        if (error != nullptr) {
            *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        }
        return nullptr;
    }
    return std::unique_ptr<VstModule>(new VstModule(handle));
}

VstModule::~VstModule() { FreeLibrary(static_cast<HMODULE>(handle_)); }

EntryPoint VstModule::Entry(const char* name) const {
    return reinterpret_cast<EntryPoint>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)));
}

}  // namespace host
