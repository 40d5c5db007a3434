#include "editor_win32/win32_display_scale.h"

namespace {

constexpr int kBaseDpi = 96;

using GetDpiForWindowProc = UINT(WINAPI*)(HWND);

GetDpiForWindowProc FindGetDpiForWindow() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
}

}  // namespace

PanelScale WindowDisplayScale(HWND window) {
    UINT dpi = 0;
    if (GetDpiForWindowProc getDpi = FindGetDpiForWindow();
        getDpi != nullptr && window != nullptr) {
        dpi = getDpi(window);
    }
    if (dpi == 0) {
        HDC context = GetDC(window);
        if (context != nullptr) {
            dpi = static_cast<UINT>(GetDeviceCaps(context, LOGPIXELSY));
            ReleaseDC(window, context);
        }
    }
    if (dpi == 0) return PanelScale(100);
    return PanelScale::FromFactor(static_cast<double>(dpi) / kBaseDpi);
}
