#include "resources/embedded_resources.h"
#include "resources/module_resource.h"

#include <cstring>

ResourceBytes FindModuleResource(void*, int id, const char* type) {
    ResourceBytes found;
    for (int i = 0; i < kEmbeddedResourceCount; ++i) {
        const EmbeddedResource& entry = kEmbeddedResources[i];
        // Resource ids are 16-bit, as on Windows.
        if (entry.id == (id & 0xFFFF) && type && std::strcmp(entry.type, type) == 0) {
            found.data = entry.data;
            found.size = entry.size;
            break;
        }
    }
    return found;
}
