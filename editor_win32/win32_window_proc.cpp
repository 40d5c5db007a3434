// The editor window's procedure: each message becomes one of the editor's Handle* calls, with
// coordinates in panel pixels and the modifiers decoded; what is left is the window's own part
// (capture, focus, painting, handing keys on to the host).
#include "editor_win32/win32_editor_procedures.h"

namespace {

constexpr UINT_PTR kRedrawTimer = 2;
constexpr int kWheelNotch = 120;

int LowSigned(LPARAM value) { return static_cast<short>(LOWORD(value)); }
int HighSigned(LPARAM value) { return static_cast<short>(HIWORD(value)); }

// The buttons and keys of a mouse message's key-state word; Alt from the keyboard state. The
// middle button is not recorded.
MouseMod ModifiersOf(WPARAM keys) {
    MouseMod mod;
    mod.left = (keys & MK_LBUTTON) != 0;
    mod.right = (keys & MK_RBUTTON) != 0;
    mod.shift = (keys & MK_SHIFT) != 0;
    mod.ctrl = (keys & MK_CONTROL) != 0;
    mod.alt = GetKeyState(VK_MENU) < 0;
    return mod;
}

MouseButton ButtonOf(UINT message) {
    switch (message) {
        case WM_RBUTTONDOWN: return MouseButton::Right;
        case WM_MBUTTONDOWN: return MouseButton::Middle;
        default: return MouseButton::Left;
    }
}

// A host that hands keys back to the focused window would otherwise bounce a key between its
// window and ours until the stack ran out.
thread_local bool handingKeyToHost = false;

}  // namespace

Win32Editor* Win32EditorProcedures::OwnerOfWindow(HWND window) {
    auto* editor = reinterpret_cast<Win32Editor*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return editor != nullptr && editor->window == window ? editor : nullptr;
}

LRESULT CALLBACK Win32EditorProcedures::Window(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* editor = static_cast<Win32Editor*>(creation->lpCreateParams);
        // Only CreateEditorWindow makes windows of this class, always with its editor.
        if (editor == nullptr) return DefWindowProcA(window, message, wParam, lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
        SetTimer(window, kRedrawTimer, static_cast<UINT>(1000 / editor->Fps()), nullptr);
        SetFocus(window);
        return 0;
    }
    Win32Editor* editor = OwnerOfWindow(window);
    if (editor == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return HandleMessage(*editor, window, message, wParam, lParam);
}

LRESULT Win32EditorProcedures::HandleMessage(Win32Editor& editor, HWND window, UINT message,
                                             WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        editor.ForgetWindow();
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // While the box has the keyboard, a left or right press only asks the next tick to close
    // it; painting and the timer's work wait.
    if (editor.EntryBoxHasFocus()) {
        if (message != WM_LBUTTONDOWN && message != WM_RBUTTONDOWN) {
            return DefWindowProcA(window, message, wParam, lParam);
        }
        editor.HandlePress(LowSigned(lParam), HighSigned(lParam), ButtonOf(message),
                           ModifiersOf(wParam));
        return 0;
    }

    switch (message) {
        case WM_PAINT: {
            RECT update;
            if (GetUpdateRect(window, &update, FALSE)) {
                editor.Draw({update.left, update.top, update.right, update.bottom});
                // Draw presents nothing for an empty panel; the area must not ask again at once.
                ValidateRect(window, &update);
            }
            return 0;
        }
        case WM_TIMER:
            if (wParam == kRedrawTimer) editor.Tick();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // The focus and the mouse are taken in TakeFocusAndMouse, just before the control.
            editor.HandlePress(LowSigned(lParam), HighSigned(lParam), ButtonOf(message),
                               ModifiersOf(wParam));
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            ReleaseCapture();
            editor.HandleRelease(LowSigned(lParam), HighSigned(lParam), ModifiersOf(wParam));
            return 0;
        case WM_LBUTTONDBLCLK:
            if (editor.HandleDoubleClick(LowSigned(lParam), HighSigned(lParam),
                                         ModifiersOf(wParam))) {
                SetCapture(window);
            }
            return 0;
        case WM_MOUSEMOVE:
            if ((wParam & (MK_LBUTTON | MK_RBUTTON)) != 0 && GetCapture() == window) {
                editor.HandleDrag(LowSigned(lParam), HighSigned(lParam), ModifiersOf(wParam));
            }
            return 0;
        case WM_MOUSEWHEEL: {
            // The position comes in screen coordinates.
            RECT frame;
            GetWindowRect(window, &frame);
            editor.HandleWheel(LowSigned(lParam) - frame.left, HighSigned(lParam) - frame.top,
                               ModifiersOf(LOWORD(wParam)),
                               static_cast<short>(HIWORD(wParam)) / kWheelNotch);
            return 0;
        }
        case WM_KEYDOWN: {
            POINT pointer;
            GetCursorPos(&pointer);
            ScreenToClient(window, &pointer);
            if (editor.HandleKey(pointer.x, pointer.y, static_cast<int>(wParam))) return 0;
            // The host's shortcuts keep working while the editor has the focus.
            HWND root = GetAncestor(window, GA_ROOT);
            if (root != nullptr && root != window && !handingKeyToHost) {
                handingKeyToHost = true;
                SendMessageA(root, WM_KEYDOWN, wParam, lParam);
                handingKeyToHost = false;
            }
            return DefWindowProcA(window, message, wParam, lParam);
        }
        case WM_CTLCOLOREDIT: return EntryColours(editor, reinterpret_cast<HDC>(wParam));
        case WM_CLOSE: editor.DestroyEditorWindow(); return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
