#include "tests/win32/host_window.h"

#include <string>

#include "raster/png_writer.h"

HostWindow::HostWindow(int x, int y, int width, int height) {
    WNDCLASSA windowClass = {};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), kClass, &windowClass)) {
        windowClass.lpfnWndProc = &HostWindow::Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        windowClass.lpszClassName = kClass;
        RegisterClassA(&windowClass);
    }
    window_ = CreateWindowExA(0, kClass, "ORV test host", WS_POPUP | WS_CLIPCHILDREN, x, y, width,
                              height, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    UpdateWindow(window_);
    PumpPending();
}

HostWindow::~HostWindow() { Destroy(); }

HostWindow& HostWindow::Shared() {
    static HostWindow* shared = new HostWindow();
    return *shared;
}

void HostWindow::Destroy() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
    PumpPending();
}

LRESULT CALLBACK HostWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            // Taken, as a host's shortcuts take them (no menu of the system's opens).
            if (self != nullptr) self->keys_.push_back({message, wParam});
            return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void PumpPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void PumpMessages(int milliseconds) {
    const DWORD start = GetTickCount();
    do {
        PumpPending();
        Sleep(1);
    } while (GetTickCount() - start < static_cast<DWORD>(milliseconds));
}

std::unique_ptr<SysBitmap> CaptureWindow(HWND window, int width, int height) {
    auto shot = std::make_unique<SysBitmap>(width, height);
    HDC screen = GetDC(window);
    BitBlt(static_cast<HDC>(shot->DeviceContext()), 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ReleaseDC(window, screen);
    GdiFlush();
    // The screen has no alpha; the frame buffer's panel is opaque.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) shot->Bits()[y * shot->RowSpan() + x] |= 0xFF000000u;
    }
    return shot;
}

int DifferingPixels(const RasterBitmap& a, const RasterBitmap& b, int left, int top, int right,
                    int bottom) {
    int differing = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const uint32_t pa = a.Bits()[y * a.RowSpan() + x] & 0xFFFFFFu;
            const uint32_t pb = b.Bits()[y * b.RowSpan() + x] & 0xFFFFFFu;
            differing += pa != pb;
        }
    }
    return differing;
}

void SavePicture(const RasterBitmap& bitmap, const char* name) {
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, sizeof(program));
    std::string path = program;
    path = path.substr(0, path.find_last_of('\\') + 1) + name;
    WritePngFile(path.c_str(), bitmap);
}

int CountGdiObjects() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) return static_cast<int>(counted);
    // Wine recognises an object by the index part of its handle alone.
    int objects = 0;
    for (ULONG_PTR index = 1; index < 0x10000; ++index) {
        objects += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
    }
    return objects;
}

namespace {

BOOL CALLBACK CountWithChildren(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(
        window,
        [](HWND, LPARAM children) -> BOOL {
            ++*reinterpret_cast<int*>(children);
            return TRUE;
        },
        count);
    return TRUE;
}

}  // namespace

int CountThreadWindows() {
    int windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountWithChildren, reinterpret_cast<LPARAM>(&windows));
    return windows;
}
