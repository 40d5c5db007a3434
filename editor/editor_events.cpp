// The part of a window's event handling that needs no operating system: the redraw tick, the
// entry box's states, and what each mouse and key event does while a box is open. Every window
// back-end and the headless editor run this same code.
#include "editor/editor.h"
#include "plugin/plugin_base.h"

bool Editor::EntryBoxHasFocus() const {
    return EntryBoxOpen() && entryState == TextEntryState::Focused;
}

void Editor::Tick() {
    // While the box has the keyboard the window passes every message on unhandled, the timer's
    // included.
    if (EntryBoxHasFocus()) return;
    if (EntryBoxOpen() && entryState != TextEntryState::Idle) {
        switch (entryState) {
            case TextEntryState::Commit: FinishEntry(true); break;
            case TextEntryState::Cancel: FinishEntry(false); break;
            default: entryState = TextEntryState::Idle; break;
        }
        return;
    }
    Rect r{};
    if (!NeedsRedraw(r)) return;
    RedrawRect(r);
    if (EntryBoxOpen()) entryState = TextEntryState::Redrawn;
}

void Editor::FinishEntry(bool apply) {
    if (apply) {
        // A box's text is read as at most 31 characters, whatever it holds.
        char text[32];
        ReadEntryText(text, sizeof(text));
        ApplyEnteredText(text);
    }
    DestroyEntryBox();
    entryControl = nullptr;
    entryParam = nullptr;
    entryState = TextEntryState::Idle;
}

void Editor::ApplyEnteredText(const char* text) {
    Control* control = entryControl;
    PluginParam* param = entryParam;
    if (control == nullptr) return;
    if (param == nullptr) {
        control->ReceiveEnteredText(text);
        return;
    }
    double normalized;
    {
        LockGuard guard(plug->Lock());
        normalized = param->NormalizedValueOf(param->ValueFromNumberText(text));
    }
    control->ApplyTypedValue(normalized);
}

void Editor::RedrawAll() { RedrawRect({0, 0, width, height}); }

bool Editor::HandlePress(int pixelX, int pixelY, MouseButton button, const MouseMod& mod) {
    const int x = scale_.ToPanel(pixelX);
    const int y = scale_.ToPanel(pixelY);
    if (scaleMenu_.IsOpen()) {
        // A click on an item chooses it, anywhere else only closes the menu.
        const int item = scaleMenu_.ItemAt(x, y);
        CloseScaleMenu(true);
        ChooseScaleItem(item);
        return false;
    }
    if (EntryBoxHasFocus()) {
        if (button != MouseButton::Middle) entryState = TextEntryState::Cancel;
        return false;
    }
    if (EntryBoxOpen()) {
        FinishEntry(false);
        RedrawAll();
    }
    if (button == MouseButton::Right && ControlIndexAt(x, y) == 0) {
        // The background's own menu, in place of a value box it has no parameter for.
        CancelGesture();
        OpenScaleMenu(x, y);
        return false;
    }
    TakeFocusAndMouse();
    OnMouseDown(x, y, mod);
    return true;
}

bool Editor::HandleRelease(int pixelX, int pixelY, const MouseMod& mod) {
    const int x = scale_.ToPanel(pixelX);
    const int y = scale_.ToPanel(pixelY);
    // Also while the box has the keyboard: a gesture begun before ends here.
    OnMouseUp(x, y, mod);
    return true;
}

void Editor::HandleDrag(int pixelX, int pixelY, const MouseMod& mod) {
    const int x = scale_.ToPanel(pixelX);
    const int y = scale_.ToPanel(pixelY);
    if (EntryBoxOpen()) return;
    OnMouseDrag(x, y, mod);
}

bool Editor::HandleDoubleClick(int pixelX, int pixelY, const MouseMod& mod) {
    const int x = scale_.ToPanel(pixelX);
    const int y = scale_.ToPanel(pixelY);
    if (scaleMenu_.IsOpen()) return HandlePress(pixelX, pixelY, MouseButton::Left, mod);
    if (EntryBoxHasFocus()) return false;
    return OnMouseDblClick(x, y, mod);
}

void Editor::HandleWheel(int pixelX, int pixelY, const MouseMod& mod, int detents) {
    const int x = scale_.ToPanel(pixelX);
    const int y = scale_.ToPanel(pixelY);
    if (EntryBoxHasFocus() || scaleMenu_.IsOpen()) return;
    if (EntryBoxOpen()) {
        entryState = TextEntryState::Cancel;
        return;
    }
    OnMouseWheel(x, y, mod, detents);
}

bool Editor::HandleKey(int pixelX, int pixelY, int virtualKey) {
    const int x = scale_.ToPanel(pixelX);
    const int y = scale_.ToPanel(pixelY);
    if (HandleMenuKey(virtualKey)) return true;
    if (EntryBoxHasFocus()) return false;
    const KeyCode key = KeyCodeFromVirtualKey(virtualKey);
    return key != KeyNone && OnKeyDown(x, y, key);
}

void Editor::EntryFocusChanged(bool gained) {
    if (!EntryBoxOpen()) return;
    entryState = gained ? TextEntryState::Focused : TextEntryState::Cancel;
}

void Editor::CommitEntryBox() {
    if (EntryBoxOpen()) entryState = TextEntryState::Commit;
}

void Editor::MarkAllChanged() {
    for (int i = 0; i < ControlCount(); ++i) controls.Get(i)->MarkChanged(false);
}

KeyCode KeyCodeFromVirtualKey(int virtualKey) {
    switch (virtualKey) {
        case 32: return KeySpace;
        case 38: return KeyUp;
        case 40: return KeyDown;
        case 37: return KeyLeft;
        case 39: return KeyRight;
        default: break;
    }
    if (virtualKey >= '0' && virtualKey <= '9') return KeyCode(KeyDigit0 + (virtualKey - '0'));
    if (virtualKey >= 'A' && virtualKey <= 'Z') return KeyCode(KeyLetterA + (virtualKey - 'A'));
    return KeyNone;
}
