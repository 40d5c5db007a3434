// Without GDI a surface is a zeroed heap block (as a fresh DIB section is) and there is no context.
#include "raster/sys_surface.h"

#include <cstdlib>

namespace sys_surface {

bool OpenContext(DeviceContextHandle* context) {
    *context = nullptr;
    return true;
}

void CloseContext(DeviceContextHandle) {}

bool CreateSurface(DeviceContextHandle, int width, int height, bool, void** surface,
                   void** previous, uint32_t** bits) {
    *previous = nullptr;
    *surface = std::calloc(size_t(width) * size_t(height), 4);
    *bits = static_cast<uint32_t*>(*surface);
    return *surface != nullptr;
}

void ReleaseSurface(DeviceContextHandle, void** surface, void** previous) {
    std::free(*surface);
    *surface = nullptr;
    *previous = nullptr;
}

}  // namespace sys_surface
