#include <dlfcn.h>

#include "host/vst_host.h"

namespace host {

std::unique_ptr<VstModule> VstModule::Load(const std::string& path, std::string* error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        if (error != nullptr) *error = dlerror();
        return nullptr;
    }
    return std::unique_ptr<VstModule>(new VstModule(handle));
}

VstModule::~VstModule() { dlclose(handle_); }

EntryPoint VstModule::Entry(const char* name) const {
    return reinterpret_cast<EntryPoint>(dlsym(handle_, name));
}

}  // namespace host
