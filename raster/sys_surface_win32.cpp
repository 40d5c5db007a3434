// A surface is a DIB section selected into a memory device context, so GDI can draw text into it
// and BitBlt it to a window.
#include "raster/sys_surface.h"

#include <windows.h>

namespace sys_surface {

bool OpenContext(DeviceContextHandle* context) {
    *context = CreateCompatibleDC(nullptr);
    return *context != nullptr;
}

void CloseContext(DeviceContextHandle context) {
    if (context) {
        DeleteDC(static_cast<HDC>(context));
    }
}

bool CreateSurface(DeviceContextHandle context, int width, int height, bool bottomUp,
                   void** surface, void** previous, uint32_t** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = bottomUp ? height : -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!dib || !pixels) {
        if (dib) {
            DeleteObject(dib);
        }
        *surface = *previous = nullptr;
        *bits = nullptr;
        return false;
    }
    *surface = dib;
    *previous = SelectObject(static_cast<HDC>(context), dib);
    *bits = static_cast<uint32_t*>(pixels);
    return true;
}

void ReleaseSurface(DeviceContextHandle context, void** surface, void** previous) {
    if (*previous && context) {
        SelectObject(static_cast<HDC>(context), static_cast<HGDIOBJ>(*previous));
    }
    if (*surface) {
        DeleteObject(static_cast<HGDIOBJ>(*surface));
    }
    *surface = nullptr;
    *previous = nullptr;
}

}  // namespace sys_surface
