// The editor window's procedure: each message becomes one of the editor's Handle* calls, with
// coordinates in the window's pixels (the editor turns them into panel units) and the modifiers
// decoded; what is left is the window's own part
// (capture, focus, painting, handing keys on to the host).
#include "editor_win32/win32_display_scale.h"
#include "editor_win32/win32_editor_procedures.h"

namespace {

constexpr UINT_PTR kRedrawTimer = 2;
// WM_DPICHANGED_AFTERPARENT, which older headers lack.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

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
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: return MouseButton::Right;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: return MouseButton::Middle;
        default: return MouseButton::Left;
    }
}

// While the box has the keyboard the window paints, lets go of the mouse, and acts on a left or
// right press (which only asks the next tick to close the box); everything else waits.
bool ActsWhileBoxHasFocus(UINT message) {
    switch (message) {
        case WM_PAINT:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_CAPTURECHANGED:
        case WM_CANCELMODE: return true;
        default: return false;
    }
}

// The keyboard messages no control takes, all of which the host's window hears.
bool IsKeyMessage(UINT message) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR: return true;
        default: return false;
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

LRESULT Win32EditorProcedures::HandOnKey(Win32Editor& editor, HWND window, UINT message,
                                         WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        POINT pointer;
        GetCursorPos(&pointer);
        ScreenToClient(window, &pointer);
        if (editor.HandleKey(pointer.x, pointer.y, static_cast<int>(wParam))) return 0;
    }
    // The host's shortcuts and its computer keyboard keep working while the editor has the
    // focus: key-ups and characters too, or its notes would hang and its key-up shortcuts fail.
    HWND root = GetAncestor(window, GA_ROOT);
    if (root != nullptr && root != window && !handingKeyToHost) {
        handingKeyToHost = true;
        SendMessageA(root, message, wParam, lParam);
        handingKeyToHost = false;
    }
    // The system keys are the host's alone: its window, not ours, makes Alt's menu or closing.
    if (message == WM_KEYDOWN) return DefWindowProcA(window, message, wParam, lParam);
    return 0;
}

LRESULT Win32EditorProcedures::HandleMessage(Win32Editor& editor, HWND window, UINT message,
                                             WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        editor.ForgetWindow();
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (editor.EntryBoxHasFocus() && !ActsWhileBoxHasFocus(message)) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (IsKeyMessage(message)) return HandOnKey(editor, window, message, wParam, lParam);

    switch (message) {
        case WM_PAINT: {
            // The box paints itself: the panel beneath it must not cover it. Validating takes
            // the window's own area only: without WS_CLIPCHILDREN it would take the box's too,
            // which then would not paint.
            if (editor.entryBox != nullptr) {
                RECT box;
                GetWindowRect(AsWindow(editor.entryBox), &box);
                MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
                RedrawWindow(window, &box, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
            }
            RECT update;
            if (GetUpdateRect(window, &update, FALSE)) {
                editor.Draw(editor.Scale().PanelCover(
                    {update.left, update.top, update.right, update.bottom}));
                // Draw presents nothing for an empty panel; the area must not ask again at once.
                RedrawWindow(window, &update, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
            }
            return 0;
        }
        case WM_TIMER:
            if (wParam == kRedrawTimer) editor.Tick();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        // A double-click's second press of these buttons is a press of its own.
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            // The focus and the mouse are taken in TakeFocusAndMouse, just before the control.
            editor.HandlePress(LowSigned(lParam), HighSigned(lParam), ButtonOf(message),
                               ModifiersOf(wParam));
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            // The release first: letting the mouse go afterwards finds no gesture to cancel.
            editor.HandleRelease(LowSigned(lParam), HighSigned(lParam), ModifiersOf(wParam));
            if (GetCapture() == window) ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED:
            // Taken by another window (a menu, a dialog, a drag of the host's) mid-gesture.
            if (reinterpret_cast<HWND>(lParam) != window) editor.CancelGesture();
            return 0;
        case WM_CANCELMODE:
            editor.CancelGesture();
            return DefWindowProcA(window, message, wParam, lParam);
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
                               editor.WholeWheelNotches(static_cast<short>(HIWORD(wParam))));
            return 0;
        }
        case WM_CTLCOLOREDIT: return EntryColours(editor, reinterpret_cast<HDC>(wParam));
        case kDpiChangedAfterParent:
            // Moved to a monitor of another DPI: the panel redraws at its scale, and the host is
            // asked for the window's new size.
            editor.FoundDisplayScale(WindowDisplayScale(window));
            return 0;
        case WM_CLOSE: editor.DestroyEditorWindow(); return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
