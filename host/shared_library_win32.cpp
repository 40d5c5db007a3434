#include <windows.h>

#include "host/shared_library.h"

namespace host {

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::string& path, std::string* error) {
    HMODULE handle = LoadLibraryA(path.c_str());
    if (handle == nullptr) {
        if (error != nullptr) {
            *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        }
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* SharedLibrary::Symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace host
