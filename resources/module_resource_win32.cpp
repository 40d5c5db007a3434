#include "resources/module_resource.h"

#include <windows.h>

ResourceBytes FindModuleResource(void* module, int id, const char* type) {
    ResourceBytes found;
    const HMODULE instance = static_cast<HMODULE>(module);
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(id & 0xFFFF), type);
    if (!resource) {
        return found;
    }
    const DWORD size = SizeofResource(instance, resource);
    HGLOBAL loaded = LoadResource(instance, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data && size > 0 && size <= 0x7FFFFFFF) {
        found.data = static_cast<const unsigned char*>(data);
        found.size = int(size);
    }
    return found;
}
