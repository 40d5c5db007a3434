// The host's side of the editor window tests: a visible top-level window that records the
// keyboard messages reaching it, message pumping, the pixels of a window read back from its device
// context, and counts of the process's GDI objects and of the thread's windows.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "raster/sys_bitmap.h"

class HostWindow {
public:
    static constexpr const char* kClass = "OrvTestHostWindow";

    // Room for the panel at 200%.
    HostWindow(int x = 40, int y = 40, int width = 640, int height = 720);
    // One window for the whole test program: destroying a window costs Wine two seconds
    // without a window manager. It lives until the process ends.
    static HostWindow& Shared();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return window_; }
    // The keyboard messages this window received (key downs and ups, characters, and their
    // system forms), in order.
    struct KeyMessage {
        UINT message;
        WPARAM wParam;
        bool operator==(const KeyMessage& o) const {
            return message == o.message && wParam == o.wParam;
        }
    };
    const std::vector<KeyMessage>& Keys() const { return keys_; }
    void ClearKeys() { keys_.clear(); }
    // Destroyed early, as a host closing its own window before it tells the plug-in.
    void Destroy();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    std::vector<KeyMessage> keys_;
};

// Dispatches this thread's messages for the time given (the editor's own timer fires meanwhile).
void PumpMessages(int milliseconds);
// Dispatches what is queued now.
void PumpPending();

// The window's client area as the screen shows it, 0xFFRRGGBB.
std::unique_ptr<SysBitmap> CaptureWindow(HWND window, int width, int height);
// Pixels within the area whose colour (alpha ignored) differs between the two bitmaps.
int DifferingPixels(const RasterBitmap& a, const RasterBitmap& b, int left, int top, int right,
                    int bottom);
// Writes a capture next to the test program, for a person to look at.
void SavePicture(const RasterBitmap& bitmap, const char* name);

// GDI objects of this process: GetGuiResources where the system answers it, else the handle
// values that GetObjectType recognises (Wine answers GetGuiResources with 0).
int CountGdiObjects();
// Windows of this thread, children included.
int CountThreadWindows();
