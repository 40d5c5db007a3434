// The platform half of SysBitmap: a drawing context and 32-bit surfaces selected into it.
// Implemented by sys_surface_win32.cpp (GDI) and sys_surface_posix.cpp (heap, no context).
#pragma once

#include "raster/raster_bitmap.h"

namespace sys_surface {

// Creates the context a surface is selected into; false when one is needed but none was made.
bool OpenContext(DeviceContextHandle* context);
void CloseContext(DeviceContextHandle context);

// Creates a width x height surface of 32-bit pixels (row 0 at the lowest address unless
// bottomUp) and makes it the context's target. False leaves the three outputs null.
bool CreateSurface(DeviceContextHandle context, int width, int height, bool bottomUp,
                   void** surface, void** previous, uint32_t** bits);
// Puts `previous` back into the context, then releases the surface; both become null.
void ReleaseSurface(DeviceContextHandle context, void** surface, void** previous);

}  // namespace sys_surface
