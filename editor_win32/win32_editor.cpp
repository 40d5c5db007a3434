// The editor window's life: the window class, opening and closing, painting from the frame
// buffer, growing with the editor, and the pointer.
#include "editor_win32/win32_editor.h"

#include "editor_win32/win32_display_scale.h"
#include "editor_win32/win32_editor_procedures.h"
#include "plugin/plugin_lock.h"

namespace {

// Editor windows of this module holding the window class; the class is registered from the
// first to the last of them. Process-wide, created with the module: a host may run each
// plug-in's window on a user-interface thread of its own, so the count, and the registering and
// unregistering it decides, go under the lock.
int windowClassUsers = 0;
PluginLock windowClassLock;

// A child window that is not an MDI child: a host's container that grows with the editor.
bool IsPlainChild(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0 &&
           (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_MDICHILD) == 0;
}

}  // namespace

Win32Editor::Win32Editor(PluginBase* plug) : Editor(plug) {}

Win32Editor::~Win32Editor() { DestroyEditorWindow(); }

void Win32Editor::PlatformHook() {}

void Win32Editor::AcquireWindowClass() {
    if (holdsWindowClass) return;
    LockGuard guard(windowClassLock);
    if (windowClassUsers++ == 0) {
        WNDCLASSA windowClass = {};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &Win32EditorProcedures::Window;
        windowClass.hInstance = static_cast<HINSTANCE>(instance);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kWindowClass;
        // A failure shows as a failed window creation, which returns the count.
        RegisterClassA(&windowClass);
    }
    holdsWindowClass = true;
}

void Win32Editor::ReleaseWindowClass() {
    if (!holdsWindowClass) return;
    holdsWindowClass = false;
    LockGuard guard(windowClassLock);
    if (--windowClassUsers == 0) UnregisterClassA(kWindowClass, static_cast<HINSTANCE>(instance));
}

WindowHandle Win32Editor::CreateEditorWindow(WindowHandle parent) {
    parentWindow = parent;
    FoundDisplayScale(WindowDisplayScale(AsWindow(parent)));
    int x = 0;
    int y = 0;
    int w = PixelWidth();
    int h = PixelHeight();
    if (window != nullptr) {
        // Reopening: the same place in the parent's client area and the same size.
        RECT old;
        GetWindowRect(AsWindow(window), &old);
        POINT corner{old.left, old.top};
        ScreenToClient(AsWindow(parent), &corner);
        x = corner.x;
        y = corner.y;
        w = old.right - old.left;
        h = old.bottom - old.top;
    }
    // Also returns a class count that outlived a window destroyed by someone else.
    DestroyEditorWindow();

    AcquireWindowClass();
    HWND created =
        CreateWindowExA(0, kWindowClass, kWindowTitle, WS_CHILD | WS_VISIBLE, x, y, w, h,
                        AsWindow(parent), nullptr, static_cast<HINSTANCE>(instance), this);
    if (created == nullptr) {
        ReleaseWindowClass();
        return nullptr;
    }
    window = created;
    wheelRemainder = 0;
    MarkAllChanged();
    return window;
}

void Win32Editor::DestroyEditorWindow() {
    // A gesture in progress ends with the window, its edit too (the window's own loss of the
    // mouse no longer reaches the editor).
    CancelGesture();
    // The box goes first, with its procedure put back, so no message of its ending reaches us.
    if (EntryBoxOpen()) FinishEntry(false);
    if (window != nullptr) {
        HWND closing = AsWindow(window);
        window = nullptr;
        SetWindowLongPtrA(closing, GWLP_USERDATA, 0);
        DestroyWindow(closing);
    }
    ReleaseWindowClass();
}

void Win32Editor::ForgetWindow() {
    CancelGesture();
    ForgetEntryBox();
    if (window != nullptr) SetWindowLongPtrA(AsWindow(window), GWLP_USERDATA, 0);
    window = nullptr;
}

bool Win32Editor::PresentRect(const Rect& r) {
    if (window == nullptr || !drawBitmap) return true;
    PAINTSTRUCT paint;
    HDC target = BeginPaint(AsWindow(window), &paint);
    if (target != nullptr) {
        BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top,
               static_cast<HDC>(drawBitmap->DeviceContext()), r.left, r.top, SRCCOPY);
    }
    EndPaint(AsWindow(window), &paint);
    return true;
}

void Win32Editor::RedrawRect(const Rect& r) {
    // Without a window, InvalidateRect would repaint every window on the desktop.
    if (window == nullptr) return;
    const Rect pixels = PixelArea(r);
    const RECT area{pixels.left, pixels.top, pixels.right, pixels.bottom};
    InvalidateRect(AsWindow(window), &area, FALSE);
    if (EntryBoxOpen() && entryControl != nullptr) {
        // The window does not clip its children: painting the edited control would cover the box.
        const Rect c = Scale().PlaceRect(entryControl->GetRect());
        const RECT keep{c.left, c.top, c.right, c.bottom};
        ValidateRect(AsWindow(window), &keep);
    }
    UpdateWindow(AsWindow(window));
}

void Win32Editor::OnScaleChanged() {
    if (window == nullptr) return;
    SetWindowPos(AsWindow(window), nullptr, 0, 0, PixelWidth(), PixelHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32Editor::WholeWheelNotches(int delta) {
    constexpr int kNotch = 120;
    wheelRemainder += delta;
    const int notches = wheelRemainder / kNotch;
    wheelRemainder -= notches * kNotch;
    return notches;
}

void Win32Editor::TakeFocusAndMouse() {
    if (window == nullptr) return;
    SetFocus(AsWindow(window));
    SetCapture(AsWindow(window));
}

void Win32Editor::Resize(int newWidth, int newHeight) {
    if (newWidth == width && newHeight == height) return;
    const int dw = newWidth - width;
    const int dh = newHeight - height;
    Editor::Resize(newWidth, newHeight);
    if (window == nullptr) return;

    // The window, and up to two containers of the host that are plain children too.
    HWND growing[3] = {AsWindow(window), nullptr, nullptr};
    if (IsPlainChild(growing[0])) {
        growing[1] = GetParent(growing[0]);
        if (growing[1] != nullptr && IsPlainChild(growing[1])) growing[2] = GetParent(growing[1]);
    }
    RECT sizes[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (growing[i] != nullptr) GetWindowRect(growing[i], &sizes[i]);
    }
    for (int i = 0; i < 3; ++i) {
        if (growing[i] == nullptr) continue;
        SetWindowPos(growing[i], nullptr, 0, 0, sizes[i].right - sizes[i].left + dw,
                     sizes[i].bottom - sizes[i].top + dh,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const RECT whole{0, 0, width, height};
    InvalidateRect(AsWindow(window), &whole, FALSE);
}

void Win32Editor::HidePointer() {
    if (cursorHidden) return;
    POINT at;
    GetCursorPos(&at);
    savedCursorX = at.x;
    savedCursorY = at.y;
    ShowCursor(FALSE);
    cursorHidden = true;
}

void Win32Editor::ShowPointer() {
    if (!cursorHidden) return;
    SetCursorPos(savedCursorX, savedCursorY);
    ShowCursor(TRUE);
    cursorHidden = false;
}
